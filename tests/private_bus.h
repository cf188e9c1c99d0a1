#pragma once

#include <QDBusConnection>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QThread>

#include <chrono>
#include <memory>
#include <mutex>

// A bus of the test's own, a dbus-daemon started for it and stopped with it. It cannot be had
// without dbus-daemon: the test fails.
class PrivateBus {
public:
    PrivateBus();
    ~PrivateBus();
    PrivateBus(const PrivateBus &) = delete;
    PrivateBus &operator=(const PrivateBus &) = delete;

    QString address() const { return address_; }
    // A new connection of the test to the bus.
    QDBusConnection connect(const QString &name) const;

private:
    QProcess daemon_;
    QString address_;
};

// logind's Inhibit, as far as a run uses it, on its own thread: it keeps every call's four
// arguments and hands out one end of a pipe, whose other end tells when every copy of it is
// closed. silent: never answers.
class FakeLogind {
public:
    FakeLogind(const PrivateBus &bus, bool silent = false);
    ~FakeLogind();
    FakeLogind(const FakeLogind &) = delete;
    FakeLogind &operator=(const FakeLogind &) = delete;

    // The arguments of each call so far.
    std::vector<QStringList> calls() const;
    // Whether the last descriptor handed out is closed everywhere, waiting up to timeout.
    bool released(std::chrono::milliseconds timeout) const;

    struct State;

private:
    QThread thread_;
    std::shared_ptr<State> state_;
};
