#include "copy_routines.h"

#include "destination_prober.h"
#include "file_helpers.h"
#include "file_probe.h"
#include "file_step.h"
#include "folder_listing.h"
#include "run_context.h"
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
struct FolderPair {
    QByteArray sub; // relative path ending with "/", empty for the top folders
    FolderHandle from;
    FolderHandle to;
    bool valid = false;

    void enter(const RunContext &run, QByteArrayView entrySub)
    {
        if (valid && sub == entrySub)
            return;
        sub = entrySub.toByteArray();
        from = FolderHandle(run.fromPath + sub);
        to = FolderHandle(run.toPath + sub);
        valid = true;
    }
};

// The origin side of one entry; false (after its report line) when its folder is gone.
bool probeOrigin(RunContext &run, FileCompare &file, const FolderPair &folders, const char *name)
{
    const FileStat stat = ProbeFileAt(folders.from.fd(), name);
    if (!stat.pathExists && !ProbeFolder(run.fromPath + folders.sub)) {
        run.add(QStringLiteral("    - Erreur: Le dossier origine n'existe pas! (")
            + (run.FromFolder + QFile::decodeName(folders.sub)).toLower() + u')');
        return false;
    }
    file.SrcFolderExists = true;
    file.SrcExists = stat.exists;
    file.SrcLen = stat.exists ? stat.size : 0;
    file.SrcDate = stat.exists ? stat.mtime : 0;
    return true;
}

// The destination side of one entry: a missing sub-folder is created (in every run mode);
// false (after its report line) when the destination folder itself is gone.
bool probeDestination(
    RunContext &run, FileCompare &file, FolderPair &folders, const char *name, FileStat stat)
{
    if (!stat.pathExists) // probed ahead: look again, the folder may have been made since
        stat = ProbeFileAt(folders.to.fd(), name);
    if (stat.pathExists || ProbeFolder(run.toPath + folders.sub)) {
        file.DstFolderExists = true;
        file.DstExists = stat.exists;
        file.DstLen = stat.exists ? stat.size : 0;
        file.DstDate = stat.exists ? stat.mtime : 0;
        file.DstMode = stat.mode;
        if (!folders.to.isOpen())
            folders.to = FolderHandle(run.toPath + folders.sub);
        return true;
    }
    if (!ProbeFolder(run.toPath)) {
        run.add(QStringLiteral("    - Erreur: Le dossier destination n'existe pas! (")
            + run.ToFolder.toLower() + u')');
        return false;
    }
    MakeDir(run.toPath + folders.sub);
    folders.to = FolderHandle(run.toPath + folders.sub);
    run.add(QStringLiteral("    - Nota : Création du dossier destination (")
        + (run.ToFolder + QFile::decodeName(folders.sub)).toLower() + u')');
    return true;
}

void copyListedFiles(RunContext &run)
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
        if (probeOrigin(run, file, folders, name)
            && probeDestination(run, file, folders, name, prober.take(std::size_t(i)))) {
            run.stopIfCancelled();
            CopyOneFile(run, file, {folders.from.fd(), folders.to.fd(), name, entry});
        }
        run.report.dumpIfFull();
    }
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
