#include "cli_process.h"
#include "project_db.h"
#include "temp_dir.h"

#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <csignal>

namespace {

// Export, then import over a project of the same name in another case (only with --replace,
// which belongs to import); what the exchange layer refuses exits with 3.
TEST(CliExchange, ExportsAndImportsProjectFiles)
{
    TempDir app, files;
    StoreProject(app.path(), "Été", {MakeAction("/a", "/b", "*.txt", true)});
    const QString file = files("Été.TDRL");
    const QStringList cli {"--app-dir", app.path()};

    CliResult result = RunCli(cli + QStringList {"export", "Été", file});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_TRUE(result.out.contains("Projet exporté avec succès vers : " + file));
    EXPECT_TRUE(result.out.contains("Nom : Été, actions#: 1"));
    QString text = ReadText(file);
    ASSERT_TRUE(text.contains("TemplateName=Été\r\n"));
    ASSERT_TRUE(text.contains("FileFilter=*.txt\r\n"));
    files.write("Été.TDRL",
        text.replace("TemplateName=Été", "TemplateName=ÉTÉ")
            .replace("FileFilter=*.txt", "FileFilter=*.doc")
            .toUtf8());

    const struct {
        QStringList arguments;
        QString says;
    } refusals[] = {
        {{"export", "été", file}, "projet inconnu : « été »"}, // the name is exact
        {{"export", "Été", files("x.tdrl")}, "Erreur dans le nom du fichier projet!"},
        {{"export", "--replace", "Été", file}, "« --replace » ne s'applique qu'à"},
        {{"import", file}, "Projet de même nom : ÉTÉ déjà existant!"},
        {{"import", files("absent.TDRL")}, files("absent.TDRL")},
    };
    for (const auto &r : refusals) {
        result = RunCli(cli + r.arguments);
        EXPECT_EQ(result.exitCode, 3) << r.arguments.join(' ').toStdString();
        EXPECT_TRUE(result.err.contains(r.says)) << result.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(files("x.tdrl")));

    result = RunCli(cli + QStringList {"import", "--replace", file});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_TRUE(result.out.contains("Nom : ÉTÉ, actions#: 1"));
    const ProjectDb db(app("Tandrel.mdb"));
    const std::vector<Project> projects = db.projectsByName();
    ASSERT_EQ(projects.size(), 1u); // nor did the refused files create any
    EXPECT_EQ(projects.front().name, "ÉTÉ");
    const std::vector<Action> actions = db.actionsOf(projects.front().templateNo);
    ASSERT_EQ(actions.size(), 1u);
    EXPECT_EQ(actions.front().fileFilter, "*.doc");
    EXPECT_EQ(db.allActionsByFilter().size(), 1u); // the old project's action went too
}

// Without a project name on the command line, run takes it from TDRL_Exe.ini and saves the
// report only when the file says so.
TEST(CliExchange, RunsTheProjectOfTheCompanionFileAndSavesItsReportOnlyWhenAsked)
{
    TempDir app, tree;
    tree.write("origine/a.txt", "a");
    tree.mkdir("copie");
    StoreProject(app.path(), "Lettres", {MakeAction(tree("origine"), tree("copie"), "*.*", true)});

    CliResult result = RunCli({"--app-dir", app.path(), "run"});
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_TRUE(result.err.contains("TDRL_Exe.ini"));

    app.write("TDRL_Exe.ini", "[AutoRunTemplate]\r\nName=\r\nShowReport=OUI\r\n");
    result = RunCli({"--app-dir", app.path(), "run"});
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_TRUE(result.err.contains("ne nomme aucun projet"));

    app.write("TDRL_Exe.ini", "[AutoRunTemplate]\r\nName=Lettres\r\nShowReport=NON\r\n");
    result = RunCli({"--app-dir", app.path(), "run"});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_TRUE(result.out.contains(" (Projet : Lettres)"));
    EXPECT_EQ(ReadText(tree("copie/a.txt")), "a");
    EXPECT_FALSE(QFile::exists(app("Lettres.log")));

    app.write("TDRL_Exe.ini", "[AutoRunTemplate]\r\nName=Lettres\r\nShowReport=oui\r\n");
    result = RunCli({"--app-dir", app.path(), "run"});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_TRUE(QFile::exists(app("Lettres.log")));
}

// Only a run turns Ctrl+C into a cancellation: an import waiting for a locked database ends at
// the first SIGINT, storing nothing.
TEST(CliExchange, TheFirstSigintEndsAnImport)
{
    TempDir app;
    StoreProject(app.path(), "Existant", {});
    const QString file = app.write("neuf.TDRL", "[Main]\nTemplateName=Neuf\n");
    sqlite3 *other = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(app("Tandrel.mdb")).constData(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    QProcess process;
    StartCli(process, {"--app-dir", app.path(), "import", file});
    ASSERT_TRUE(process.waitForStarted());
    QElapsedTimer clock;
    clock.start();
    QThread::msleep(300); // well inside the two seconds it waits for the lock
    ::kill(pid_t(process.processId()), SIGINT);
    ASSERT_TRUE(process.waitForFinished(10000));
    EXPECT_EQ(process.exitStatus(), QProcess::CrashExit);
    EXPECT_LT(clock.elapsed(), 1500);
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_EQ(ProjectDb(app("Tandrel.mdb")).projectsByName().size(), 1u);
}

} // namespace
