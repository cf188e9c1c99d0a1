#pragma once

#include <QDBusConnection>
#include <QProcess>
#include <QStringList>
#include <QThread>

#include <chrono>
#include <memory>

// A dbus-daemon of the test's own, stopped with it with the connections it made; without
// dbus-daemon the test fails.
class PrivateBus {
public:
    PrivateBus();
    ~PrivateBus();
    QString address() const { return address_; }
    QDBusConnection connect();

private:
    QProcess daemon_;
    QString address_;
    QStringList names_;
};

// logind's Inhibit on its own thread: keeps each call's arguments and hands out one end of a
// pipe whose other end tells when every copy is closed. silent: never answers.
class FakeLogind {
public:
    explicit FakeLogind(PrivateBus &bus, bool silent = false);
    ~FakeLogind();
    std::vector<QStringList> calls() const;
    // Whether the last descriptor handed out is closed everywhere, waiting up to timeout.
    bool released(std::chrono::milliseconds timeout) const;
    struct State;

private:
    QThread thread_;
    std::shared_ptr<State> state_;
    QString connection_;
};
