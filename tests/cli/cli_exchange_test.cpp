#include "cli_process.h"
#include "project_db.h"
#include "temp_dir.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

TEST(CliExchange, ExportsAndImportsProjectFiles)
{
    TempDir app, files;
    StoreProject(app.path(), "Été", {MakeAction("/a", "/b", "*.txt", true)});
    const QString file = files("Été.TDRL");

    CliResult result = RunCli({"--app-dir", app.path(), "export", "Été", file});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_TRUE(result.out.contains("Projet exporté avec succès vers : " + file));
    EXPECT_TRUE(result.out.contains("Nom : Été, actions#: 1"));

    // Refused: unknown project (exact name), bad file name, a file that cannot be written.
    EXPECT_EQ(RunCli({"--app-dir", app.path(), "export", "été", file}).exitCode, 3);
    result = RunCli({"--app-dir", app.path(), "export", "Été", files("x.tdrl")});
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_TRUE(result.err.contains("Erreur dans le nom du fichier projet!"));
    EXPECT_FALSE(QFile::exists(files("x.tdrl")));
    result = RunCli({"--app-dir", app.path(), "export", "Été", files("absent/x.TDRL")});
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_TRUE(result.err.contains("Impossible d'écrire le fichier " + files("absent/x.TDRL")));

    // The same name, in another case, is refused without --replace.
    QString text = ReadText(file);
    ASSERT_TRUE(text.contains("TemplateName=Été\r\n"));
    ASSERT_TRUE(text.contains("FileFilter=*.txt\r\n"));
    text.replace("TemplateName=Été", "TemplateName=ÉTÉ")
        .replace("FileFilter=*.txt", "FileFilter=*.doc");
    files.write("Été.TDRL", text.toUtf8());
    result = RunCli({"--app-dir", app.path(), "import", file});
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_TRUE(result.err.contains("Projet de même nom : ÉTÉ déjà existant!"));
    result = RunCli({"--app-dir", app.path(), "import", "--replace", file});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_TRUE(result.out.contains("Nom : ÉTÉ, actions#: 1"));
    {
        const ProjectDb db(app("Tandrel.mdb"));
        const std::vector<Project> projects = db.projectsByName();
        ASSERT_EQ(projects.size(), 1u);
        EXPECT_EQ(projects.front().name, "ÉTÉ");
        const std::vector<Action> actions = db.actionsOf(projects.front().templateNo);
        ASSERT_EQ(actions.size(), 1u);
        EXPECT_EQ(actions.front().fileFilter, "*.doc");
        EXPECT_EQ(db.allActionsByFilter().size(), 1u); // the old project's action went too
    }

    result = RunCli({"--app-dir", app.path(), "import", files("absent.TDRL")});
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_TRUE(result.err.contains("Ne peut ouvrir le fichier : " + files("absent.TDRL")));
    files.write("p.TDRl", "[Main]\nTemplateName=P\n");
    result = RunCli({"--app-dir", app.path(), "import", files("p.TDRl")});
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_TRUE(result.err.contains("Erreur dans le nom du projet!"));
    // A file without a name creates nothing; --replace belongs to import only.
    result = RunCli({"--app-dir", app.path(), "import", files.write("n.TDRL", "[Main]\n")});
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_TRUE(result.err.contains("ne contient pas de nom de projet"));
    EXPECT_EQ(ProjectDb(app("Tandrel.mdb")).projectsByName().size(), 1u);
    EXPECT_EQ(RunCli({"--app-dir", app.path(), "export", "--replace", "ÉTÉ", file}).exitCode, 3);
}

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

} // namespace
