#pragma once

#include <QDBusConnection>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A message bus of the test's own, run by dbus-daemon with a configuration that starts no
// service by itself: the session or system bus a test stands in for.
class PrivateBus {
public:
    PrivateBus();
    ~PrivateBus();

    // Empty when the bus is running; otherwise why it could not start.
    QString failure() const { return failure_; }
    // A new connection to the bus, under a name no other connection of the process has.
    QDBusConnection connect();

private:
    QTemporaryDir dir_;
    QProcess daemon_;
    QString address_;
    QString failure_;
    QStringList connections_;
};
