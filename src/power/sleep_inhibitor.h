#pragma once

#include <QDBusConnection>
#include <QString>

#include <chrono>

// Keeps the machine from suspending while it lives: a "sleep" inhibitor lock of logind
// (org.freedesktop.login1.Manager.Inhibit, mode "block"), held as long as the file descriptor
// logind returns stays open. Without a system bus or logind nothing is held and nothing waits
// longer than the timeout.
class SleepInhibitor {
public:
    // The D-Bus call waits at most this long: a run must not wait on a stuck service.
    static constexpr std::chrono::milliseconds defaultTimeout {1000};

    // why: the French reason shown by `systemd-inhibit --list`.
    explicit SleepInhibitor(const QString &why);
    // The same on another bus (a test's own).
    SleepInhibitor(const QString &why, const QDBusConnection &bus,
        std::chrono::milliseconds timeout = defaultTimeout);
    ~SleepInhibitor(); // releases the inhibitor
    SleepInhibitor(const SleepInhibitor &) = delete;
    SleepInhibitor &operator=(const SleepInhibitor &) = delete;

    bool held() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

// The reason a run gives for holding the inhibitor.
QString RunInhibitReason(const QString &projectName);
