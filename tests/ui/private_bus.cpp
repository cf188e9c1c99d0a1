#include "private_bus.h"

#include <QFile>

namespace {

// Anyone may own any name and send anything; the bus lives in the test's own folder.
const char *const config = R"(<!DOCTYPE busconfig PUBLIC
 "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:dir=%1</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
)";

} // namespace

PrivateBus::PrivateBus()
{
    const QString configPath = dir_.filePath(QStringLiteral("bus.conf"));
    QFile file(configPath);
    if (!dir_.isValid() || !file.open(QIODevice::WriteOnly)
        || file.write(QString::fromLatin1(config).arg(dir_.path()).toUtf8()) < 0) {
        failure_ = QStringLiteral("cannot write ") + configPath;
        return;
    }
    file.close();
    daemon_.start(QStringLiteral("dbus-daemon"),
        {QStringLiteral("--config-file=") + configPath, QStringLiteral("--print-address"),
            QStringLiteral("--nofork")});
    if (!daemon_.waitForStarted(5000) || !daemon_.waitForReadyRead(5000)) {
        failure_ = QStringLiteral("dbus-daemon did not start: ") + daemon_.errorString()
            + QString::fromLocal8Bit(daemon_.readAllStandardError());
        return;
    }
    address_ = QString::fromLocal8Bit(daemon_.readLine()).trimmed();
}

PrivateBus::~PrivateBus()
{
    for (const QString &name : std::as_const(connections_))
        QDBusConnection::disconnectFromBus(name);
    daemon_.terminate();
    daemon_.waitForFinished(5000);
}

QDBusConnection PrivateBus::connect()
{
    static int made = 0;
    const QString name = QStringLiteral("private bus %1").arg(++made);
    connections_ << name;
    return QDBusConnection::connectToBus(address_, name);
}
