#include "sleep_inhibitor.h"

#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>

#include <fcntl.h>
#include <unistd.h>

SleepInhibitor::SleepInhibitor(const QString &why)
    : SleepInhibitor(why, QDBusConnection::systemBus())
{
}

SleepInhibitor::SleepInhibitor(
    const QString &why, const QDBusConnection &bus, std::chrono::milliseconds timeout)
{
    if (!bus.isConnected())
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.login1"),
        QStringLiteral("/org/freedesktop/login1"), QStringLiteral("org.freedesktop.login1.Manager"),
        QStringLiteral("Inhibit"));
    call << QStringLiteral("sleep") << QStringLiteral("Tandrel") << why << QStringLiteral("block");
    const QDBusMessage reply = bus.call(call, QDBus::Block, int(timeout.count()));
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 1)
        return;
    const auto descriptor = qvariant_cast<QDBusUnixFileDescriptor>(reply.arguments().front());
    // The message's own copy is closed with it; the inhibitor lasts as long as this one.
    if (descriptor.isValid())
        fd_ = ::fcntl(descriptor.fileDescriptor(), F_DUPFD_CLOEXEC, 0);
}

SleepInhibitor::~SleepInhibitor()
{
    if (fd_ >= 0)
        ::close(fd_);
}

QString RunInhibitReason(const QString &projectName)
{
    return QStringLiteral("Synchronisation du projet « %1 » en cours").arg(projectName);
}
