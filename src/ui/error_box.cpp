#include "error_box.h"

#include "prompter.h"

QString ErrorBoxText(int number, const QString &description)
{
    return QStringLiteral("Erreur: %1\nDescription: %2").arg(number).arg(description);
}

void ShowErrorBox(Prompter &prompter, QWidget *parent, int number, const QString &description)
{
    prompter.critical(parent, QStringLiteral("Erreur"), ErrorBoxText(number, description));
}
