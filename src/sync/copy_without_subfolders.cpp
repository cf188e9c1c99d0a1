#include "copy_routines.h"

#include "file_probe.h"
#include "file_step.h"
#include "folder_listing.h"
#include "run_context.h"
#include "run_observer.h"
#include "text_match.h"

#include <QFile>

namespace {

// Probes one side: one stat() of the file, and of the folder only when the file is not there.
void probeSide(const QByteArray &folder, const QByteArray &name, bool &folderExists, bool &exists,
    qint64 &size, qint64 &date)
{
    const FileStat stat = ProbeFile(folder + name);
    folderExists = stat.pathExists || ProbeFolder(folder);
    exists = stat.exists;
    if (exists) {
        size = stat.size;
        date = stat.mtime;
    }
}

// The per-file loop; it stops at a missing folder.
void copyFiles(RunContext &run, const std::vector<QByteArray> &names)
{
    const qint64 last = qint64(names.size()) - 1;
    for (qint64 k = 0; k <= last; ++k) {
        run.stopIfCancelled();
        run.observer.progressChanged(k, last);
        const QByteArray &name = names[std::size_t(k)];
        FileCompare file;
        file.Name = QFile::decodeName(name);
        probeSide(
            run.fromPath, name, file.SrcFolderExists, file.SrcExists, file.SrcLen, file.SrcDate);
        probeSide(
            run.toPath, name, file.DstFolderExists, file.DstExists, file.DstLen, file.DstDate);
        if (!file.SrcFolderExists) {
            run.add(QStringLiteral("    - Erreur: Le dossier origine n'existe pas!"));
            if (!file.DstFolderExists)
                run.add(QStringLiteral("    - Erreur: Le dossier destination n'existe pas!"));
            return;
        }
        if (!file.DstFolderExists) {
            run.add(QStringLiteral("    - Erreur: Le dossier destination n'existe pas!"));
            return;
        }
        CopyOneFile(run, file, run.fromPath + name, run.toPath + name, file.Name);
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
