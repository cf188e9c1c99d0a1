#pragma once

#include <QString>
#include <QUrl>

#include <functional>

// Called when the desktop turns out to have no program to open an address; it may come after
// the opener has returned, from the event loop.
using OpenFailed = std::function<void()>;

// Opens an address with the desktop's default application (browser, mail client, text editor).
// Windows receive it so that tests can see what would be opened.
using UrlOpener = std::function<void(const QUrl &, const OpenFailed &)>;

// The program's opener. Where xdg-open is installed it is run and waited for in the
// background, since it may find no program for the file only after it has started; its failure
// calls failed. Elsewhere QDesktopServices::openUrl opens the address.
void OpenWithDesktop(const QUrl &url, const OpenFailed &failed);

// The maker's addresses and name, settings of the build.
QUrl DonationUrl();
QUrl WebUrl();
QString MailAddress();
QString AuthorName();
// "Version 1.0.0" style number of this program: major.minor.revision.
QString ProgramVersion();

// The donation page, as the "Faire un don..." command opens it.
void OpenDonationPage(const UrlOpener &open);
