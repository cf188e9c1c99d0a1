#include "app_dir.h"
#include "cli_commands.h"
#include "cli_options.h"
#include "console_observer.h"
#include "file_helpers.h"
#include "json_lines.h"
#include "schedule_command.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <memory>

#include <unistd.h>

namespace {

// Set by SIGINT and SIGTERM; the run sees it between two files and ends with the cancellation
// block, saved like any report.
std::atomic<bool> cancelRequested {false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

extern "C" void requestCancel(int)
{
    cancelRequested.store(true);
}

// Only a run turns SIGINT and SIGTERM into a cancellation; the other commands keep their
// default action and end at once.
void installCancelHandlers()
{
    struct sigaction action { };
    action.sa_handler = requestCancel;
    sigemptyset(&action.sa_mask);
    // A second Ctrl+C ends the program at once, for a copy of one huge file that would
    // otherwise have to finish first.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

void ignoreBrokenPipe()
{
    // A closed pipe on standard output must not kill a run half-way: the report file still
    // gets the whole report (the console stops printing).
    std::signal(SIGPIPE, SIG_IGN);
}

// The application folder: --app-dir, or the window program's own rule.
QString appDirOf(const CliOptions &options, ConsoleObserver &console)
{
    if (!options.appDir.isEmpty()) {
        const QString dir = QDir(options.appDir).absolutePath();
        if (!FolderExists(dir)) {
            console.error(QStringLiteral("tandrel-cli: le dossier de l'application n'existe "
                                         "pas : %1")
                              .arg(dir));
            return {};
        }
        return AddBackslash(dir);
    }
    const QString exeDir = QCoreApplication::applicationDirPath();
    const QString perUserDir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    const QString dir = ResolveAppDir(exeDir, perUserDir);
    if (dir.isEmpty())
        console.error(QStringLiteral("tandrel-cli: aucun dossier de l'application accessible "
                                     "en écriture (%1, %2)")
                          .arg(exeDir, perUserDir));
    return dir;
}

} // namespace

int main(int argc, char *argv[])
{
    ignoreBrokenPipe();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Tandrel"));

    const CliParse parsed = ParseCommandLine(QCoreApplication::arguments());
    const CliOptions &options = parsed.options;
    const bool terminal = ::isatty(STDERR_FILENO) == 1;
    const std::unique_ptr<ConsoleObserver> observer = options.json
        ? std::make_unique<JsonObserver>(stdout, stderr, terminal)
        : std::make_unique<ConsoleObserver>(stdout, stderr, !options.quiet, terminal);
    ConsoleObserver &console = *observer;
    if (!parsed.error.isEmpty()) {
        console.error(
            QStringLiteral("tandrel-cli: %1\nEssayez « tandrel-cli --help ».").arg(parsed.error));
        return ExitUsage;
    }
    if (options.command == CliOptions::Command::Help) {
        const QByteArray help = HelpText().toUtf8();
        std::fwrite(help.constData(), 1, static_cast<size_t>(help.size()), stdout);
        return ExitOk;
    }

    const QString appDir = appDirOf(options, console);
    if (appDir.isEmpty())
        return ExitUsage;
    if (options.command == CliOptions::Command::List)
        return ListCommand(appDir, console);
    if (options.command == CliOptions::Command::Export)
        return ExportCommand(options, appDir, console);
    if (options.command == CliOptions::Command::Import)
        return ImportCommand(options, appDir, console);
    if (options.command == CliOptions::Command::Schedule)
        return ScheduleCommand(options, appDir, QCoreApplication::applicationFilePath(), console);
    installCancelHandlers();
    return RunCommand(options, appDir, console, cancelRequested);
}
