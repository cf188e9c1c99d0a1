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

// The JSON lines of the output, each as "type decision-or-status path files".
QStringList JsonLines(const QString &out)
{
    QStringList lines;
    for (const QString &line : out.split(u'\n', Qt::SkipEmptyParts)) {
        QStringList fields;
        for (const char *key : {"type", "decision", "status", "path", "files"})
            fields << QJsonDocument::fromJson(line.toUtf8())[QString::fromLatin1(key)]
                          .toVariant()
                          .toString();
        lines << fields.join(u' ').simplified();
    }
    return lines;
}

} // namespace

// Every file examined is told, then each action and the end; the report goes to its file only.
// A name that is not UTF-8 comes out escaped byte by byte.
TEST(CliUnattended, JsonTellsEveryFileEachActionAndTheEnd)
{
    TempDir app, tree;
    tree.write("origine/neuf.txt", "neuf");
    tree.write("origine/pareil.txt", "pareil");
    const QByteArray latin1 = QFile::encodeName(tree("origine/")) + "caf\xe9.txt";
    ::close(::open(latin1.constData(), O_CREAT | O_WRONLY, 0644));
    tree.write("destination/bloqué.txt", "ancien");
    tree.write("origine/bloqué.txt", "nouveau");
    ASSERT_TRUE(QFile::copy(tree("origine/pareil.txt"), tree("destination/pareil.txt")));
    ASSERT_EQ(::chmod(QFile::encodeName(tree("destination/bloqué.txt")).constData(), 0444), 0);
    StoreProject(app.path(), "Json",
        {SampleAction(0, "*.txt", tree("origine"), tree("destination"), false),
            SampleAction(0, "*.rien", tree("origine"), tree.mkdir("vide"), false)});

    CliResult result = RunCli({"--app-dir", app.path(), "run", "--dry-run", "--json", "Json"});
    EXPECT_TRUE(JsonLines(result.out).contains("file would-copy neuf.txt"));
    EXPECT_FALSE(QFile::exists(tree("destination/neuf.txt")));

    result = RunCli({"--app-dir", app.path(), "run", "--json", "Json"});
    EXPECT_EQ(result.exitCode, 1) << result.err.toStdString();
    EXPECT_TRUE(result.err.contains("Json.log")) << result.err.toStdString(); // the report's file
    EXPECT_TRUE(result.out.contains(R"("path":"caf\udce9.txt")")) << result.out.toStdString();
    const QStringList lines = JsonLines(result.out);
    for (const char *line : {"file copied neuf.txt", "file unchanged pareil.txt",
             "file failed bloqué.txt", "action 2", "action 0"}) // café.txt copied too
        EXPECT_TRUE(lines.contains(QString::fromUtf8(line))) << line;
    EXPECT_EQ(lines.last(), "end errors 2");
    EXPECT_EQ(ReadText(app("Json.log")).count("Départ: "), 2);
}

// A second run of a project exits at once with 4, touching nothing; with --wait it runs once
// the first one has ended, keeping the machine awake, and a signal ends the wait.
TEST(CliUnattended, ASecondRunOfAProjectExitsWith4OrWaitsForTheFirst)
{
    PrivateBus bus;
    FakeLogind logind(bus);
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", bus.address().toUtf8());
    TempDir app, tree;
    tree.write("origine/a.txt", "a");
    StoreProject(app.path(), "Verrou",
        {SampleAction(0, "*.*", tree("origine"), tree.mkdir("destination"), false)});
    const QStringList run {"--app-dir", app.path(), "run", "Verrou"};
    auto first = std::make_unique<RunLock>(app.path(), "Verrou");
    ASSERT_EQ(first->tryLock(), RunLock::Result::Taken);
    EXPECT_EQ(RunCli(run).exitCode, 4);
    EXPECT_FALSE(QFile::exists(app("Verrou.log")));

    QProcess cancelled, waiting;
    for (QProcess *p : {&cancelled, &waiting})
        StartCli(*p, run + QStringList {"--wait"});
    EXPECT_FALSE(cancelled.waitForFinished(700));
    ::kill(pid_t(cancelled.processId()), SIGTERM);
    EXPECT_EQ(FinishCli(cancelled).exitCode, 130);
    EXPECT_FALSE(QFile::exists(tree("destination/a.txt")));
    first.reset();
    EXPECT_EQ(FinishCli(waiting).exitCode, 0);
    EXPECT_TRUE(QFile::exists(tree("destination/a.txt")));
    EXPECT_EQ(logind.calls().size(), 1u);
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
    const QStringList schedule {"--app-dir", app.path(), "schedule", "Été \"100%\" $HOME/-\\x"};
    const QDate tomorrow = QDate::currentDate().addDays(1);
    for (const QStringList &when :
        {QStringList {"--daily", "07:30"}, {"--at", tomorrow.toString("dd.MM.yyyy") + " 07:30"}}) {
        ASSERT_EQ(RunCli(schedule + when).exitCode, 0);
        const QStringList files = QDir(units).entryList(QDir::Files);
        QProcess verify;
        verify.setWorkingDirectory(units);
        verify.start("systemd-analyze", QStringList {"verify", "--user"} + files);
        ASSERT_TRUE(verify.waitForFinished(30000)) << "systemd-analyze is missing";
        EXPECT_EQ(verify.exitCode(), 0) << verify.readAllStandardError().toStdString();
        EXPECT_TRUE(ReadText(units + files.filter(".timer").value(0)).contains("Persistent=true"));
        EXPECT_TRUE(ReadText(units + files.filter(".service").value(0)).contains(app.path()));
    }
    EXPECT_TRUE(ReadText(units + QDir(units).entryList({"*.timer"}).value(0))
                    .contains(tomorrow.toString("yyyy-MM-dd")));

    EXPECT_EQ(RunCli(schedule + QStringList {"--remove"}).exitCode, 0);
    EXPECT_TRUE(QDir(units).entryList(QDir::Files).isEmpty());
    for (const QStringList &when : {QStringList {"--remove"}, {"--daily", "25:00"},
             {"--at", "31.02.2030 10:00"}, {"--at", "01.01.2000 10:00"}})
        EXPECT_EQ(RunCli(schedule + when).exitCode, 3) << when.size();
    qunsetenv("XDG_CONFIG_HOME");
    qunsetenv("XDG_RUNTIME_DIR");
}
