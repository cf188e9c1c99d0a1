#include "copy_routines.h"

#include "copy_queue.h"
#include "destination_prober.h"
#include "file_helpers.h"
#include "file_probe.h"
#include "file_step.h"
#include "folder_listing.h"
#include "run_context.h"
#include "run_errors.h"
#include "run_observer.h"
#include "text_match.h"

#include <QFile>

namespace {

bool hasSubFolders(const RunContext &run)
{
    for (const QByteArray &sub : ListFolder(run.fromPath, WildcardFilter({}), false).folders)
        if (sub + '/' != run.skipFolder)
            return true;
    return false;
}

// The open origin and destination folders of the sub-folder being copied: the list holds the
// files of one folder together, so each folder is opened once and its files probed by name.
// Copies under way keep the folders they need open.
struct FolderPair {
    QByteArray sub; // relative path ending with "/", empty for the top folders
    std::shared_ptr<const FolderHandle> from;
    std::shared_ptr<const FolderHandle> to;

    void enter(const RunContext &run, QByteArrayView entrySub)
    {
        if (from && sub == entrySub)
            return;
        sub = entrySub.toByteArray();
        from = std::make_shared<const FolderHandle>(run.fromPath + sub);
        to = std::make_shared<const FolderHandle>(run.toPath + sub);
    }
};

// The origin side of one entry; false (after its report line) when its folder is gone.
bool probeOrigin(RunContext &run, CopyQueue &queue, FileCompare &file, const FolderPair &folders,
    const char *name)
{
    const FileStat stat = ProbeFileAt(folders.from->fd(), name);
    if (!stat.pathExists && !folders.from->isOpen() && !ProbeFolder(run.fromPath + folders.sub)) {
        queue.addLine(QStringLiteral("    - Erreur: Le dossier origine n'existe pas! (")
            + (run.FromFolder + QFile::decodeName(folders.sub)).toLower() + u')');
        return false;
    }
    file.SrcFolderExists = true;
    file.SrcExists = stat.exists;
    file.SrcLen = stat.exists ? stat.size : 0;
    file.SrcDate = stat.exists ? stat.mtime : 0;
    return true;
}

// The destination side of one entry, probed ahead by the prober. When the destination sub-folder
// is open, a missing file is simply new (a folder made by this run is empty). Otherwise the
// sub-folder is created (in every run mode); false (after its report line) when the
// destination folder itself is gone.
bool probeDestination(
    RunContext &run, CopyQueue &queue, FileCompare &file, FolderPair &folders, FileStat stat)
{
    if (stat.pathExists || folders.to->isOpen() || ProbeFolder(run.toPath + folders.sub)) {
        file.DstFolderExists = true;
        file.DstExists = stat.exists;
        file.DstLen = stat.exists ? stat.size : 0;
        file.DstDate = stat.exists ? stat.mtime : 0;
        file.DstMode = stat.mode;
        if (!folders.to->isOpen())
            folders.to = std::make_shared<const FolderHandle>(run.toPath + folders.sub);
        return true;
    }
    if (!ProbeFolder(run.toPath)) {
        queue.addLine(QStringLiteral("    - Erreur: Le dossier destination n'existe pas! (")
            + run.ToFolder.toLower() + u')');
        return false;
    }
    MakeDir(run.toPath + folders.sub);
    folders.to = std::make_shared<const FolderHandle>(run.toPath + folders.sub);
    queue.addLine(QStringLiteral("    - Nota : Création du dossier destination (")
        + (run.ToFolder + QFile::decodeName(folders.sub)).toLower() + u')');
    return true;
}

void copyEntries(RunContext &run, CopyQueue &queue)
{
    FolderPair folders;
    DestinationProber prober(run.toPath, run.fileList);
    const qint64 last = qint64(run.fileList.size()) - 1;
    for (qint64 i = 0; i <= last; ++i) {
        run.stopIfCancelled();
        run.observer.progressChanged(i, last);
        const QByteArray &entry = run.fileList[std::size_t(i)];
        const qsizetype slash = entry.lastIndexOf('/');
        folders.enter(run, QByteArrayView(entry).first(slash + 1));
        const char *name = entry.constData() + slash + 1; // the entry's tail, NUL-terminated
        FileCompare file;
        if (probeOrigin(run, queue, file, folders, name)
            && probeDestination(run, queue, file, folders, prober.take(std::size_t(i)))) {
            const bool copy = CopyRequired(run, file);
            queue.addFile(copy, file.Copied, file.SrcLen, entry, folders.from, folders.to, name,
                file.DstExists ? long(file.DstMode) : -1);
        }
    }
}

void copyListedFiles(RunContext &run)
{
    CopyQueue queue(run);
    try {
        copyEntries(run, queue);
    } catch (const RunCancelled &) {
        queue.abandon(); // what was copied is still reported
        throw;
    }
    queue.finish();
}

// Runs the action over the tree; false when it was handed to the single-folder copy.
bool copyTree(RunContext &run)
{
    if (run.Enabled != QLatin1String("OUI")) {
        run.add(QStringLiteral(" "));
        run.add(QStringLiteral("    Filtre des fichiers : ") + run.FileFilter
            + QStringLiteral(" - ACTIONS NON ACTIVEES!"));
        run.add(QStringLiteral(" "));
        return true;
    }
    if (!ProbeFolder(run.fromPath)) {
        run.add(QStringLiteral(" "));
        run.add(QStringLiteral("    - Erreur: le dossier origine n'existe pas!"));
        return true;
    }
    if (!hasSubFolders(run)) {
        run.add(QStringLiteral(" "));
        run.add(QStringLiteral("    - Pas de sous-dossier(s) trouvé(s)!"));
        CopyWithoutSubFolders(run);
        return false;
    }
    BuildFileList(run);
    run.stopIfCancelled();
    run.setTitle(QStringLiteral("Synchronisation en cours - patientez SVP..."));
    if (!ProbeFolder(run.toPath)) {
        run.add(QStringLiteral(" "));
        run.add(QStringLiteral("    - Erreur: Le dossier destination racine n'existe pas!"));
    } else if (run.fileList.empty()) {
        run.add(QStringLiteral("    - Filtre de fichiers : ") + run.FileFilter
            + QStringLiteral(" - Pas de fichier trouvé!"));
        run.add(QStringLiteral(" "));
    } else {
        run.add(QStringLiteral("    - Filtre de fichiers : ") + run.FileFilter
            + QStringLiteral(" - ") + QString::number(run.fileList.size())
            + QStringLiteral(" fichier(s) trouvé(s)!"));
        run.add(QStringLiteral(" "));
        run.observer.progressChanged(0, qint64(run.fileList.size()) - 1);
        run.stopIfCancelled();
        copyListedFiles(run);
    }
    return true;
}

} // namespace

void CopyWithFolders(RunContext &run)
{
    run.CopyErrors = false;
    run.fileList.clear();
    run.observer.progressChanged(0, 0);
    if (copyTree(run))
        EndAction(run, qsizetype(run.fileList.size()),
            QStringLiteral("        >> Des erreurs ont été rencontrés, Consultez le fichier "
                           ".LOG pour plus de détails!"));
}
