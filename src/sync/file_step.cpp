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

void CopyOneFile(RunContext &run, FileCompare &file, const FileCopyJob &job)
{
    file.Copied = false;
    run.stopIfCancelled();
    bool failed = false;
    if (MustCopy(file, run.FileSize, run.FileDate)) {
        if (run.request.mode != RunMode::Simulate) {
            const QByteArray name = QByteArray::fromRawData(job.name, qsizetype(qstrlen(job.name)));
            failed = SafeCopyAt(job.fromFolder, name, job.toFolder, name,
                         file.DstExists ? long(file.DstMode) : -1)
                != 0;
        }
        // Only what was copied (or would be, in a simulation) counts.
        if (!failed) {
            run.ActionBytes += file.SrcLen;
            run.ActionFiles += 1;
        }
        file.Copied = true;
    }
    if (!(file.Copied || failed || run.request.showAllInReport))
        return; // the everyday case: nothing to say
    const QString name = QFile::decodeName(job.shown.toByteArray()).toLower();
    if (file.Copied && !failed)
        run.add(QStringLiteral("     ") + name + QStringLiteral(" - (copié)"));
    else if (!file.Copied && run.request.showAllInReport)
        run.add(QStringLiteral("     ") + name + QStringLiteral(" - (Pas de modification)"));
    if (failed) {
        run.add(QStringLiteral("     >>  ") + name
            + QStringLiteral(" - (Erreur: le fichier est en lecture seule ou bloqué par le "
                             "système!)"));
        run.CopyErrors = true;
        run.anyCopyError = true;
    }
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
