#pragma once

#include <QByteArray>

// Copies a file so that the destination always holds either its old content or the new one,
// whole: the data goes to a hidden temporary file beside the destination, which gets the
// origin's modification time and permission bits and is then renamed over the destination.
// A destination file without any write permission bit is refused, whoever runs the program.
// Returns 0 on success, else the errno of the failure; nothing is left behind on failure.
int SafeCopy(const QByteArray &from, const QByteArray &to);

// The same for fromName in the open folder fromDir and toName in toDir (AT_FDCWD with full
// paths works too). existingMode: the mode of the destination file when the caller knows that
// one exists, -1 when it knows there is none.
int SafeCopyAt(int fromDir, const QByteArray &fromName, int toDir, const QByteArray &toName,
    long existingMode);

// The hidden temporary name used for a destination path (recognisable by a later run).
QByteArray TemporaryCopyName(const QByteArray &to);
