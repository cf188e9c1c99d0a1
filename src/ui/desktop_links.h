#pragma once

#include <QString>
#include <QUrl>

#include <functional>

// Opens an address with the desktop's default application (browser, mail client, text editor).
// Windows receive it so that tests can see what would be opened. False: the desktop has no
// program to open it.
using UrlOpener = std::function<bool(const QUrl &)>;

// The program's opener: QDesktopServices::openUrl.
bool OpenWithDesktop(const QUrl &url);

// The maker's addresses and name, settings of the build.
QUrl DonationUrl();
QUrl WebUrl();
QString MailAddress();
QString AuthorName();
// "Version 1.0.0" style number of this program: major.minor.revision.
QString ProgramVersion();

// The donation page, as the "Faire un don..." command opens it.
void OpenDonationPage(const UrlOpener &open);
