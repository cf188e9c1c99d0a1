#include "french_texts.h"
#include "frm_main.h"
#include "prompter.h"
#include "startup.h"

#include <QApplication>
#include <QLockFile>
#include <QStandardPaths>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tandrel"));
    InstallFrenchTranslation(app);

    WidgetPrompter prompter;
    Startup startup = StartTandrel(prompter, QCoreApplication::applicationDirPath(),
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    if (!startup.window)
        return startup.exitCode;
    startup.window->show();
    return QApplication::exec();
}
