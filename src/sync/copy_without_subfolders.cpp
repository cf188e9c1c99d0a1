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

namespace {

// Probes one side: one stat() of the file, and of the folder only when the file is not there.
void probeSide(const FolderHandle &folder, const QByteArray &folderPath, const char *name,
    bool &folderExists, bool &exists, qint64 &size, qint64 &date, unsigned &mode)
{
    const FileStat stat = ProbeFileAt(folder.fd(), name);
    folderExists = stat.pathExists || ProbeFolder(folderPath);
    exists = stat.exists;
    size = stat.exists ? stat.size : 0;
    date = stat.exists ? stat.mtime : 0;
    mode = stat.mode;
}

// The destination side of one file, probed ahead; its folder is looked at by name only when the
// file is not there and the folder the prober opened is gone.
void takeDestination(const SideProbe &probe, const QByteArray &folderPath, FileCompare &file)
{
    const FileStat &stat = probe.file;
    file.DstFolderExists = probe.folderFound || ProbeFolder(folderPath);
    file.DstExists = stat.exists;
    file.DstLen = stat.exists ? stat.size : 0;
    file.DstDate = stat.exists ? stat.mtime : 0;
    file.DstMode = stat.mode;
}

// The per-file loop; it stops at a missing folder.
void copyEach(RunContext &run, CopyQueue &queue, const std::vector<QByteArray> &names,
    SideProber &prober, const std::shared_ptr<const FolderHandle> &from,
    const std::shared_ptr<const FolderHandle> &to)
{
    const qint64 last = qint64(names.size()) - 1;
    unsigned unused = 0;
    for (qint64 k = 0; k <= last; ++k) {
        run.stopIfCancelled();
        run.observer.progressChanged(k, last);
        const QByteArray &name = names[std::size_t(k)];
        FileCompare file;
        probeSide(*from, run.fromPath, name.constData(), file.SrcFolderExists, file.SrcExists,
            file.SrcLen, file.SrcDate, unused);
        takeDestination(prober.take(std::size_t(k)), run.toPath, file);
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
        if (const CopyFault refusal = RefusedByDestination(run, name, file.SrcLen);
            refusal != CopyFault::None) {
            run.stopIfCancelled();
            queue.addFailure(name, refusal);
            continue;
        }
        const bool copy = CopyRequired(run, file);
        queue.addFile(copy, file.Copied, file.SrcLen, name, from, to, name.constData(),
            file.DstExists ? long(file.DstMode) : -1);
    }
}

// The destination is probed ahead and the copies made on the queue's threads, as in a copy with
// sub-folders: on a share each call waits on the network.
void copyFiles(RunContext &run, const std::vector<QByteArray> &names)
{
    const auto from = std::make_shared<const FolderHandle>(run.fromPath);
    const auto to = std::make_shared<const FolderHandle>(run.toPath);
    if (to->isOpen())
        run.volume = ProbeVolume(to->fd());
    PathList list;
    for (const QByteArray &name : names)
        list.append({}, name);
    SideProber prober(to->fd(), list, run.volume.slow ? SideProber::slowThreads : 1);
    CopyQueue queue(run);
    try {
        copyEach(run, queue, names, prober, from, to);
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
