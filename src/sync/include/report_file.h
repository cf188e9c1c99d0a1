#pragma once

#include <QString>
#include <QStringList>

// The report file of a project: AppDir, the project name with every character that cannot stand
// in a file name ("/" and NUL) replaced by "_", then ".log".
QString ReportFilePath(const QString &appDir, const QString &projectName);

// Appends lines to a report file, each followed by CR LF, in UTF-8. False when the file cannot
// be opened or written.
bool AppendReportLines(const QString &path, const QStringList &lines);
