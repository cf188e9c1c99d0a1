#include "copy_routines.h"

#include "copy_queue.h"
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

bool hasSubFolders(const RunContext &run)
{
    for (const QByteArray &sub : ListFolder(run.fromPath, WildcardFilter({}), false).folders)
        if (sub + '/' != run.skipFolder)
            return true;
    return false;
}

// The open origin and destination folders of the sub-folder being copied: the list holds the
// files of one folder together, so each folder is opened once and its files probed by name.
// The destination folder is opened only when a file is copied into it (the prober looks at it
// meanwhile): on a share, opening it costs a call to the server for each part of its path.
// Copies under way keep the folders they need open.
struct FolderPair {
    QByteArray sub; // relative path ending with "/", empty for the top folders
    std::shared_ptr<const FolderHandle> from;
    std::shared_ptr<const FolderHandle> to; // none until needed
    BelowState toState = BelowState::Missing;
    int toError = 0; // why the destination folder could not be opened, once tried
    bool made = false; // this run made the destination folder (or tried to, once)

    void enter(const RunContext &run, QByteArrayView entrySub)
    {
        if (from && sub == entrySub)
            return;
        sub = entrySub.toByteArray();
        from = std::make_shared<const FolderHandle>(run.fromPath + sub);
        to.reset();
        toState = BelowState::Missing;
        toError = 0;
        made = false;
    }
    void openDestination(int toRoot, bool create)
    {
        FolderHandle opened = OpenBelow(toRoot, sub, create, toState);
        toError = opened.isOpen() || toState == BelowState::Linked ? 0 : errno; // before allocating
        to = std::make_shared<const FolderHandle>(std::move(opened));
    }
    // Why no file can go into the destination folder; None when they can.
    CopyFault refusal() const
    {
        if (toState == BelowState::Linked)
            return CopyFault::LinkedFolder; // nothing goes through a link
        return toError ? CopyFault::FolderNotOpened : CopyFault::None;
    }
};

// The origin side of one entry, probed ahead when ahead is given (but looked at again when not
// found there); false (after its report line) when its folder is gone.
bool probeOrigin(RunContext &run, CopyQueue &queue, FileCompare &file, const FolderPair &folders,
    const char *name, const SideProbe *ahead)
{
    const FileStat stat
        = ahead && ahead->file.pathExists ? ahead->file : ProbeFileAt(folders.from->fd(), name);
    if (!stat.pathExists && !ProbeFolder(run.fromPath + folders.sub)) {
        queue.addLine(QStringLiteral("    - Erreur: Le dossier origine n'existe pas! (")
            + (run.FromFolder + QFile::decodeName(folders.sub)).toLower() + u')');
        run.anyError = true;
        return false;
    }
    file.SrcFolderExists = true;
    file.SrcExists = stat.exists;
    file.SrcLen = stat.exists ? stat.size : 0;
    file.SrcDate = stat.exists ? stat.mtime : 0;
    return true;
}

// The destination side of one entry, probed ahead by the prober. A missing (or removed)
// sub-folder is made, in every run mode; false (after its report line) when the destination
// folder itself is gone.
bool probeDestination(RunContext &run, CopyQueue &queue, FileCompare &file, FolderPair &folders,
    const SideProbe &probe, int toRoot)
{
    if (folders.toState != BelowState::Linked && !(probe.folderFound || folders.made)) {
        folders.openDestination(toRoot, true);
        // Only then is the destination itself looked at: on a share each look costs calls.
        if (!folders.to->isOpen() && !ProbeFolder(run.toPath)) {
            queue.addLine(QStringLiteral("    - Erreur: Le dossier destination n'existe pas! (")
                + run.ToFolder.toLower() + u')');
            run.anyError = true;
            return false;
        }
        // Told even when it failed: each of its files then fails with the cause.
        folders.made = folders.toState != BelowState::Linked;
        if (folders.made)
            queue.addLine(QStringLiteral("    - Nota : Création du dossier destination (")
                + (run.ToFolder + QFile::decodeName(folders.sub)).toLower() + u')');
    }
    const FileStat &stat = probe.file;
    file.DstFolderExists = true;
    file.DstExists = stat.exists;
    file.DstLen = file.DstExists ? stat.size : 0;
    file.DstDate = file.DstExists ? stat.mtime : 0;
    file.DstMode = stat.mode;
    return true;
}

void copyEntries(RunContext &run, CopyQueue &queue, const FolderHandle &toRoot)
{
    FolderPair folders;
    SideProber prober(toRoot.fd(), run.fileList, run.volume.slow ? SideProber::slowThreads : 1);
    const FolderHandle fromRoot(run.fromPath);
    std::optional<SideProber> fromProber; // the origin probed ahead too when it is a share
    if (run.originSlow)
        fromProber.emplace(fromRoot.fd(), run.fileList, SideProber::slowThreads);
    const qint64 last = qint64(run.fileList.size()) - 1;
    for (qint64 i = 0; i <= last; ++i) {
        run.stopIfCancelled();
        run.observer.progressChanged(i, last);
        const QByteArrayView entry = run.fileList[std::size_t(i)];
        const qsizetype slash = entry.lastIndexOf('/');
        folders.enter(run, entry.first(slash + 1));
        const char *name = entry.constData() + slash + 1; // the entry's tail, NUL-terminated
        FileCompare file;
        const SideProbe probe = prober.take(std::size_t(i));
        const std::optional<SideProbe> ahead
            = fromProber ? std::optional(fromProber->take(std::size_t(i))) : std::nullopt;
        if (!probeOrigin(run, queue, file, folders, name, ahead ? &*ahead : nullptr))
            continue;
        // Before the destination folder is made: its own name may be what cannot be held.
        if (const CopyFault refusal = RefusedByDestination(run, entry, file.SrcLen);
            refusal != CopyFault::None) {
            run.stopIfCancelled();
            queue.addFailure(entry, refusal);
            continue;
        }
        if (!probeDestination(run, queue, file, folders, probe, toRoot.fd()))
            continue;
        if (folders.toState == BelowState::Linked) {
            run.stopIfCancelled();
            queue.addFailure(entry, CopyFault::LinkedFolder); // nothing goes through a link
            continue;
        }
        // A file left alone needs no folder; one to copy fails when its folder did not open.
        const bool copy = CopyRequired(run, file);
        if (copy && !folders.to)
            folders.openDestination(toRoot.fd(), false);
        // A link put in the folder's place since it was probed, or a share gone meanwhile.
        if (const CopyFault refusal = folders.refusal(); copy && refusal != CopyFault::None) {
            queue.addFailure(entry, refusal, folders.toError);
            continue;
        }
        queue.addFile(copy, file.Copied, file.SrcLen, entry, folders.from, folders.to, name,
            file.DstExists ? long(file.DstMode) : -1);
    }
}

void copyListedFiles(RunContext &run, const FolderHandle &toRoot)
{
    run.volume = ProbeVolume(toRoot.fd());
    CopyQueue queue(run);
    try {
        copyEntries(run, queue, toRoot);
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
        run.anyError = true;
        return true;
    }
    run.originSlow = ProbeVolume(FolderHandle(run.fromPath).fd()).slow;
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
        run.anyError = true;
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
        copyListedFiles(run, FolderHandle(run.toPath)); // the user's choice: may be a link
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
