#pragma once

#include <QFont>
#include <QStringList>

// The face of the run report and the dialogs that ask for "Comic Sans MS": that face when
// installed, else "Comic Neue" (a free face of the same spirit), else empty for the system's
// default font, never an arbitrary fallback that fontconfig would choose.
QString ComicFamily(const QStringList &installed);

// A font of that face, or the application's default font.
QFont ComicFont();
