#include "report_viewer.h"

#include "file_helpers.h"
#include "prompter.h"
#include "report_file.h"

#include <QPointer>
#include <QWidget>

void ViewReport(QWidget *parent, const QString &appDir, const QString &projectText,
    Prompter &prompter, const UrlOpener &open)
{
    const QString path = ReportFilePath(appDir, projectText);
    if (!FileExists(path))
        prompter.critical(parent, QStringLiteral("Erreur"),
            QStringLiteral("Ne peut trouver le fichier :") + u'\r' + path);
    else
        open(QUrl::fromLocalFile(path),
            [window = QPointer<QWidget>(parent), orphan = !parent, &prompter, path] {
                // The answer may come late: say nothing once the window is gone.
                if (window || orphan)
                    prompter.critical(window, QStringLiteral("Erreur"),
                        QStringLiteral("Aucun programme ne peut afficher le fichier :") + u'\r'
                            + path);
            });
}
