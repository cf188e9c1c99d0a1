#pragma once

#include <QByteArray>

#include <sys/types.h>

#include <vector>

// The destination file systems a run copied into that can be unplugged or lost (sticks,
// external drives, shares), so that "Terminé" means the copies are on the device: each is
// flushed once at the end of the run, not file by file.
class WrittenVolumes {
public:
    WrittenVolumes() = default;
    ~WrittenVolumes();
    WrittenVolumes(const WrittenVolumes &) = delete;
    WrittenVolumes &operator=(const WrittenVolumes &) = delete;

    // Notes that files were copied into folder.
    void add(const QByteArray &folder);
    bool empty() const { return entries_.empty(); }

    // A folder whose file system could not be flushed, and why.
    struct Failure {
        QByteArray folder;
        int error;
    };
    // Flushes every file system noted (syncfs), once each.
    std::vector<Failure> flush();

private:
    struct Entry {
        QByteArray folder;
        dev_t device;
        int fd; // -1 when it could not be opened: error tells why
        int error;
    };
    std::vector<Entry> entries_;
};
