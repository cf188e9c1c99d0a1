#pragma once

#include <QString>

#include <atomic>

// One run per project at a time, whoever starts it (the window or tandrel-cli): an flock on a
// file in AppDir named after the project. The kernel drops the lock when its holder ends, even
// killed, so a lock left by a dead run is simply taken; the file itself stays, harmless.
class RunLock {
public:
    RunLock(const QString &appDir, const QString &projectName);
    ~RunLock(); // releases the lock
    RunLock(const RunLock &) = delete;
    RunLock &operator=(const RunLock &) = delete;

    enum class Result { Taken, Busy, Cancelled, Failed };
    // Takes the lock when no other run holds it.
    Result tryLock();
    // Waits for the other run to end; setting cancel ends the wait.
    Result lock(const std::atomic<bool> &cancel);

    // The lock file: AppDir, the project name escaped as a systemd unit name, ".lock".
    QString path() const { return path_; }
    // Failed: why the lock file could not be opened (errno).
    int error() const { return error_; }

private:
    Result attempt();

    QString path_;
    int fd_ = -1;
    int error_ = 0;
};
