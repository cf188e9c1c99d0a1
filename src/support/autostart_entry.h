#pragma once

#include <QString>

// The option that starts the window program minimised to the tray, as the session does.
inline constexpr char StartMinimizedOption[] = "--minimized";

// The session autostart entry of the window program (XDG autostart): a desktop entry named
// after the application id in the user's autostart folder (~/.config/autostart).
QString AutostartFile();

// True when file starts the program with the session: it exists and is not switched off
// (Hidden=true, or X-GNOME-Autostart-enabled=false as some desktops write it).
bool AutostartEnabled(const QString &file);

// Writes file so that the session starts program minimised. Empty on success, else why not.
QString WriteAutostart(const QString &file, const QString &program);
// Removes file (nothing to do when it is missing). Empty on success, else why not.
QString RemoveAutostart(const QString &file);
