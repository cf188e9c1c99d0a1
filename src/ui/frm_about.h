#pragma once

#include "desktop_links.h"

#include <QDialog>

class ClickableLabel;
class Prompter;
class QLabel;
class QPushButton;

// The about box: title, version, the maker's addresses (which open in the desktop's browser
// or mail client), a donation button, and two buttons for the system and program details.
class frmAbout : public QDialog {
    Q_OBJECT

public:
    explicit frmAbout(
        Prompter &prompter, UrlOpener open = OpenWithDesktop, QWidget *parent = nullptr);

    void Label3_Click();
    void lblDisclaimer_Click();
    void Image2_Click();
    void cmdOK_Click();
    void cmdSysInfo_Click();
    void Command1_Click();

    // Operating system, kernel, processor and Qt version, one per line.
    static QString SystemInfoText();
    // Version, author, e-mail and web address, then "Logiciel FREEWARE", separated by a
    // single carriage return.
    static QString DetailsText();

private:
    Prompter &prompter_;
    UrlOpener open_;

    QLabel *Image1 = nullptr;
    QLabel *lblTitle = nullptr;
    QLabel *lblVersion = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *lblDescription = nullptr;
    ClickableLabel *Label3 = nullptr;
    ClickableLabel *lblDisclaimer = nullptr;
    ClickableLabel *Image2 = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdSysInfo = nullptr;
    QPushButton *Command1 = nullptr;
};
