#include "report_viewer.h"

#include "file_helpers.h"
#include "prompter.h"
#include "report_file.h"

void ViewReport(QWidget *parent, const QString &appDir, const QString &projectText,
    Prompter &prompter, const UrlOpener &open)
{
    const QString path = ReportFilePath(appDir, projectText);
    if (!FileExists(path))
        prompter.critical(parent, QStringLiteral("Erreur"),
            QStringLiteral("Ne peut trouver le fichier :") + u'\r' + path);
    else if (!open(QUrl::fromLocalFile(path)))
        prompter.critical(parent, QStringLiteral("Erreur"),
            QStringLiteral("Aucun programme ne peut afficher le fichier :") + u'\r' + path);
}
