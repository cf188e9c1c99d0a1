#include "file_step.h"

#include "run_context.h"
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

void ReportFile(RunContext &run, bool copied, bool failed, qint64 size, QByteArrayView shown)
{
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
    else if (!copied && run.request.showAllInReport)
        run.add(QStringLiteral("     ") + name + QStringLiteral(" - (Pas de modification)"));
    if (failed) {
        run.add(QStringLiteral("     >>  ") + name
            + QStringLiteral(" - (Erreur: le fichier est en lecture seule ou bloqué par le "
                             "système!)"));
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
    bool failed = false;
    if (CopyRequired(run, file)) {
        const QByteArray name = QByteArray::fromRawData(job.name, qsizetype(qstrlen(job.name)));
        failed = SafeCopyAt(job.fromFolder, name, job.toFolder, name,
                     file.DstExists ? long(file.DstMode) : -1)
            != 0;
    }
    ReportFile(run, file.Copied, failed, file.SrcLen, job.shown);
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
