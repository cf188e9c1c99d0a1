#include "copy_routines.h"

#include "copy_queue.h"
#include "destination_volume.h"
#include "file_probe.h"
#include "file_step.h"
#include "folder_listing.h"
#include "run_context.h"
#include "run_errors.h"
#include "run_observer.h"
#include "side_prober.h"
#include "text_match.h"

#include <QFile>

#include <optional>

namespace {

// One side of one file, probed ahead by a prober or else here; its folder is looked at by name
// only when the file is not there and the folder the prober opened is gone.
FileStat probeSide(std::optional<SideProber> &prober, std::size_t index, int folder,
    const QByteArray &folderPath, const char *name, bool &folderExists)
{
    const SideProbe probe = prober ? prober->take(index)
                                   : SideProbe {ProbeFileAt(folder, name), false};
    folderExists = probe.folderFound || probe.file.pathExists || ProbeFolder(folderPath);
    return probe.file;
}

// The two folders of the action, open, and the probers that look at them ahead of the loop.
struct FolderSides {
    std::shared_ptr<const FolderHandle> from;
    std::shared_ptr<const FolderHandle> to;
    std::optional<SideProber> fromProber; // only when the origin is a share
    std::optional<SideProber> toProber;
};

// The per-file loop; it stops at a missing folder.
void copyEach(RunContext &run, CopyQueue &queue, const std::vector<QByteArray> &names,
    FolderSides &sides)
{
    const qint64 last = qint64(names.size()) - 1;
    for (qint64 k = 0; k <= last; ++k) {
        run.stopIfCancelled();
        run.observer.progressChanged(k, last);
        const QByteArray &name = names[std::size_t(k)];
        FileCompare file;
        const FileStat from = probeSide(sides.fromProber, std::size_t(k), sides.from->fd(),
            run.fromPath, name.constData(), file.SrcFolderExists);
        const FileStat to = probeSide(sides.toProber, std::size_t(k), sides.to->fd(), run.toPath,
            name.constData(), file.DstFolderExists);
        if (!file.SrcFolderExists) {
            queue.addLine(QStringLiteral("    - Erreur: Le dossier origine n'existe pas!"));
            run.anyError = true;
            if (!file.DstFolderExists)
                queue.addLine(QStringLiteral("    - Erreur: Le dossier destination n'existe pas!"));
            return;
        }
        if (!file.DstFolderExists) {
            queue.addLine(QStringLiteral("    - Erreur: Le dossier destination n'existe pas!"));
            run.anyError = true;
            return;
        }
        file.SrcExists = from.exists;
        file.SrcLen = from.exists ? from.size : 0;
        file.SrcDate = from.exists ? from.mtime : 0;
        file.DstExists = to.exists;
        file.DstLen = to.exists ? to.size : 0;
        file.DstDate = to.exists ? to.mtime : 0;
        if (const CopyFault refusal = RefusedByDestination(run, name, file.SrcLen);
            refusal != CopyFault::None) {
            run.stopIfCancelled();
            queue.addFailure(name, refusal);
            continue;
        }
        const bool copy = CopyRequired(run, file);
        queue.addFile(copy, file.Copied, file.SrcLen, name, sides.from, sides.to,
            name.constData(), to.exists ? long(to.mode) : -1);
    }
}

// On a share, where each call waits on the network, the destination (and a shared origin) is
// probed by many threads ahead and the copies are made on the queue's threads. On a local disk
// one thread probes the destination ahead, and each copy is made in turn.
void copyFiles(RunContext &run, const std::vector<QByteArray> &names)
{
    FolderSides sides;
    sides.from = std::make_shared<const FolderHandle>(run.fromPath);
    sides.to = std::make_shared<const FolderHandle>(run.toPath);
    if (sides.to->isOpen())
        run.volume = ProbeVolume(sides.to->fd());
    const bool originSlow = sides.from->isOpen() && ProbeVolume(sides.from->fd()).slow;
    PathList list;
    for (const QByteArray &name : names)
        list.append({}, name);
    if (sides.to->isOpen())
        sides.toProber.emplace(
            sides.to->fd(), list, run.volume.slow ? SideProber::slowThreads : 1);
    if (originSlow)
        sides.fromProber.emplace(sides.from->fd(), list, SideProber::slowThreads);
    CopyQueue queue(run, run.volume.slow || originSlow);
    try {
        copyEach(run, queue, names, sides);
    } catch (const RunCancelled &) {
        queue.abandon(); // what was copied is still reported
        throw;
    }
    queue.finish();
}

} // namespace

void CopyWithoutSubFolders(RunContext &run)
{
    run.observer.progressChanged(0, 0);
    run.CopyErrors = false;
    run.setTitle(QStringLiteral("Synchronisation en cours - Patientez SVP..."));
    std::vector<QByteArray> names;
    if (!ProbeFolder(run.fromPath)) {
        run.add(QStringLiteral(" "));
        run.add(QStringLiteral("    - Erreur: le dossier origine n'existe pas!"));
        run.anyError = true;
    } else {
        names = ListFolder(run.fromPath, WildcardFilter(run.FileFilter)).files;
        if (run.Enabled != QLatin1String("OUI")) {
            run.add(QStringLiteral(" "));
            run.add(QStringLiteral("    File filter: ") + run.FileFilter
                + QStringLiteral(" - ACTIONS NON ACTIVEES !"));
            run.add(QStringLiteral(" "));
        } else if (names.empty()) {
            run.add(QStringLiteral("    - Filtre de fichiers : ") + run.FileFilter
                + QStringLiteral(" - Pas de fichier trouvé!)"));
            run.add(QStringLiteral(" "));
        } else {
            run.add(QStringLiteral("    - Filtre de fichiers : ") + run.FileFilter
                + QStringLiteral(" - ") + QString::number(names.size())
                + QStringLiteral(" Fichier(s) trouvé(s)"));
            run.add(QStringLiteral(" "));
            run.observer.progressChanged(0, qint64(names.size()) - 1);
            run.stopIfCancelled();
            copyFiles(run, names);
        }
    }
    EndAction(run, qsizetype(names.size()),
        QStringLiteral("        >> Des erreurs ont été rencontrées, Consultez le fichier "
                       ".LOG pour plus de détails!"));
}
