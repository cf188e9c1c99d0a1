#pragma once

#include "destination_volume.h"
#include "safe_copy.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

struct FileCompare;
struct RunContext;

// Whether a file is copied, by the action's size criterion first, then its date criterion; the
// dates compare as the destination keeps them.
bool MustCopy(const FileCompare &file, const QString &fileSize, const QString &fileDate,
    const TimeRule &times = {});

// Why the action's destination cannot hold the file at path (relative, as reported) of size
// bytes: its name, a name that only differs by case from one already taken, its size. None when
// it can. Checked before any copy, in every run mode, so that a simulation shows it too.
CopyFault RefusedByDestination(RunContext &run, QByteArrayView path, qint64 size);

// Decides one file (file.Copied); true when it must really be copied (not in a simulation). A
// simulation counts the space the copy would take.
bool CopyRequired(RunContext &run, FileCompare &file);

// Counts and reports a decided file: copied (or would be; size bytes), failed (with the cause
// the copy gave), or left alone.
void ReportFile(
    RunContext &run, bool copied, const CopyResult &copy, qint64 size, QByteArrayView shown);

// Closes an action: the copy-errors line when a copy failed, a blank line and the summary of
// files copied out of found; then adds the action's counts to the run's totals.
void EndAction(RunContext &run, qsizetype found, const QString &errorsLine);
