#include "cli_process.h"
#include "temp_dir.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <csignal>
#include <unistd.h>

// Of two projects of the same name the first one stored runs; the options reach the engine.
TEST(CliRun, CopiesATreePrintsTheReportAndAppendsItToTheReportFile)
{
    TempDir app, tree;
    tree.write("origine/Lettre.TXT", "lettre");
    StoreProject(app.path(), "Même nom",
        {SampleAction(0, "*.txt", tree("origine"), tree.mkdir("destination"), true)});
    StoreProject(app.path(), "Même nom",
        {SampleAction(0, "*.*", tree("origine"), tree.mkdir("autre"), true)});
    const QStringList run {"--app-dir", app.path(), "run"};

    CliResult result = RunCli(run + QStringList {"--simulate", "Même nom"});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_FALSE(QFile::exists(tree("destination/Lettre.TXT")));

    result = RunCli(run + QStringList {"Même nom"});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    // What it prints is what it appends to the report file, but the line naming that file.
    EXPECT_TRUE(ReadText(app("Même nom.log"))
                    .replace("\r\n", "\n")
                    .endsWith(result.out.section('\n', 0, -3) + '\n'))
        << result.out.toStdString();
    EXPECT_EQ(ReadText(tree("destination/Lettre.TXT")), "lettre");
    EXPECT_TRUE(QDir(tree("autre")).isEmpty());

    // Quiet, the report is saved all the same; unchanged files are listed on request.
    EXPECT_TRUE(RunCli(run + QStringList {"--quiet", "Même nom"}).out.isEmpty());
    EXPECT_EQ(ReadText(app("Même nom.log")).count("Départ: "), 3);
    result = RunCli(run + QStringList {"--show-all", "Même nom"});
    EXPECT_TRUE(result.out.contains("     lettre.txt - (Pas de modification)"));
}

// A fatal error exits with 2: a project name too long for a file name, whose report file cannot
// be written.
TEST(CliRun, AFatalErrorExitsWith2)
{
    TempDir app, tree;
    tree.write("origine/a.txt");
    const QString name(300, u'p');
    StoreProject(app.path(), name,
        {SampleAction(0, "*.txt", tree("origine"), tree.mkdir("destination"), false)});
    const CliResult result = RunCli({"--app-dir", app.path(), "run", name});
    EXPECT_EQ(result.exitCode, 2);
    // The failed save comes after the closing block; the fatal block ends the report.
    EXPECT_TRUE(result.out.endsWith("     rapport sauvé dans le fichier : " + name + ".log\n"));
}

// Either signal mid-run ends the report (screen and file) with the cancellation block: exit 130.
TEST(CliRun, SigtermOrSigintCancelsTheRunWithTheCancellationBlockAndExit130)
{
    TempDir app, tree;
    // A report far larger than a pipe holds: unread, the run stops mid-way for the signal.
    const int files = 2400;
    for (int i = 0; i < files; ++i)
        tree.write("origine/" + QString(200, u'n') + QString::number(i) + ".dat");
    StoreProject(app.path(), "Longue",
        {SampleAction(0, "*.dat", tree("origine"), tree.mkdir("destination"), true)});
    const QString cancelLine
        = QStringLiteral("          Synchronisation annulée par l'utilisateur!");

    for (const int signal : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signal == SIGTERM ? "SIGTERM" : "SIGINT");
        const QStringList arguments {"--app-dir", app.path(), "run",
            signal == SIGINT ? "--simulate" : "--", "Longue"}; // nothing copied yet
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
        EXPECT_EQ(cli.exitStatus() == QProcess::NormalExit ? cli.exitCode() : -1, 130);

        const QString out = QString::fromUtf8(seen + cli.readAllStandardOutput());
        EXPECT_TRUE(out.contains(cancelLine + "\n"));
        EXPECT_FALSE(out.contains("Total copié"));
        EXPECT_GT(out.count(" - (copié)"), 0);
        EXPECT_LT(out.count(" - (copié)"), files);
    }
    EXPECT_EQ(ReadText(app("Longue.log")).count(cancelLine + "\r\n"), 2);
}
