#pragma once

#include "records.h"

#include <QString>
#include <QStringList>

// What one run of the tandrel-cli binary left.
struct CliResult {
    int exitCode = -1;
    bool crashed = false; // ended by a signal
    QString out; // standard output, UTF-8
    QString err; // standard error, UTF-8
};

// Runs the built tandrel-cli with these arguments and waits for it.
CliResult RunCli(const QStringList &arguments);

// An action with the texts the window stores; fields can be changed afterwards.
Action MakeAction(
    const QString &fromFolder, const QString &toFolder, const QString &filter, bool inclSub);

// The whole content of a file as UTF-8 text; empty when it cannot be read.
QString ReadText(const QString &path);
