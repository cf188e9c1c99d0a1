#include "file_step.h"

#include "run_context.h"
#include "run_errors.h"
#include "run_observer.h"
#include "safe_copy.h"

#include <QFile>

#include <cerrno>

bool MustCopy(const FileCompare &file, const QString &fileSize, const QString &fileDate,
    const TimeRule &times)
{
    if (!file.DstExists)
        return true;
    if (fileSize == QLatin1String("<>")) {
        if (file.SrcLen != file.DstLen)
            return true;
    } else if (fileSize == QLatin1String(">")) {
        if (file.SrcLen > file.DstLen)
            return true;
    } else {
        return true;
    }
    const int newer = CompareTimes(file.SrcDate, file.DstDate, times, file.SrcLen == file.DstLen);
    if (fileDate == QLatin1String("<>"))
        return newer != 0;
    if (fileDate == QLatin1String(">"))
        return newer > 0;
    return true;
}

CopyFault RefusedByDestination(RunContext &run, QByteArrayView path, qint64 size)
{
    const DestinationVolume &volume = run.volume;
    if (volume.windowsNames)
        for (const QByteArray &part : path.toByteArray().split('/'))
            if (!WindowsCanHold(part))
                return CopyFault::BadName;
    if (volume.maxFileSize >= 0 && size > volume.maxFileSize)
        return CopyFault::TooLarge;
    if (volume.caseBlind) {
        const QString folded = QFile::decodeName(path.toByteArray()).toCaseFolded();
        if (run.foldedPaths.contains(folded))
            return CopyFault::CaseClash;
        run.foldedPaths.insert(folded);
    }
    return CopyFault::None;
}

namespace {

QString refusalCause(int error)
{
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("la destination est pleine!");
    case EFBIG:
        return QStringLiteral("fichier trop grand pour le système de fichiers de la destination!");
    case ENAMETOOLONG:
    case EILSEQ:
        return QStringLiteral("nom de fichier que la destination ne peut pas contenir!");
    case EIO:
    case ENOTCONN: // a FUSE file system whose device is gone
    case ECONNABORTED:
    case ENODEV:
    case ENOMEDIUM:
    case ESTALE:
        return QStringLiteral("erreur d'entrée/sortie, le support a-t-il été retiré?");
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
    case EBUSY:
        return QStringLiteral("le fichier est en lecture seule ou bloqué par le système!");
    default:
        return QStringLiteral("erreur système %1 (%2)!").arg(error).arg(DescribeErrno(error));
    }
}

QString versionCause(int error)
{
    switch (error) {
    case ELOOP:
        return QStringLiteral("le dossier .tandrel-versions est un lien symbolique!");
    case ENOTDIR:
        return QStringLiteral(".tandrel-versions n'est pas un dossier!");
    case EXDEV:
        return QStringLiteral("le dossier est sur un autre système de fichiers!");
    case EACCES:
    case EPERM:
    case EROFS:
        return QStringLiteral("le dossier .tandrel-versions est en lecture seule!");
    default:
        return refusalCause(error);
    }
}

QString failureCause(const CopyResult &copy)
{
    switch (copy.fault) {
    case CopyFault::VersionNotKept:
        return QStringLiteral("l'ancienne version n'a pas pu être conservée, ")
            + versionCause(copy.error);
    case CopyFault::OriginChanged:
        return QStringLiteral("le fichier origine a changé pendant la copie!");
    case CopyFault::NotAFile:
        return QStringLiteral("le fichier origine n'est pas un fichier ordinaire!");
    case CopyFault::LinkedFolder:
        return QStringLiteral("le dossier destination est un lien symbolique!");
    case CopyFault::FolderNotOpened:
        if (copy.error == ENOTDIR || copy.error == EEXIST)
            return QStringLiteral("un fichier occupe la place du dossier destination!");
        return QStringLiteral("le dossier destination n'a pas pu être ouvert, ")
            + refusalCause(copy.error);
    case CopyFault::OriginGone:
        return QStringLiteral("le fichier origine a disparu!");
    case CopyFault::BadName:
        return refusalCause(EILSEQ);
    case CopyFault::CaseClash:
        return QStringLiteral("nom déjà pris dans la destination, seule la casse diffère!");
    case CopyFault::TooLarge:
        return refusalCause(EFBIG);
    default:
        return refusalCause(copy.error);
    }
}

void tellObserver(
    RunContext &run, bool copied, const CopyResult &copy, qint64 size, QByteArrayView shown)
{
    using Decision = ExaminedFile::Decision;
    ExaminedFile file;
    file.action = run.actionNumber;
    file.path = shown;
    file.bytes = size;
    if (!copy.ok()) {
        file.decision = Decision::Failed;
        file.reason = failureCause(copy);
    } else if (!copied) {
        file.decision = Decision::Unchanged;
    } else {
        file.decision
            = run.request.mode == RunMode::Simulate ? Decision::WouldCopy : Decision::Copied;
    }
    run.observer.fileExamined(file);
}

} // namespace

void ReportFile(
    RunContext &run, bool copied, const CopyResult &copy, qint64 size, QByteArrayView shown)
{
    const bool failed = !copy.ok();
    // Only what was copied (or would be, in a simulation) counts.
    if (copied && !failed) {
        run.ActionBytes += size;
        run.ActionFiles += 1;
    }
    tellObserver(run, copied, copy, size, shown);
    if (!(copied || failed || run.request.showAllInReport))
        return; // the everyday case: nothing to say
    const QString name = QFile::decodeName(shown.toByteArray()).toLower();
    if (copied && !failed) {
        run.add(QStringLiteral("     ") + name + QStringLiteral(" - (copié)"));
        if (!copy.timeKept)
            run.add(QStringLiteral("     >>  ") + name
                + QStringLiteral(
                    " - (Nota: la destination n'a pas gardé la date de modification!)"));
    } else if (!copied && !failed && run.request.showAllInReport) {
        run.add(QStringLiteral("     ") + name + QStringLiteral(" - (Pas de modification)"));
    }
    if (failed) {
        run.add(QStringLiteral("     >>  ") + name + QStringLiteral(" - (Erreur: ")
            + failureCause(copy) + u')');
        run.CopyErrors = true;
        run.anyError = true;
    }
}

bool CopyRequired(RunContext &run, FileCompare &file)
{
    file.Copied = false;
    run.stopIfCancelled();
    file.Copied = MustCopy(file, run.FileSize, run.FileDate, run.volume.times);
    if (!file.Copied || run.request.mode != RunMode::Simulate)
        return file.Copied;
    // A replaced file gives its blocks back.
    const auto blocks = [&](qint64 size) {
        return (size + run.volume.blockSize - 1) / run.volume.blockSize * run.volume.blockSize;
    };
    run.neededBytes += blocks(file.SrcLen) - (file.DstExists ? blocks(file.DstLen) : 0);
    return false;
}

void EndAction(RunContext &run, qsizetype found, const QString &errorsLine)
{
    if (run.CopyErrors) {
        run.add(QStringLiteral(" "));
        run.add(errorsLine);
    }
    run.add(QStringLiteral(" "));
    run.add(QStringLiteral("        %1 de %2 fichier(s) copié(s), taille des fichier(s)= %3 octets")
                .arg(run.ActionFiles)
                .arg(found)
                .arg(run.formatBytes(run.ActionBytes)));
    if (const QByteArray kept = run.versions ? run.versions->keptIn() : QByteArray();
        !kept.isEmpty())
        run.add(QStringLiteral("    - Nota : Versions remplacées conservées dans : ")
            + QFile::decodeName(run.toPath + kept));
    const DestinationVolume &volume = run.volume;
    if (run.request.mode == RunMode::Simulate && volume.freeBytes >= 0
        && run.neededBytes > volume.freeBytes)
        run.add(QStringLiteral("    - Attention : la destination n'a que %1 octets libres, les "
                               "copies en demandent %2!")
                    .arg(run.formatBytes(volume.freeBytes), run.formatBytes(run.neededBytes)));
    if (run.request.mode != RunMode::Simulate && run.ActionFiles > 0 && volume.unpluggable)
        run.written.add(run.toPath);
    run.observer.actionEnded(
        {run.actionNumber, run.FromFolder, run.ToFolder, run.ActionFiles, run.ActionBytes});
    run.TotalBytes += run.ActionBytes;
    run.TotalFiles += run.ActionFiles;
}
