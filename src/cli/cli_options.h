#pragma once

#include <QString>
#include <QStringList>

// What the command line asks for, filled by ParseCommandLine.
struct CliOptions {
    enum class Command { Help, Run, List, Export, Import, Schedule };
    enum class When { Daily, At, Remove }; // schedule: --daily, --at or --remove
    Command command = Command::Help;
    QString appDir; // --app-dir as given; empty: the same folder as the window program
    bool simulate = false;
    bool showAll = false;
    bool quiet = false;
    bool replace = false; // import: an existing project of the same name is replaced
    bool json = false; // run: one JSON object per line instead of the report lines
    bool wait = false; // run: wait for a run of the same project to end instead of exit 4
    When when = When::Remove;
    QString time; // schedule --daily: "hh:mm"; --at: "dd.mm.yyyy hh:mm"
    QString projectName; // run, export, schedule; run without a name: the project of TDRL_Exe.ini
    QString projectFile; // export, import
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
