#pragma once

#include <QString>

class Prompter;
class QWidget;

// Moves a window, without resizing it, to the centre of its screen.
void CenterForm(QWidget *window);

// Lets the user pick a folder; returns its path without a trailing "/" (except the root "/"),
// or an empty text when nothing was chosen.
QString BrowseForFolder(QWidget *owner, const QString &title, Prompter &prompter);
