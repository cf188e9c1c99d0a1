#pragma once

#include <QString>
#include <QStringList>

// What the window program takes from its command line. Qt takes its own options (-platform,
// -style...) when the application starts; any other argument is ignored.
struct AppOptions {
    bool help = false;
    // Start minimised to the tray, as the session does (autostart).
    bool minimized = false;
};

AppOptions ParseAppOptions(const QStringList &arguments);

// The French help of "tandrel --help".
QString AppHelpText();
