#pragma once

#include "desktop_links.h"

class Prompter;
class QWidget;

// Opens the report file of the project shown in the project list (projectText) with the
// desktop's application for text files; when there is no such file, or no such application,
// says so in an error box.
void ViewReport(QWidget *parent, const QString &appDir, const QString &projectText,
    Prompter &prompter, const UrlOpener &open = OpenWithDesktop);
