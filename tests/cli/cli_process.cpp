#include "cli_process.h"
#include "project_db.h"

#include <QFile>

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
    CliResult result;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        result.crashed = true;
    }
    result.crashed = result.crashed || process.exitStatus() == QProcess::CrashExit;
    result.exitCode = process.exitCode();
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

Action MakeAction(const QString &fromFolder, const QString &toFolder, const QString &filter,
    bool inclSub, qint64 templateNo)
{
    Action action;
    action.templateNo = templateNo;
    action.description = QStringLiteral("test");
    action.enabled = QStringLiteral("OUI");
    action.fileFilter = filter;
    action.fromFolder = fromFolder;
    action.toFolder = toFolder;
    action.inclSub = inclSub ? QStringLiteral("OUI") : QStringLiteral("NON");
    action.fileDate = QStringLiteral(">");
    action.fileSize = QStringLiteral("<>");
    action.op = QStringLiteral("OR");
    return action;
}

void StoreProject(const QString &appDir, const QString &name, std::vector<Action> actions)
{
    ProjectDb db(appDir + "Tandrel.mdb");
    const qint64 key = db.addProject(name, "");
    for (Action &action : actions) {
        action.templateNo = key;
        db.addAction(action);
    }
}

QString ReadText(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}
