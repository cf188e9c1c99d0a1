#include "desktop_links.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>

void OpenWithDesktop(const QUrl &url, const OpenFailed &failed)
{
    const QString xdgOpen = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (xdgOpen.isEmpty()) {
        if (!QDesktopServices::openUrl(url))
            failed();
        return;
    }
    // Not parented: xdg-open may run the viewer in the foreground, and closing the window must
    // not kill it.
    auto *process = new QProcess;
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    QObject::connect(process, &QProcess::finished, process,
        [process, failed](int code, QProcess::ExitStatus status) {
            if (status != QProcess::NormalExit || code != 0)
                failed();
            process->deleteLater();
        });
    QObject::connect(process, &QProcess::errorOccurred, process, [process, failed](auto error) {
        if (error != QProcess::FailedToStart)
            return;
        failed();
        process->deleteLater();
    });
    process->start(xdgOpen, {url.isLocalFile() ? url.toLocalFile() : url.toString()});
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
    open(DonationUrl(), [] {});
}
