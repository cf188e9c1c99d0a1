#pragma once

#include "run_request.h"

#include <atomic>

struct CliOptions;
class ConsoleObserver;

// The exit status of tandrel-cli.
enum ExitCode : int {
    ExitOk = 0,
    ExitCopyErrors = 1, // the run finished, some files could not be copied
    ExitFatal = 2, // the run stopped on a fatal error
    ExitUsage = 3, // bad command line, unknown project, no action, unreadable database
    ExitBusy = 4, // another run of the project is going (without --wait)
    ExitCancelled = 130 // SIGINT or SIGTERM
};

// The exit status that tells how a run ended.
ExitCode ExitCodeOf(const RunOutcome &outcome);

// tandrel-cli run: runs options.projectName, or without a name the project named by the
// companion run file TDRL_Exe.ini (its report saved only when "ShowReport" reads "OUI"), from the
// database of appDir (ending with "/").
ExitCode RunCommand(const CliOptions &options, const QString &appDir, ConsoleObserver &console,
    const std::atomic<bool> &cancel);

// tandrel-cli export PROJECT FILE: writes the first project of that exact name to a project file.
ExitCode ExportCommand(const CliOptions &options, const QString &appDir, ConsoleObserver &console);

// tandrel-cli import [--replace] FILE: stores a project file as a new project.
ExitCode ImportCommand(const CliOptions &options, const QString &appDir, ConsoleObserver &console);

// tandrel-cli list: the projects in name order, each with its actions.
ExitCode ListCommand(const QString &appDir, ConsoleObserver &console);
