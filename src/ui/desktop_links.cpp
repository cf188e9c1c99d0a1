#include "desktop_links.h"

#include <QDesktopServices>

bool OpenWithDesktop(const QUrl &url)
{
    return QDesktopServices::openUrl(url);
}

QUrl DonationUrl()
{
    return QUrl(QStringLiteral(TANDREL_DONATION_URL));
}

QUrl WebUrl()
{
    return QUrl(QStringLiteral(TANDREL_WEB_URL));
}

QString MailAddress()
{
    return QStringLiteral(TANDREL_MAIL);
}

QString AuthorName()
{
    return QStringLiteral(TANDREL_AUTHOR);
}

QString ProgramVersion()
{
    return QStringLiteral("%1.%2.%3")
        .arg(TANDREL_VERSION_MAJOR)
        .arg(TANDREL_VERSION_MINOR)
        .arg(TANDREL_VERSION_PATCH);
}

void OpenDonationPage(const UrlOpener &open)
{
    open(DonationUrl());
}
