#pragma once

#include <QString>

// The program's reverse-DNS application id: the name of its desktop entry, icons, AppStream
// metadata and session autostart entry, and the desktop-entry hint of its windows.
QString AppId();
