#include "cli_process.h"
#include "private_bus.h"
#include "run_lock.h"
#include "temp_dir.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The JSON objects of the output, by type.
QMap<QString, QList<QJsonObject>> JsonLines(const QString &out)
{
    QMap<QString, QList<QJsonObject>> objects;
    for (const QString &line : out.split(u'\n', Qt::SkipEmptyParts)) {
        const QJsonObject object = QJsonDocument::fromJson(line.toUtf8()).object();
        EXPECT_FALSE(object.isEmpty()) << line.toStdString();
        objects[object["type"].toString()] << object;
    }
    return objects;
}

// Every file examined is told, unchanged ones too, then each action and the end; the report
// file is written as usual and no report line reaches standard output. A name that is not UTF-8
// comes out escaped byte by byte.
TEST(CliUnattended, JsonListsEveryFileEachActionAndTheEnd)
{
    TempDir app, tree;
    tree.write("origine/neuf.txt", "neuf");
    tree.write("origine/pareil.txt", "pareil");
    tree.write("origine/bloqué.txt", "nouveau");
    const QByteArray latin1 = QFile::encodeName(tree("origine/")) + "caf\xe9.txt";
    const int made = ::open(latin1.constData(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(made, 0);
    ::close(made);
    QDir().mkpath(tree("destination"));
    ASSERT_TRUE(QFile::copy(tree("origine/pareil.txt"), tree("destination/pareil.txt")));
    const QString locked = tree.write("destination/bloqué.txt", "ancien");
    ASSERT_EQ(::chmod(QFile::encodeName(locked).constData(), 0444), 0);
    // The copy keeps the date, so "pareil.txt" is unchanged by size and date.
    StoreProject(app.path(), "Json",
        {MakeAction(tree("origine"), tree("destination"), "*.txt", false),
            MakeAction(tree("origine"), tree.mkdir("vide"), "*.rien", false)});

    CliResult result = RunCli({"--app-dir", app.path(), "run", "--dry-run", "--json", "Json"});
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_FALSE(QFile::exists(tree("destination/neuf.txt")));
    EXPECT_EQ(JsonLines(result.out)["file"].value(1)["decision"].toString(), "would-copy");
    EXPECT_TRUE(RunCli({"list", "--dry-run"}).err.contains("« --dry-run » ne s'applique"));

    result = RunCli({"--app-dir", app.path(), "run", "--json", "Json"});
    EXPECT_EQ(result.exitCode, 1) << result.err.toStdString();
    EXPECT_FALSE(result.out.contains("Départ")) << result.out.toStdString();
    EXPECT_EQ(ReadText(app("Json.log")).count("Départ: "), 2);
    EXPECT_TRUE(result.out.contains(R"("path":"caf\udce9.txt")")) << result.out.toStdString();
    QMap<QString, QList<QJsonObject>> json = JsonLines(result.out);
    QMap<QString, QString> decisions;
    for (const QJsonObject &file : json["file"]) {
        EXPECT_EQ(file["action"].toInt(), 1);
        decisions[file["path"].toString()] = file["decision"].toString();
        if (file["decision"] == "failed")
            EXPECT_TRUE(file["reason"].toString().contains("lecture seule"));
        else
            EXPECT_FALSE(file.contains("reason"));
    }
    EXPECT_EQ(decisions["neuf.txt"], "copied");
    EXPECT_EQ(decisions["pareil.txt"], "unchanged");
    EXPECT_EQ(decisions["bloqué.txt"], "failed");
    ASSERT_EQ(json["action"].size(), 2);
    EXPECT_EQ(json["action"][1]["to"].toString(), tree("vide/"));
    EXPECT_EQ(json["action"][0]["files"].toInt(), 2); // neuf.txt and café.txt
    EXPECT_EQ(json["action"][0]["bytes"].toInt(), 4);
    EXPECT_TRUE(result.out.section(u'\n', -2, -2).contains(R"("type":"end","status":"errors")"));
}

// A second run of a project exits at once with 4, touching nothing; with --wait it runs once
// the first one has ended, and a signal ends the wait as it ends a run. The run keeps the
// machine awake through logind, on whatever system bus the environment names.
TEST(CliUnattended, ASecondRunOfAProjectExitsWith4OrWaitsForTheFirst)
{
    PrivateBus bus;
    FakeLogind logind(bus);
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", bus.address().toUtf8());
    TempDir app, tree;
    tree.write("origine/a.txt", "a");
    StoreProject(app.path(), "Verrou",
        {MakeAction(tree("origine"), tree.mkdir("destination"), "*.*", false)});
    const QStringList run {"--app-dir", app.path(), "run", "Verrou"};
    auto first = std::make_unique<RunLock>(app.path(), "Verrou");
    ASSERT_EQ(first->tryLock(), RunLock::Result::Taken);

    const CliResult refused = RunCli(run);
    EXPECT_EQ(refused.exitCode, 4);
    EXPECT_TRUE(refused.err.contains("« Verrou » est déjà en cours")) << refused.err.toStdString();
    EXPECT_FALSE(QFile::exists(app("Verrou.log")));

    QProcess cancelled;
    StartCli(cancelled, run + QStringList {"--wait"});
    EXPECT_FALSE(cancelled.waitForFinished(700));
    ::kill(pid_t(cancelled.processId()), SIGTERM);
    EXPECT_EQ(FinishCli(cancelled).exitCode, 130);

    QProcess waiting;
    StartCli(waiting, run + QStringList {"--wait"});
    EXPECT_FALSE(waiting.waitForFinished(700));
    EXPECT_FALSE(QFile::exists(tree("destination/a.txt")));
    first.reset();
    const CliResult waited = FinishCli(waiting);
    EXPECT_EQ(waited.exitCode, 0) << waited.err.toStdString();
    EXPECT_TRUE(QFile::exists(tree("destination/a.txt")));
    ASSERT_EQ(logind.calls().size(), 1u);
    EXPECT_EQ(logind.calls().front().first(), "sleep");
    EXPECT_TRUE(logind.calls().front().at(2).contains("« Verrou »"));
    EXPECT_TRUE(logind.released(std::chrono::milliseconds(2000)));
    qunsetenv("DBUS_SYSTEM_BUS_ADDRESS");
}

// schedule writes a timer and a service that systemd accepts, whatever the project's name, and
// removes them again; what it cannot do exits with 3.
TEST(CliUnattended, ScheduleWritesSystemdUnitsThatSystemdAccepts)
{
    TempDir app, config, runtime;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path())); // systemd-analyze --user
    const QString units = config("systemd/user/");
    const QString name = QStringLiteral("Été \"100%\" $HOME/-\\x");
    const QStringList schedule {"--app-dir", app.path(), "schedule", name};
    const QString tomorrow = QDateTime::currentDateTime().addDays(1).toString("dd.MM.yyyy hh:mm");

    for (const QStringList &when : {QStringList {"--daily", "07:30"}, {"--at", tomorrow}}) {
        const CliResult result = RunCli(schedule + when);
        ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
        const QStringList files = QDir(units).entryList(QDir::Files);
        ASSERT_EQ(files.size(), 2) << files.join(' ').toStdString();
        QProcess verify;
        verify.setWorkingDirectory(units);
        verify.start("systemd-analyze", QStringList {"verify", "--user"} + files);
        ASSERT_TRUE(verify.waitForFinished(30000)) << "systemd-analyze is missing";
        EXPECT_EQ(verify.exitCode(), 0) << verify.readAllStandardError().toStdString();
        EXPECT_TRUE(ReadText(units + files.filter(".timer").value(0)).contains("Persistent=true"));
        EXPECT_TRUE(ReadText(units + files.filter(".service").value(0)).contains(app.path()));
    }
    EXPECT_TRUE(ReadText(units + QDir(units).entryList({"*.timer"}).value(0))
                    .contains(QDateTime::currentDateTime().addDays(1).toString("yyyy-MM-dd")));

    QDir(units).mkdir("timers.target.wants");
    const QString timerFile = QDir(units).entryList({"*.timer"}).value(0);
    ASSERT_TRUE(QFile::link(units + timerFile, units + "timers.target.wants/" + timerFile));
    EXPECT_EQ(RunCli(schedule + QStringList {"--remove"}).exitCode, 0);
    EXPECT_TRUE(QDir(units).entryList(QDir::Files | QDir::System).isEmpty());
    EXPECT_TRUE(QDir(units + "timers.target.wants").isEmpty());

    for (const QStringList &when : {QStringList {"--remove"}, {"--daily", "25:00"},
             {"--at", "31.02.2030 10:00"}, {"--at", "01.01.2000 10:00"}, {}})
        EXPECT_EQ(RunCli(schedule + when).exitCode, 3) << when.size();
    qunsetenv("XDG_CONFIG_HOME");
    qunsetenv("XDG_RUNTIME_DIR");
}

} // namespace
