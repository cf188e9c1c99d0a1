#include "file_step.h"

#include "run_context.h"
#include "run_errors.h"
#include "safe_copy.h"

#include <QFile>

bool MustCopy(const FileCompare &file, const QString &fileSize, const QString &fileDate)
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
    if (fileDate == QLatin1String("<>"))
        return file.SrcDate != file.DstDate;
    if (fileDate == QLatin1String(">"))
        return file.SrcDate > file.DstDate;
    return true;
}

namespace {

QString failureCause(CopyFault fault)
{
    switch (fault) {
    case CopyFault::OriginChanged:
        return QStringLiteral("le fichier origine a changé pendant la copie!");
    case CopyFault::NotAFile:
        return QStringLiteral("le fichier origine n'est pas un fichier ordinaire!");
    case CopyFault::LinkedFolder:
        return QStringLiteral("le dossier destination est un lien symbolique!");
    default:
        return QStringLiteral("le fichier est en lecture seule ou bloqué par le système!");
    }
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
    if (!(copied || failed || run.request.showAllInReport))
        return; // the everyday case: nothing to say
    const QString name = QFile::decodeName(shown.toByteArray()).toLower();
    if (copied && !failed)
        run.add(QStringLiteral("     ") + name + QStringLiteral(" - (copié)"));
    else if (!copied && !failed && run.request.showAllInReport)
        run.add(QStringLiteral("     ") + name + QStringLiteral(" - (Pas de modification)"));
    if (failed) {
        run.add(QStringLiteral("     >>  ") + name + QStringLiteral(" - (Erreur: ")
            + failureCause(copy.fault) + u')');
        run.CopyErrors = true;
        run.anyCopyError = true;
    }
}

bool CopyRequired(RunContext &run, FileCompare &file)
{
    file.Copied = false;
    run.stopIfCancelled();
    file.Copied = MustCopy(file, run.FileSize, run.FileDate);
    return file.Copied && run.request.mode != RunMode::Simulate;
}

void CopyOneFile(RunContext &run, FileCompare &file, const FileCopyJob &job)
{
    CopyResult copy;
    qint64 size = file.SrcLen;
    if (CopyRequired(run, file)) {
        const QByteArray name = QByteArray::fromRawData(job.name, qsizetype(qstrlen(job.name)));
        copy = SafeCopyAt(job.fromFolder, name, job.toFolder, name,
            file.DstExists ? long(file.DstMode) : -1, &run.cancel);
        if (copy.fault == CopyFault::Cancelled)
            throw RunCancelled {}; // a copy cut short was not made: nothing to report
        size = copy.bytes;
    }
    ReportFile(run, file.Copied, copy, size, job.shown);
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
    run.TotalBytes += run.ActionBytes;
    run.TotalFiles += run.ActionFiles;
}
