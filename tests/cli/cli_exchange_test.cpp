#include "cli_process.h"
#include "project_db.h"
#include "temp_dir.h"

#include <QFile>

#include <gtest/gtest.h>

// Export, then import over a project of the same name in another case (only with --replace,
// which belongs to import); what is refused exits with 3.
TEST(CliExchange, ExportsAndImportsProjectFiles)
{
    TempDir app, files;
    StoreProject(app.path(), "Été", {SampleAction(0, "*.txt", "/a", "/b", true)});
    const QString file = files("Été.TDRL");
    const QStringList cli {"--app-dir", app.path()};

    CliResult result = RunCli(cli + QStringList {"export", "Été", file});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_TRUE(ReadText(file).contains("TemplateName=Été\r\n"));
    files.write("Été.TDRL", "[Main]\nTemplateName=ÉTÉ\nActions=1\n[Action1]\nFileFilter=*.doc\n");

    for (const QStringList &refused : {QStringList {"export", "--replace", "Été", file},
             QStringList {"import", file}}) { // a project of that name exists
        result = RunCli(cli + refused);
        EXPECT_EQ(result.exitCode, 3) << refused.join(' ').toStdString();
        EXPECT_FALSE(result.err.isEmpty());
    }

    result = RunCli(cli + QStringList {"import", "--replace", file});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_TRUE(result.out.contains("Nom : ÉTÉ, actions#: 1"));
    const std::vector<Action> actions = ProjectDb(app("Tandrel.mdb")).allActionsByFilter();
    ASSERT_EQ(actions.size(), 1u); // the old project's action went with it
    EXPECT_EQ(actions.front().fileFilter, "*.doc");
}

// Without a project name on the command line, run takes it from TDRL_Exe.ini and saves the
// report only when the file says so.
TEST(CliExchange, RunsTheProjectOfTheCompanionFileAndSavesItsReportOnlyWhenAsked)
{
    TempDir app, tree;
    tree.write("origine/a.txt", "a");
    tree.mkdir("copie");
    StoreProject(
        app.path(), "Lettres", {SampleAction(0, "*.*", tree("origine"), tree("copie"), true)});

    EXPECT_EQ(RunCli({"--app-dir", app.path(), "run"}).exitCode, 3); // no companion file
    app.write("TDRL_Exe.ini", "[AutoRunTemplate]\nName=Lettres\nShowReport=NON\n");
    CliResult result = RunCli({"--app-dir", app.path(), "run"});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(ReadText(tree("copie/a.txt")), "a");
    EXPECT_FALSE(QFile::exists(app("Lettres.log")));

    app.write("TDRL_Exe.ini", "[AutoRunTemplate]\nName=Lettres\nShowReport=oui\n");
    result = RunCli({"--app-dir", app.path(), "run"});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_TRUE(QFile::exists(app("Lettres.log")));
}
