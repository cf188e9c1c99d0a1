#pragma once

#include <QString>

class Prompter;
class QWidget;

// "Erreur: <number>", a line break, "Description: <text>".
QString ErrorBoxText(int number, const QString &description);

// The program's error box: that text, stop icon, title "Erreur".
void ShowErrorBox(Prompter &prompter, QWidget *parent, int number, const QString &description);
