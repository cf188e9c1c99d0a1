#include "cli_process.h"
#include "project_db.h"
#include "temp_dir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

const QString cancelLine = QStringLiteral("          Synchronisation annulée par l'utilisateur!");

// Stores a project of one action in the application folder's database.
void storeProject(const QString &appDir, const QString &name, const Action &action)
{
    ProjectDb db(appDir + "Tandrel.mdb");
    Action stored = action;
    stored.templateNo = db.addProject(name, "");
    db.addAction(stored);
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(CliRun, CopiesATreePrintsTheReportAndAppendsItToTheReportFile)
{
    TempDir app, tree;
    tree.write("origine/Lettre.TXT", "lettre");
    tree.write("origine/sous/dossier/note.txt", "une note");
    tree.write("origine/sous/image.png", "png");
    tree.mkdir("destination");
    const QDateTime past = QDateTime::currentDateTime().addDays(-3);
    QFile note(tree("origine/sous/dossier/note.txt"));
    ASSERT_TRUE(note.open(QIODevice::ReadWrite));
    ASSERT_TRUE(note.setFileTime(past, QFileDevice::FileModificationTime));
    note.close();

    storeProject(
        app.path(), "Même nom", MakeAction(tree("origine"), tree("destination"), "*.txt", true));
    // A second project of the same name: the first one stored is the one that runs.
    storeProject(app.path(), "Même nom", MakeAction(tree("origine"), tree("autre"), "*.*", true));
    tree.mkdir("autre");

    // A simulation reports what it would copy and copies nothing.
    CliResult result = RunCli({"--app-dir", app.path(), "run", "--simulate", "Même nom"});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_TRUE(result.out.contains(" (Simulation de projet: Même nom)"));
    EXPECT_TRUE(result.out.contains("sous/dossier/note.txt - (copié)"));
    EXPECT_FALSE(QFile::exists(tree("destination/Lettre.TXT")));

    result = RunCli({"--app-dir", app.path(), "run", "Même nom"});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    // Progress is for a terminal only; nothing else went to standard error.
    EXPECT_TRUE(result.err.isEmpty()) << result.err.toStdString();
    const QStringList lines = result.out.split('\n');
    ASSERT_GE(lines.size(), 3);
    EXPECT_EQ(lines.at(0), " ");
    EXPECT_TRUE(lines.at(1).startsWith("Départ: ")) << lines.at(1).toStdString();
    EXPECT_TRUE(lines.at(1).endsWith(" (Projet : Même nom)"));
    EXPECT_TRUE(result.out.contains("     lettre.txt - (copié)"));
    EXPECT_TRUE(result.out.contains("Total copié = 2 Fichiers"));
    EXPECT_TRUE(result.out.contains("     Rapport enregistré dans le fichier : Même nom.log"));

    // Matching files copied with their content and date, the others left alone.
    EXPECT_EQ(readBytes(tree("destination/Lettre.TXT")), "lettre");
    EXPECT_EQ(readBytes(tree("destination/sous/dossier/note.txt")), "une note");
    EXPECT_EQ(
        QFileInfo(tree("destination/sous/dossier/note.txt")).lastModified().toSecsSinceEpoch(),
        past.toSecsSinceEpoch());
    EXPECT_FALSE(QFile::exists(tree("destination/sous/image.png")));
    EXPECT_TRUE(QDir(tree("autre")).isEmpty());

    // The report file holds both runs, each as printed minus the line naming the file.
    const QString report = ReadText(app("Même nom.log"));
    EXPECT_EQ(report.count("Départ: "), 2);
    EXPECT_TRUE(report.contains(lines.at(1) + "\r\n"));
    EXPECT_FALSE(report.contains("Rapport enregistré"));

    // Nothing changed: --quiet prints nothing, the report file still receives the run.
    result = RunCli({"--app-dir", app.path(), "run", "--quiet", "Même nom"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_TRUE(result.out.isEmpty()) << result.out.toStdString();
    EXPECT_EQ(ReadText(app("Même nom.log")).count("Départ: "), 3);
    EXPECT_TRUE(ReadText(app("Même nom.log"))
                    .endsWith("Total copié = 0 Fichiers\r\n"
                              "          Total copié = 0 octets\r\n"
                              " \r\n"
                              "=========================================\r\n"
                              " \r\n"));

    // --show-all also lists the unchanged files.
    result = RunCli({"--app-dir", app.path(), "run", "--show-all", "Même nom"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_TRUE(result.out.contains("     lettre.txt - (Pas de modification)"));
}

TEST(CliRun, ACopyErrorExitsWith1AfterCopyingTheOtherFiles)
{
    TempDir app, tree;
    tree.write("origine/a.txt", "nouveau a");
    tree.write("origine/b.txt", "nouveau b");
    tree.write("origine/c.txt", "nouveau c");
    const QString locked = tree.write("destination/b.txt", "ancien");
    // No write bit at all: refused even when the tests run as root.
    ASSERT_EQ(::chmod(QFile::encodeName(locked).constData(), 0444), 0);
    storeProject(
        app.path(), "Copie", MakeAction(tree("origine"), tree("destination"), "*.txt", false));

    const CliResult result = RunCli({"--app-dir", app.path(), "run", "Copie"});
    EXPECT_EQ(result.exitCode, 1) << result.out.toStdString();
    EXPECT_TRUE(result.out.contains("     >>  b.txt - (Erreur: le fichier est en lecture seule"));
    EXPECT_TRUE(result.out.contains("Des erreurs ont été rencontrées"));
    EXPECT_TRUE(result.err.contains("Copie.log")) << result.err.toStdString();
    EXPECT_EQ(readBytes(locked), "ancien");
    EXPECT_EQ(readBytes(tree("destination/a.txt")), "nouveau a");
    EXPECT_EQ(readBytes(tree("destination/c.txt")), "nouveau c");
}

TEST(CliRun, AFatalErrorExitsWith2AndIsToldOnStandardError)
{
    TempDir app, tree;
    tree.write("origine/a.txt", "a");
    tree.mkdir("destination");
    // A project name too long for a file name: its report file cannot be written.
    const QString name(300, u'p');
    storeProject(
        app.path(), name, MakeAction(tree("origine"), tree("destination"), "*.txt", false));

    const CliResult result = RunCli({"--app-dir", app.path(), "run", name});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_TRUE(result.out.contains(">> Erreur fatale rencontrée! : "));
    EXPECT_TRUE(result.err.startsWith("Erreur fatale rencontrée! : ")) << result.err.toStdString();
    // The failed save comes after the closing block; the fatal block ends the report.
    EXPECT_TRUE(result.out.endsWith("     rapport sauvé dans le fichier : " + name + ".log\n"));
}

// Starts tandrel-cli with its standard output on a pipe that the test reads itself.
struct PipedCli {
    pid_t pid = -1;
    int out = -1;

    explicit PipedCli(const QStringList &arguments)
    {
        int fds[2];
        if (::pipe(fds) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addclose(&actions, fds[1]);
        std::vector<QByteArray> storage {QByteArray(TANDREL_CLI)};
        for (const QString &argument : arguments)
            storage.push_back(argument.toUtf8());
        std::vector<char *> argv;
        for (QByteArray &bytes : storage)
            argv.push_back(bytes.data());
        argv.push_back(nullptr);
        if (posix_spawn(&pid, TANDREL_CLI, &actions, nullptr, argv.data(), environ) != 0)
            pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(fds[1]);
        out = fds[0];
    }
    ~PipedCli()
    {
        if (out >= 0)
            ::close(out);
        if (pid > 0) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
    }

    // Reads until text has been seen; false at the end of the output.
    bool readUntil(const QByteArray &text, QByteArray &seen)
    {
        char buffer[4096];
        while (!seen.contains(text)) {
            const ssize_t n = ::read(out, buffer, sizeof buffer);
            if (n <= 0)
                return false;
            seen.append(buffer, n);
        }
        return true;
    }

    // Reads to the end of the output, then waits for the exit status (-1 if killed).
    int finish(QByteArray &seen)
    {
        readUntil("\x01 never printed", seen);
        int status = 0;
        ::waitpid(pid, &status, 0);
        pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
};

TEST(CliRun, SigtermOrSigintCancelsTheRunWithTheCancellationBlockAndExit130)
{
    TempDir app, tree;
    // Long names make the report far larger than a pipe holds: while the test does not read,
    // the run stops in the middle of its file lines, so the signal always comes mid-run.
    const QString longName = QString(200, u'n');
    const int files = 800;
    for (int i = 0; i < files; ++i)
        tree.write(QStringLiteral("origine/%1%2.dat").arg(longName).arg(i, 4, 10, QChar(u'0')));
    tree.mkdir("destination");
    storeProject(
        app.path(), "Longue", MakeAction(tree("origine"), tree("destination"), "*.dat", true));

    for (const int signal : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signal == SIGTERM ? "SIGTERM" : "SIGINT");
        QStringList arguments {"--app-dir", app.path(), "run", "Longue"};
        if (signal == SIGINT)
            arguments.insert(2, "--simulate"); // the destination is full after the first round
        PipedCli cli(arguments);
        ASSERT_GT(cli.pid, 0);
        QByteArray seen;
        ASSERT_TRUE(cli.readUntil(" - (copi", seen)) << seen.toStdString();
        ::usleep(100 * 1000); // let the pipe fill up
        ASSERT_EQ(::kill(cli.pid, signal), 0);
        EXPECT_EQ(cli.finish(seen), 130);

        const QString out = QString::fromUtf8(seen);
        EXPECT_TRUE(out.contains(cancelLine + "\n"));
        EXPECT_FALSE(out.contains("Total copié"));
        EXPECT_GT(out.count(" - (copié)"), 0);
        EXPECT_LT(out.count(" - (copié)"), files);
    }
    const QString report = ReadText(app("Longue.log"));
    EXPECT_EQ(report.count(cancelLine + "\r\n"), 2);
    EXPECT_FALSE(report.contains("Total copié"));
    EXPECT_TRUE(report.endsWith("=========================================\r\n \r\n"));
}

} // namespace
