#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

struct FileCompare;
struct RunContext;

// Whether a file is copied, by the action's size criterion first, then its date criterion.
bool MustCopy(const FileCompare &file, const QString &fileSize, const QString &fileDate);

// One file of an action: where it is on both sides, and what the report calls it.
struct FileCopyJob {
    int fromFolder; // open origin folder
    int toFolder; // open destination folder
    const char *name; // the file's name in both folders
    QByteArrayView shown; // the name or relative path the report shows (in lower case)
};

// Decides, copies (except in a simulation), counts and reports one file whose both folders
// exist.
void CopyOneFile(RunContext &run, FileCompare &file, const FileCopyJob &job);

// Closes an action: the copy-errors line when a copy failed, a blank line and the summary of
// files copied out of found; then adds the action's counts to the run's totals.
void EndAction(RunContext &run, qsizetype found, const QString &errorsLine);
