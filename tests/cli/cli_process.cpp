#include "cli_process.h"
#include "sample_projects.h"

void StartCli(QProcess &process, const QStringList &arguments)
{
    process.setProgram(QStringLiteral(TANDREL_CLI));
    process.setArguments(arguments);
    process.start();
}

CliResult RunCli(const QStringList &arguments)
{
    QProcess process;
    StartCli(process, arguments);
    return FinishCli(process);
}

CliResult FinishCli(QProcess &process)
{
    CliResult result;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
    }
    if (process.exitStatus() == QProcess::NormalExit)
        result.exitCode = process.exitCode();
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

QString ReadText(const QString &path)
{
    return QString::fromUtf8(readFile(path));
}
