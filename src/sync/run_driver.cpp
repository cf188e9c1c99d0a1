#include "run_driver.h"

#include "copy_routines.h"
#include "file_helpers.h"
#include "report_file.h"
#include "run_context.h"
#include "run_errors.h"
#include "run_observer.h"

#include <QFile>
#include <QFileInfo>

#include <cstdlib>

namespace {

const QString blank = QStringLiteral(" ");
const QString equalsLine = QString(41, u'=');
const QString indent = QString(10, u' ');

QString stamp(const RunContext &run)
{
    const QDateTime now = run.request.now();
    return now.toString(QStringLiteral("dd.MM.yyyy")) + QStringLiteral(" à ")
        + now.toString(QStringLiteral("HH:mm:ss"));
}

QString openingText(RunMode mode)
{
    switch (mode) {
    case RunMode::Scheduler:
        return QStringLiteral(" (Programmateur de projet : ");
    case RunMode::Simulate:
        return QStringLiteral(" (Simulation de projet: ");
    case RunMode::Synchronize:
        break;
    }
    return QStringLiteral(" (Projet : ");
}

// The last line names the report file, only when the report goes there.
void addReportFileLine(RunContext &run, const QString &text)
{
    if (run.request.saveReport)
        run.add(text + QFileInfo(run.report.reportFile()).fileName());
}

// The destination's place inside the origin tree, so that the walk can leave it out.
QByteArray destinationInsideOrigin(const QByteArray &from, const QByteArray &to)
{
    char *origin = ::realpath(from.constData(), nullptr);
    char *destination = ::realpath(to.constData(), nullptr);
    QByteArray inside;
    if (origin && destination) {
        const QByteArray o = QByteArray(origin) + (QByteArray(origin).endsWith('/') ? "" : "/");
        const QByteArray d = QByteArray(destination) + '/';
        if (d.size() > o.size() && d.startsWith(o))
            inside = d.mid(o.size());
    }
    std::free(origin);
    std::free(destination);
    return inside;
}

void loadAction(RunContext &run, const Action &action)
{
    run.ActionFiles = 0;
    run.ActionBytes = 0;
    run.FileFilter = action.fileFilter;
    run.FromFolder = AddBackslash(action.fromFolder);
    run.ToFolder = AddBackslash(action.toFolder);
    run.fromPath = QFile::encodeName(run.FromFolder);
    run.toPath = QFile::encodeName(run.ToFolder);
    run.InclSub = ReadsAsTrue(action.inclSub);
    run.Enabled = action.enabled.toUpper();
    run.FileDate = action.fileDate;
    run.FileSize = action.fileSize;
    run.skipFolder = destinationInsideOrigin(run.fromPath, run.toPath);
    run.volume = {};
    run.foldedPaths.clear();
    run.neededBytes = 0;
    run.versions.reset();
    if (ReadsAsTrue(action.keepVersions) && run.request.mode != RunMode::Simulate)
        run.versions = std::make_unique<KeptVersions>(run.toPath, run.started);
}

void runActions(RunContext &run)
{
    const std::vector<Action> &actions = run.request.actions;
    const std::size_t count = actions.size();
    for (std::size_t i = 0; i < count; ++i) {
        run.stopIfCancelled();
        loadAction(run, actions[i]);
        run.actionNumber = int(i) + 1;
        run.add(blank);
        run.add(QStringLiteral("Action %1 sur %2").arg(i + 1).arg(count));
        run.add(QStringLiteral("    Depuis le dossier origine : ") + run.FromFolder);
        run.add(QStringLiteral("    Vers le dossier destination : ") + run.ToFolder);
        run.stopIfCancelled();
        if (run.InclSub) {
            run.add(QStringLiteral("    Inclure les sous-dossiers : Oui"));
            CopyWithFolders(run);
        } else {
            run.add(QStringLiteral("    Inclure les sous-dossiers : Non"));
            CopyWithoutSubFolders(run);
        }
    }
    run.stopIfCancelled();
}

// Puts the copies on the devices that can be unplugged, once per file system, so that
// "Terminé" means they are there; a device that fails gets its line.
void flushDestinations(RunContext &run)
{
    if (run.written.empty())
        return;
    run.setTitle(QStringLiteral("Écriture des copies sur le support - Patientez SVP..."));
    for (const WrittenVolumes::Failure &failure : run.written.flush()) {
        run.add(blank);
        run.add(
            QStringLiteral("    >> Erreur: les copies n'ont pas pu être écrites sur le support (")
            + QFile::decodeName(failure.folder) + QStringLiteral(" : ")
            + DescribeErrno(failure.error) + QStringLiteral(")!"));
        run.anyError = true;
    }
}

void writeClosingBlock(RunContext &run)
{
    run.add(blank);
    run.add(indent + QString(35, u'-'));
    run.add(indent + QStringLiteral("Terminé: ") + stamp(run));
    run.add(blank);
    run.add(indent + QStringLiteral("Total copié = %1 Fichiers").arg(run.TotalFiles));
    run.add(indent + QStringLiteral("Total copié = ") + run.formatBytes(run.TotalBytes)
        + QStringLiteral(" octets"));
    run.add(blank);
    run.add(equalsLine);
    run.add(blank);
    addReportFileLine(run, QStringLiteral("     Rapport enregistré dans le fichier : "));
}

void writeCancellationBlock(RunContext &run)
{
    const QString hyphens = indent + QString(37, u'-');
    run.add(blank);
    run.add(hyphens);
    run.add(indent + QStringLiteral("Synchronisation annulée par l'utilisateur!"));
    run.add(hyphens);
    run.add(indent);
    run.add(indent + QStringLiteral("Terminé: ") + stamp(run));
    run.add(blank);
    run.add(equalsLine);
    run.add(blank);
    addReportFileLine(run, QStringLiteral("     Rapport enregistré dans le fichier : "));
}

void writeFatalBlock(RunContext &run, const RunError &error)
{
    run.add(blank);
    run.add(QStringLiteral(">> Erreur fatale rencontrée! : ") + QString::number(error.number)
        + QStringLiteral(" - ") + error.description + QStringLiteral(" !!!"));
    run.add(blank);
    run.add(equalsLine);
    run.add(blank);
    addReportFileLine(run, QStringLiteral("     rapport sauvé dans le fichier : "));
}

RunOutcome outcomeOf(const RunContext &run, RunOutcome::Status status)
{
    RunOutcome outcome;
    outcome.status = status;
    outcome.copyErrors = run.anyError;
    outcome.totalFiles = run.TotalFiles;
    outcome.totalBytes = run.TotalBytes;
    outcome.reportFile = run.report.reportFile();
    return outcome;
}

RunOutcome fail(RunContext &run, const RunError &error)
{
    writeFatalBlock(run, error);
    run.report.SaveReport(); // nothing more can be done when this write fails too
    run.setTitle(QStringLiteral("Terminé!"));
    RunOutcome outcome = outcomeOf(run, RunOutcome::Status::Failed);
    outcome.errorNumber = error.number;
    outcome.errorText = error.description;
    return outcome;
}

} // namespace

RunOutcome RunDriver::run(
    const RunRequest &request, RunObserver &observer, const std::atomic<bool> &cancel)
{
    RunContext run(request, observer, cancel, ReportFilePath(request.appDir, request.projectName));
    try {
        run.add(blank);
        run.add(QStringLiteral("Départ: ") + stamp(run) + openingText(request.mode)
            + request.projectName + u')');
        runActions(run);
        flushDestinations(run);
        // From here on the run is done: a cancel that comes now changes nothing, so the report
        // never holds both the closing and the cancellation block.
        writeClosingBlock(run);
        if (!run.report.SaveReport())
            return fail(run,
                {EIO,
                    QStringLiteral("Impossible d'écrire le rapport (%1)")
                        .arg(run.report.reportFile())});
        run.setTitle(QStringLiteral("Terminé!"));
        return outcomeOf(run, RunOutcome::Status::Finished);
    } catch (const RunCancelled &) {
        writeCancellationBlock(run);
        run.report.SaveReport();
        run.setTitle(QStringLiteral("User canceled!"));
        return outcomeOf(run, RunOutcome::Status::Cancelled);
    } catch (const RunError &error) {
        return fail(run, error);
    } catch (const std::exception &error) {
        return fail(run, {0, QString::fromLocal8Bit(error.what())});
    }
}
