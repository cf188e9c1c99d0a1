#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QtGlobal>

// How the file system of a destination folder keeps modification times.
struct TimeRule {
    int resolution = 1; // seconds: two times closer than this are the same time
    bool localTime = false; // stored as local time: an exact hour apart is a daylight-saving shift
};

// What the file system of a destination folder can hold, read once per destination folder from
// the mount table (so that a run with nothing to copy, or a simulation, knows it too).
struct DestinationVolume {
    QByteArray type; // as the mount table names it: "ext4", "vfat", "fuse.fusefat", "fuseblk", ...
    TimeRule times;
    bool windowsNames
        = false; // refuses \ : * ? " < > |, control characters, a trailing dot or space
    bool caseBlind = false; // "Readme.txt" and "README.txt" are one file there
    qint64 maxFileSize = -1; // the largest file it holds; -1: no limit of its own
    bool unpluggable = false; // a stick, an external drive or a share: flushed before "Terminé"
    // Each call waits on a network or a driver process (shares, FUSE): worth many in flight.
    bool slow = false;
    qint64 freeBytes = -1; // -1: unknown
    qint64 blockSize = 1; // a file takes whole blocks of this size

    // The rule by which a copy's time is read back, on file systems that keep coarse times (or
    // alter them without a word); none on the others.
    const TimeRule *timeCheck() const { return times.resolution > 1 ? &times : nullptr; }
};

// The volume of the open folder fd (of any kind, O_PATH included). An ordinary local disk when
// nothing better is known.
DestinationVolume ProbeVolume(int folderFd);

// The file-system kind a mount table type names, without the figures of a mounted volume.
DestinationVolume VolumeOfType(QByteArrayView type);

// Whether a volume with Windows naming rules can hold this name (one path component).
bool WindowsCanHold(QByteArrayView name);

// Compares the modification time of an origin file with that of its copy, as the destination
// keeps it: -1 older, 0 the same, 1 newer. On a file system that stores local time, a copy of
// the same size exactly one hour apart is the same file seen across a daylight-saving change.
int CompareTimes(qint64 origin, qint64 copy, const TimeRule &rule, bool sameSize);
