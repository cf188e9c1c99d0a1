#include "copy_routines.h"

#include "destination_volume.h"

#include "file_probe.h"
#include "file_step.h"
#include "folder_listing.h"
#include "run_context.h"
#include "run_observer.h"
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

// The per-file loop; it stops at a missing folder.
void copyFiles(RunContext &run, const std::vector<QByteArray> &names)
{
    const FolderHandle from(run.fromPath);
    const FolderHandle to(run.toPath);
    if (to.isOpen())
        run.volume = ProbeVolume(to.fd());
    const qint64 last = qint64(names.size()) - 1;
    unsigned unused = 0;
    for (qint64 k = 0; k <= last; ++k) {
        run.stopIfCancelled();
        run.observer.progressChanged(k, last);
        const QByteArray &name = names[std::size_t(k)];
        FileCompare file;
        probeSide(from, run.fromPath, name.constData(), file.SrcFolderExists, file.SrcExists,
            file.SrcLen, file.SrcDate, unused);
        probeSide(to, run.toPath, name.constData(), file.DstFolderExists, file.DstExists,
            file.DstLen, file.DstDate, file.DstMode);
        if (!file.SrcFolderExists) {
            run.add(QStringLiteral("    - Erreur: Le dossier origine n'existe pas!"));
            run.anyError = true;
            if (!file.DstFolderExists)
                run.add(QStringLiteral("    - Erreur: Le dossier destination n'existe pas!"));
            return;
        }
        if (!file.DstFolderExists) {
            run.add(QStringLiteral("    - Erreur: Le dossier destination n'existe pas!"));
            run.anyError = true;
            return;
        }
        CopyOneFile(run, file, {from.fd(), to.fd(), name.constData(), name});
        run.report.dumpIfFull();
    }
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
