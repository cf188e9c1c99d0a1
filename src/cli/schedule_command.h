#pragma once

#include "cli_commands.h"

#include <QString>

struct CliOptions;

// The systemd user units of a project's timed runs: "tandrel-", the project name escaped as
// systemd-escape does, then ".timer" or ".service".
QString TimerUnitBase(const QString &projectName);

// The folder of the user's own units: $XDG_CONFIG_HOME/systemd/user, by default
// ~/.config/systemd/user.
QString SystemdUserFolder();

// tandrel-cli schedule PROJECT --daily HH:MM | --at "dd.mm.yyyy hh:mm" | --remove: writes (or
// removes) the timer and the service that run `program --app-dir appDir run PROJECT`.
ExitCode ScheduleCommand(const CliOptions &options, const QString &appDir, const QString &program,
    ConsoleObserver &console);
