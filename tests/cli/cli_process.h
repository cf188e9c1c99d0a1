#pragma once

#include "records.h"
#include "sample_projects.h"

#include <QProcess>
#include <QString>
#include <QStringList>

// What one run of the tandrel-cli binary left.
struct CliResult {
    int exitCode = -1; // -1 when ended by a signal or hung
    QString out; // standard output, UTF-8
    QString err; // standard error, UTF-8
};

// Runs the built tandrel-cli with these arguments and waits for it.
CliResult RunCli(const QStringList &arguments);

// Starts tandrel-cli; it is left to the caller to read it and wait for it.
void StartCli(QProcess &process, const QStringList &arguments);
// Waits for a tandrel-cli started with StartCli.
CliResult FinishCli(QProcess &process);

// A file's whole content as UTF-8 text.
QString ReadText(const QString &path);
