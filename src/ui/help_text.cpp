#include "help_text.h"

#include "prompter.h"

#include <QStringList>

QString HelpText()
{
    const QStringList lines {
        QStringLiteral("Aide de Tandrel"),
        QString(),
        QStringLiteral("Tandrel permet de copier automatiquement les fichiers"),
        QStringLiteral("et/ou sous dossiers d'un dossier origine vers un dossier destination."),
        QStringLiteral("Uniquement les fichiers modifiés ou nouveaux seront copiés et remplacés."),
        QString(),
        QStringLiteral("Pour synchroniser 2 dossiers dans les 2 sens, créer 2 projets."),
        QStringLiteral(
            "Un premier dossier pour synchroniser les fichiers du dossier A vers le dossier B."),
        QStringLiteral(
            "Un second dossier pour synchroniser les fichiers du dossier B vers le dossier A."),
        QStringLiteral("La seule restriction est de ne pas inclure de sous-dossiers vides."),
        QStringLiteral(
            "Un programmateur paramétrable permet de créer une synchronisation automatique."),
        QStringLiteral("Le format de la date doit être de type JJ.MM.AAA."),
        QStringLiteral("Le format ed l'heure doit être de type HH:MM:SS."),
        QString(),
        QStringLiteral("Mode opératoire"),
        QStringLiteral("-1- Sélectionner un projet dans la liste ou créer un nouveau projet."),
        QStringLiteral("-2- Définir le type d'action pour le projet."),
        QStringLiteral("-3- Cliquer sur le bouton <Synchroniser>."),
    };
    QString text;
    for (const QString &line : lines)
        text += line + QStringLiteral("\r\n");
    return text;
}

void ShowHelp(QWidget *parent, Prompter &prompter)
{
    prompter.information(parent, QStringLiteral("Comment ça marche ?"), HelpText());
}
