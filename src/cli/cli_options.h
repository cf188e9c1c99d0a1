#pragma once

#include <QString>
#include <QStringList>

// What the command line asks for, filled by ParseCommandLine.
struct CliOptions {
    enum class Command { Help, Run, List };
    Command command = Command::Help;
    QString appDir; // --app-dir as given; empty: the same folder as the window program
    bool simulate = false;
    bool showAll = false;
    bool quiet = false;
    QString projectName;
};

// The outcome of reading the command line: the options, or a usage error in French.
struct CliParse {
    CliOptions options;
    QString error; // empty when the command line is valid
};

// Reads the arguments (the program name first, as QCoreApplication::arguments() gives them).
CliParse ParseCommandLine(const QStringList &arguments);

// The French help text shown by --help.
QString HelpText();
