#pragma once

#include <QByteArray>
#include <QString>

struct FileCompare;
struct RunContext;

// Whether a file is copied, by the action's size criterion first, then its date criterion.
bool MustCopy(const FileCompare &file, const QString &fileSize, const QString &fileDate);

// Decides, copies (except in a simulation), counts and reports one file whose both folders
// exist. shownPath is the name or relative path the report shows, in lower case.
void CopyOneFile(RunContext &run, FileCompare &file, const QByteArray &from, const QByteArray &to,
    const QString &shownPath);

// Closes an action: the copy-errors line when a copy failed, a blank line and the summary of
// files copied out of found; then adds the action's counts to the run's totals.
void EndAction(RunContext &run, qsizetype found, const QString &errorsLine);
