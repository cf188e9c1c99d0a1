#include "cli_process.h"
#include "foreign_database.h"
#include "temp_dir.h"

#include <QFile>

#include <gtest/gtest.h>

// Refusals exit with 3 before any run (no report is started), print nothing and say why on
// standard error: usage errors (one per kind), unknown projects (the name is exact), a project
// without actions, a file that is not a project database.
TEST(CliCommandLine, RefusalsExitWith3BeforeAnyRunAndSayWhyInFrench)
{
    TempDir app, fresh, projects, broken;
    const QString appDir = app.path();
    StoreProject(projects.path(), "Vide");
    StoreProject(projects.path(), "Sauvegarde", {SampleAction(0, "*.*", "/a", "/b", false)});
    WriteForeignDatabase(broken("Tandrel.mdb"));
    const QByteArray notADatabase = readFile(broken("Tandrel.mdb"));
    const struct {
        QStringList arguments;
        QString says;
    } cases[] = {
        {{"--app-dir", appDir}, "commande manquante"},
        {{"--app-dir", appDir, "run", "Un", "Deux"}, "argument en trop : « Deux »"},
        {{"--app-dir", appDir, "run", "--verbose", "Un"}, "option inconnue : « --verbose »"},
        {{"--app-dir", app("absent"), "list"}, "le dossier de l'application n'existe pas"},
        // A missing database is created empty, like the window does; the project is unknown.
        {{"--app-dir", fresh.path(), "run", "Sauvegarde"}, "projet inconnu : « Sauvegarde »"},
        // "--" ends the options: a project named like an option is just an unknown project.
        {{"--app-dir", fresh.path(), "run", "--", "--quiet"}, "projet inconnu : « --quiet »"},
        {{"--app-dir", projects.path(), "run", "--simulate", "Vide"},
            "le projet « Vide » n'a aucune action"},
        {{"--app-dir", broken.path(), "list"}, "impossible d'ouvrir la base de projets"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const CliResult result = RunCli(c.arguments);
        EXPECT_EQ(result.exitCode, 3);
        EXPECT_TRUE(result.out.isEmpty()) << result.out.toStdString();
        EXPECT_TRUE(result.err.contains(c.says)) << result.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(app("Tandrel.mdb")));
    EXPECT_TRUE(QFile::exists(fresh("Tandrel.mdb")));
    EXPECT_FALSE(QFile::exists(projects("Vide.log")));
    EXPECT_EQ(readFile(broken("Tandrel.mdb")), notADatabase);
}

// Each project with its actions; an empty database lists nothing, no error.
TEST(CliList, ShowsProjectsEachWithItsActions)
{
    TempDir app, empty;
    StoreProject(
        app.path(), "Alpha", {SampleAction(0, "*.jpg", "/srv/photos", "/mnt/photos", true)});
    const CliResult result = RunCli({"--app-dir", app.path(), "list"});
    EXPECT_TRUE(result.out.startsWith("Alpha\n    *.jpg  /srv/photos → /mnt/photos\n"))
        << result.out.toStdString();
    const CliResult none = RunCli({"--app-dir", empty.path(), "list"});
    EXPECT_EQ(none.exitCode + none.out.size(), 0);
}
