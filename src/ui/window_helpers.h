#pragma once

#include <QString>

class Prompter;
class QHBoxLayout;
class QLineEdit;
class QPushButton;
class QWidget;

// Moves a window, without resizing it, to the centre of its screen's work area.
void CenterForm(QWidget *window);

// Shrinks a window that would not fit its screen's work area, leaving room for the window
// manager's frame; the layouts shrink what can shrink.
void FitToScreen(QWidget *window);

// Lets the user pick a folder; returns its path without a trailing "/" (except the root "/"),
// or an empty text when nothing was chosen.
QString BrowseForFolder(QWidget *owner, const QString &title, Prompter &prompter);

// A dialog's validation of a box that must not be empty: when it is, shows message (stop icon,
// title "Erreur"), puts the focus into the box and returns true.
bool RefuseEmpty(Prompter &prompter, QWidget *dialog, QLineEdit *box, const QString &message);

// The row of a dialog's OK and cancel buttons, on the right.
QHBoxLayout *ButtonRow(QPushButton *ok, QPushButton *cancel);
