#include "cli_process.h"
#include "temp_dir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Of two projects of the same name the first one stored runs. A simulation copies nothing; a
// run prints its report (the engine's own, proven with the engine) and copies; --quiet prints
// nothing; --show-all lists unchanged files.
TEST(CliRun, CopiesATreePrintsTheReportAndAppendsItToTheReportFile)
{
    TempDir app, tree;
    tree.write("origine/Lettre.TXT", "lettre");
    tree.write("origine/sous/dossier/note.txt", "une note");
    tree.write("origine/sous/image.png", "png");
    StoreProject(app.path(), "Même nom",
        {MakeAction(tree("origine"), tree.mkdir("destination"), "*.txt", true)});
    StoreProject(
        app.path(), "Même nom", {MakeAction(tree("origine"), tree.mkdir("autre"), "*.*", true)});
    const QStringList run {"--app-dir", app.path(), "run"};

    CliResult result = RunCli(run + QStringList {"--simulate", "Même nom"});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_TRUE(result.out.contains("sous/dossier/note.txt - (copié)"));
    EXPECT_FALSE(QFile::exists(tree("destination/Lettre.TXT")));

    result = RunCli(run + QStringList {"Même nom"});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    // Progress is for a terminal only; nothing else went to standard error.
    EXPECT_TRUE(result.err.isEmpty()) << result.err.toStdString();
    // What it prints is what it appends to the report file, but the line naming that file.
    EXPECT_TRUE(ReadText(app("Même nom.log"))
                    .replace("\r\n", "\n")
                    .endsWith(result.out.section('\n', 0, -3) + '\n'))
        << result.out.toStdString();
    EXPECT_TRUE(result.out.section('\n', 1, 1).endsWith(" (Projet : Même nom)"));
    EXPECT_EQ(ReadText(tree("destination/Lettre.TXT")), "lettre");
    EXPECT_EQ(ReadText(tree("destination/sous/dossier/note.txt")), "une note");
    EXPECT_FALSE(QFile::exists(tree("destination/sous/image.png")));
    EXPECT_TRUE(QDir(tree("autre")).isEmpty());

    result = RunCli(run + QStringList {"--quiet", "Même nom"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_TRUE(result.out.isEmpty()) << result.out.toStdString();
    EXPECT_EQ(ReadText(app("Même nom.log")).count("Départ: "), 3); // saved all the same

    result = RunCli(run + QStringList {"--show-all", "Même nom"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_TRUE(result.out.contains("     lettre.txt - (Pas de modification)"));
}

// A copy error exits with 1 and names the report file on standard error; a fatal error exits
// with 2.
TEST(CliRun, ACopyErrorExitsWith1AndAFatalErrorWith2)
{
    TempDir app, tree;
    for (const char *name : {"a", "b", "c"})
        tree.write(QStringLiteral("origine/%1.txt").arg(name), QByteArray("nouveau ") + name);
    const QString locked = tree.write("destination/b.txt", "ancien");
    // No write bit at all: refused even when the tests run as root.
    ASSERT_EQ(::chmod(QFile::encodeName(locked).constData(), 0444), 0);
    StoreProject(
        app.path(), "Copie", {MakeAction(tree("origine"), tree("destination"), "*.txt", false)});

    CliResult result = RunCli({"--app-dir", app.path(), "run", "Copie"});
    EXPECT_EQ(result.exitCode, 1) << result.out.toStdString();
    EXPECT_TRUE(result.err.contains("Copie.log")) << result.err.toStdString();
    EXPECT_EQ(ReadText(locked), "ancien");

    // A project name too long for a file name: its report file cannot be written.
    const QString name(300, u'p');
    StoreProject(app.path(), name, {MakeAction(tree("origine"), tree.mkdir("d2"), "*.txt", false)});
    result = RunCli({"--app-dir", app.path(), "run", name});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_FALSE(result.err.isEmpty());
    // The failed save comes after the closing block; the fatal block ends the report.
    EXPECT_TRUE(result.out.endsWith("     rapport sauvé dans le fichier : " + name + ".log\n"));
}

// Either signal mid-run ends the report with the cancellation block, on screen and in the file,
// and exits with 130.
TEST(CliRun, SigtermOrSigintCancelsTheRunWithTheCancellationBlockAndExit130)
{
    TempDir app, tree;
    // Long names make the report far larger than a pipe holds: while the test does not read,
    // the run stops in the middle of its file lines, so the signal always comes mid-run.
    const QString longName = QString(200, u'n');
    const int files = 800;
    for (int i = 0; i < files; ++i)
        tree.write(QStringLiteral("origine/%1%2.dat").arg(longName).arg(i, 4, 10, QChar(u'0')));
    StoreProject(app.path(), "Longue",
        {MakeAction(tree("origine"), tree.mkdir("destination"), "*.dat", true)});
    const QString cancelLine
        = QStringLiteral("          Synchronisation annulée par l'utilisateur!");

    for (const int signal : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signal == SIGTERM ? "SIGTERM" : "SIGINT");
        // Each round starts from an empty destination, so that every file has its line.
        QDir(tree("destination")).removeRecursively();
        tree.mkdir("destination");
        QStringList arguments {"--app-dir", app.path(), "run", "Longue"};
        if (signal == SIGINT)
            arguments.insert(2, "--simulate");
        QProcess cli;
        cli.setStandardErrorFile(QProcess::nullDevice());
        StartCli(cli, arguments);
        QByteArray seen;
        while (!seen.contains(" - (copi") && cli.waitForReadyRead(30000))
            seen += cli.readAllStandardOutput();
        ASSERT_TRUE(seen.contains(" - (copi")) << seen.toStdString();
        ::usleep(100 * 1000); // let the pipe fill up
        ASSERT_EQ(::kill(pid_t(cli.processId()), signal), 0);
        ASSERT_TRUE(cli.waitForFinished(60000));
        EXPECT_EQ(cli.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(cli.exitCode(), 130);

        const QString out = QString::fromUtf8(seen + cli.readAllStandardOutput());
        EXPECT_TRUE(out.contains(cancelLine + "\n"));
        EXPECT_FALSE(out.contains("Total copié"));
        EXPECT_GT(out.count(" - (copié)"), 0);
        EXPECT_LT(out.count(" - (copié)"), files);
    }
    EXPECT_EQ(ReadText(app("Longue.log")).count(cancelLine + "\r\n"), 2);
}

} // namespace
