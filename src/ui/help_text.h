#pragma once

#include <QString>

class Prompter;
class QWidget;

// The built-in help: its lines, each followed by CR LF.
QString HelpText();

// Shows the help in an information box titled "Comment ça marche ?".
void ShowHelp(QWidget *parent, Prompter &prompter);
