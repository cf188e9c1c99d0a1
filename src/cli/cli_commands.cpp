#include "cli_commands.h"

#include "cli_options.h"
#include "console_observer.h"
#include "db_error.h"
#include "project_db.h"
#include "project_file.h"
#include "run_driver.h"
#include "run_lock.h"
#include "sleep_inhibitor.h"

#include <QDir>
#include <QFileInfo>

#include <cstdio>
#include <cstring>
#include <optional>

namespace {

QString databasePath(const QString &appDir)
{
    return appDir + QStringLiteral("Tandrel.mdb");
}

void printDatabaseError(ConsoleObserver &console, const QString &appDir, const DbError &error)
{
    console.error(
        QStringLiteral("tandrel-cli: impossible d'ouvrir la base de projets %1\nErreur: %2\n"
                       "Description: %3")
            .arg(databasePath(appDir), QString::number(error.number()), error.description()));
}

// A stored text as the list shows it: an empty text stays visible.
QString shown(const QString &text)
{
    return text.isEmpty() ? QStringLiteral("(vide)") : text;
}

void print(const QString &line)
{
    const QByteArray bytes = line.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
}

ExitCode refuseUnknownProject(ConsoleObserver &console, const QString &name)
{
    console.error(QStringLiteral(
        "tandrel-cli: projet inconnu : « %1 » (tandrel-cli list affiche les projets)")
                      .arg(name));
    return ExitUsage;
}

ExitCode refuseFileName(ConsoleObserver &console, const QString &message, const QString &file)
{
    console.error(QStringLiteral("tandrel-cli: %1 (%2) : %3")
                      .arg(message, ProjectFileNameProblem(file), file));
    return ExitUsage;
}

// The project's actions, read again just before a run that waited for another one.
std::optional<ExitCode> readActions(RunRequest &request, ConsoleObserver &console)
{
    try {
        // Closed again before the run, which may last long: the window can go on using it.
        const ProjectDb db(databasePath(request.appDir));
        const std::vector<Project> found = db.projectsNamed(request.projectName);
        if (found.empty())
            return refuseUnknownProject(console, request.projectName);
        request.actions = db.actionsOf(found.front().templateNo);
    } catch (const DbError &error) {
        printDatabaseError(console, request.appDir, error);
        return ExitUsage;
    }
    if (request.actions.empty()) {
        console.error(QStringLiteral("tandrel-cli: le projet « %1 » n'a aucune action.")
                          .arg(request.projectName));
        return ExitUsage;
    }
    return std::nullopt;
}

// Takes the project's run lock, waiting for it with --wait; an exit code when the run must not
// go on.
std::optional<ExitCode> takeLock(RunLock &lock, RunRequest &request, const CliOptions &options,
    ConsoleObserver &console, const std::atomic<bool> &cancel)
{
    RunLock::Result result = lock.tryLock();
    if (result == RunLock::Result::Busy && !options.wait) {
        console.error(QStringLiteral("tandrel-cli: le projet « %1 » est déjà en cours de "
                                     "synchronisation (--wait attend la fin de ce passage).")
                          .arg(request.projectName));
        return ExitBusy;
    }
    if (result == RunLock::Result::Busy) {
        console.error(QStringLiteral("tandrel-cli: le projet « %1 » est déjà en cours de "
                                     "synchronisation ; attente de la fin de ce passage...")
                          .arg(request.projectName));
        result = lock.lock(cancel);
        if (result == RunLock::Result::Taken)
            return readActions(request, console); // they may have changed meanwhile
    }
    if (result == RunLock::Result::Cancelled)
        return ExitCancelled;
    if (result == RunLock::Result::Failed) {
        console.error(QStringLiteral("tandrel-cli: impossible de créer le verrou %1 : %2")
                          .arg(lock.path(), QString::fromLocal8Bit(std::strerror(lock.error()))));
        return ExitUsage;
    }
    return std::nullopt;
}

} // namespace

ExitCode ExitCodeOf(const RunOutcome &outcome)
{
    switch (outcome.status) {
    case RunOutcome::Status::Cancelled:
        return ExitCancelled;
    case RunOutcome::Status::Failed:
        return ExitFatal;
    case RunOutcome::Status::Finished:
        break;
    }
    return outcome.copyErrors ? ExitCopyErrors : ExitOk;
}

ExitCode RunCommand(const CliOptions &options, const QString &appDir, ConsoleObserver &console,
    const std::atomic<bool> &cancel)
{
    RunRequest request;
    request.projectName = options.projectName;
    if (request.projectName.isEmpty()) {
        const QString companion = CompanionFilePath(appDir);
        if (!QFileInfo(companion).isFile()) {
            console.error(QStringLiteral("tandrel-cli: nom du projet manquant après « run », et "
                                         "pas de fichier de lancement %1")
                              .arg(companion));
            return ExitUsage;
        }
        const CompanionRun companionRun = ReadCompanionFile(appDir);
        request.projectName = companionRun.projectName;
        request.saveReport = companionRun.saveReport;
        if (request.projectName.isEmpty()) {
            console.error(QStringLiteral("tandrel-cli: le fichier de lancement %1 ne nomme aucun "
                                         "projet (clé Name de la section AutoRunTemplate)")
                              .arg(companion));
            return ExitUsage;
        }
    }
    request.appDir = appDir;
    request.mode = options.simulate ? RunMode::Simulate : RunMode::Synchronize;
    request.showAllInReport = options.showAll;
    if (const auto refused = readActions(request, console))
        return *refused;
    RunLock lock(appDir, request.projectName);
    if (const auto refused = takeLock(lock, request, options, console, cancel))
        return *refused;
    const SleepInhibitor inhibitor(RunInhibitReason(request.projectName));

    const RunOutcome outcome = RunDriver::run(request, console, cancel);
    console.runEnded(outcome);
    const ExitCode code = ExitCodeOf(outcome);
    switch (code) {
    case ExitFatal:
        console.error(
            QStringLiteral("Erreur fatale rencontrée! : %1 - %2\nRapport : %3")
                .arg(QString::number(outcome.errorNumber), outcome.errorText, outcome.reportFile));
        break;
    case ExitCopyErrors:
        console.error(QStringLiteral("Des fichiers n'ont pas pu être copiés. Rapport : %1")
                          .arg(outcome.reportFile));
        break;
    case ExitCancelled:
        console.error(
            QStringLiteral("Synchronisation annulée. Rapport : %1").arg(outcome.reportFile));
        break;
    case ExitOk:
    case ExitUsage:
    case ExitBusy:
        break;
    }
    return code;
}

ExitCode ExportCommand(const CliOptions &options, const QString &appDir, ConsoleObserver &console)
{
    const QString file = QFileInfo(options.projectFile).absoluteFilePath();
    if (!IsProjectFileName(options.projectFile))
        return refuseFileName(
            console, QStringLiteral("Erreur dans le nom du fichier projet!"), options.projectFile);
    try {
        ProjectDb db(databasePath(appDir));
        const std::vector<Project> found = db.projectsNamed(options.projectName);
        if (found.empty()) {
            return refuseUnknownProject(console, options.projectName);
        }
        const ExchangeResult result = ExportProject(db, found.front().templateNo, file);
        if (!result.ok) {
            console.error(QStringLiteral("tandrel-cli: ") + result.error);
            return ExitUsage;
        }
        print(QStringLiteral("Projet exporté avec succès vers : %1\nNom : %2, actions#: %3")
                  .arg(QDir::toNativeSeparators(file), result.projectName,
                      QString::number(result.actions)));
    } catch (const DbError &error) {
        printDatabaseError(console, appDir, error);
        return ExitUsage;
    }
    std::fflush(stdout);
    return ExitOk;
}

ExitCode ImportCommand(const CliOptions &options, const QString &appDir, ConsoleObserver &console)
{
    const QString file = QFileInfo(options.projectFile).absoluteFilePath();
    if (!IsProjectFileName(options.projectFile))
        return refuseFileName(
            console, QStringLiteral("Erreur dans le nom du projet!"), options.projectFile);
    if (!QFileInfo(file).isFile()) {
        console.error(QStringLiteral("tandrel-cli: Ne peut ouvrir le fichier : ") + file);
        return ExitUsage;
    }
    try {
        ProjectDb db(databasePath(appDir));
        const QString name = ProjectNameInFile(file);
        // The projects that the import replaces: every one whose name equals it without regard
        // to case, since any of them would keep the name taken.
        std::vector<qint64> replaced;
        if (!name.isEmpty()) {
            for (const Project &project : ProjectsNamedNoCase(db, name))
                replaced.push_back(project.templateNo);
        }
        if (!replaced.empty() && !options.replace) {
            console.error(QStringLiteral("tandrel-cli: Projet de même nom : %1 déjà existant! "
                                         "(--replace remplace le projet existant)")
                              .arg(name));
            return ExitUsage;
        }
        // The new project is stored, then the old ones are deleted, in one transaction.
        const ExchangeResult result = ImportProject(db, file, replaced);
        if (!result.ok) {
            console.error(QStringLiteral("tandrel-cli: ") + result.error);
            return ExitUsage;
        }
        print(QStringLiteral("Projet importé avec succès depuis : %1\nNom : %2, actions#: %3")
                  .arg(QDir::toNativeSeparators(file), result.projectName,
                      QString::number(result.actions)));
    } catch (const DbError &error) {
        printDatabaseError(console, appDir, error);
        return ExitUsage;
    }
    std::fflush(stdout);
    return ExitOk;
}

ExitCode ListCommand(const QString &appDir, ConsoleObserver &console)
{
    try {
        const ProjectDb db(databasePath(appDir));
        for (const Project &project : db.projectsByName()) {
            print(project.description.isEmpty()
                    ? project.name
                    : QStringLiteral("%1    (%2)").arg(project.name, project.description));
            const std::vector<Action> actions = db.actionsOf(project.templateNo);
            if (actions.empty())
                print(QStringLiteral("    (aucune action)"));
            for (const Action &action : actions) {
                print(QStringLiteral("    %1  %2 → %3")
                          .arg(shown(action.fileFilter), shown(action.fromFolder),
                              shown(action.toFolder)));
                print(
                    QStringLiteral("        sous-dossiers : %1, activée : %2, taille : %3, "
                                   "date : %4, opérateur : %5, versions conservées : %6")
                        .arg(shown(action.inclSub), shown(action.enabled), shown(action.fileSize),
                            shown(action.fileDate), shown(action.op), shown(action.keepVersions)));
                if (!action.description.isEmpty())
                    print(QStringLiteral("        description : %1").arg(action.description));
            }
        }
    } catch (const DbError &error) {
        printDatabaseError(console, appDir, error);
        return ExitUsage;
    }
    std::fflush(stdout);
    return ExitOk;
}
