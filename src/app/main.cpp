#include "app_id.h"
#include "app_options.h"
#include "french_texts.h"
#include "frm_main.h"
#include "prompter.h"
#include "startup.h"

#include <QApplication>
#include <QLockFile>
#include <QStandardPaths>

#include <cstdio>

int main(int argc, char *argv[])
{
    // Read before the application starts, so that --help needs no display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments += QString::fromLocal8Bit(argv[i]);
    const AppOptions options = ParseAppOptions(arguments);
    if (options.help) {
        std::fputs(AppHelpText().toLocal8Bit().constData(), stdout);
        return 0;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tandrel"));
    // Ties the windows to the installed desktop entry (its icon, name and notifications).
    QGuiApplication::setDesktopFileName(AppId());
    InstallFrenchTranslation(app);

    WidgetPrompter prompter;
    Startup startup = StartTandrel(prompter, QCoreApplication::applicationDirPath(),
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    if (!startup.window)
        return startup.exitCode;
    ShowMainWindow(*startup.window, options);
    return QApplication::exec();
}
