#pragma once

#include "destination_volume.h"
#include "kept_versions.h"

#include <QByteArray>

#include <atomic>

// Why a copy did not stand.
enum class CopyFault {
    None,
    Refused, // the system refused it (errno tells why): read-only file, no permission, ...
    OriginChanged, // the origin kept changing while it was copied
    NotAFile, // the origin is no longer a regular file (a pipe, a device, a folder)
    LinkedFolder, // the destination folder is a symbolic link (found by the caller)
    FolderNotOpened, // the destination folder could not be made or opened (errno; by the caller)
    Cancelled, // the run was cancelled during the copy
    VersionNotKept, // the file it would replace could not be moved to the versions (errno)
    OriginGone, // the origin file is no longer there
    // Found by the caller before any copy, from what the destination's file system can hold:
    BadName, // a name it cannot hold
    CaseClash, // a name that only differs by case from one already copied, on a case-blind one
    TooLarge, // larger than its largest file
};

struct CopyResult {
    CopyFault fault = CopyFault::None;
    int error = 0; // errno of a refusal
    qint64 bytes = 0; // the size of the copy made
    bool timeKept = true; // the copy holds the origin's modification time
    bool ok() const { return fault == CopyFault::None; }
};

// Copies a file so that the destination always holds either its old content or the new one, whole,
// and only content that the origin held unchanged from the first byte to the last: the origin is
// read again after the copy, and a copy of an origin that changed meanwhile is thrown away and made
// once more. A new file is written without a name and linked under its name once whole (where the
// file system offers that); a file that replaces another, or a new one elsewhere, goes to a hidden
// temporary file beside it, renamed to its name. The data and the modification time make a copy: a
// copy whose time the destination refuses still stands (timeKept tells). Copies get the origin's
// permission bits where the destination holds them, never its set-user-ID or set-group-ID bit. A
// destination file without any write permission bit is refused, whoever runs the program. Nothing
// is left behind on failure.
CopyResult SafeCopy(const QByteArray &from, const QByteArray &to);

// The same for fromName in the open folder fromDir and toName in toDir (AT_FDCWD with full paths
// works too). existingMode: the mode of the destination file when the caller knows that one exists,
// -1 when it knows there is none. A copy under way stops soon after cancel is set. volume: what the
// destination's file system holds; where it keeps coarse times (or may alter them without a word),
// the copy's time is read back and must compare equal to the origin's by its rule. keepOld: the
// file replaced is first moved there, right before the copy takes its name; a file that cannot be
// moved is not replaced.
CopyResult SafeCopyAt(int fromDir, const QByteArray &fromName, int toDir, const QByteArray &toName,
    long existingMode, const std::atomic<bool> *cancel = nullptr,
    const DestinationVolume *volume = nullptr, const KeepOld *keepOld = nullptr);

// The hidden temporary name of a destination path; attempt counts the names tried after the
// first was in use. Recognisable by a later run, which removes it once abandoned.
QByteArray TemporaryCopyName(const QByteArray &to, int attempt = 0);
