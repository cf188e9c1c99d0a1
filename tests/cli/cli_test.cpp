#include "cli_process.h"
#include "foreign_database.h"
#include "project_db.h"
#include "temp_dir.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

// Refusals exit with 3 before any run (no report is started), print nothing and say why on
// standard error: usage errors, unknown projects (the name is exact), a project without
// actions, a file that is not a project database.
TEST(CliCommandLine, RefusalsExitWith3BeforeAnyRunAndSayWhyInFrench)
{
    TempDir app, fresh, projects, broken;
    const QString appDir = app.path();
    ProjectDb(projects("Tandrel.mdb")).addProject("Vide", "sans action");
    StoreProject(projects.path(), "Sauvegarde", {MakeAction("/a", "/b", "*.*", false)});
    WriteForeignDatabase(broken("Tandrel.mdb"));
    const QByteArray notADatabase = readFile(broken("Tandrel.mdb"));
    const QString unreadable
        = "impossible d'ouvrir la base de projets " + broken("Tandrel.mdb") + "\nErreur: ";
    const struct {
        QStringList arguments;
        QString says;
    } cases[] = {
        {{"--app-dir", appDir}, "commande manquante"},
        {{"sync", "Projet"}, "commande inconnue : « sync »"},
        {{"--app-dir", appDir, "run"}, "nom du projet manquant"},
        {{"--app-dir", appDir, "run", "Un", "Deux"}, "argument en trop : « Deux »"},
        {{"--app-dir", appDir, "run", "--verbose", "Un"}, "option inconnue : « --verbose »"},
        {{"run", "Un", "--app-dir"}, "valeur manquante après « --app-dir »"},
        {{"--app-dir", appDir, "run", "--quiet=oui", "Un"}, "« --quiet » ne prend pas de valeur"},
        {{"--app-dir", appDir, "list", "--simulate"}, "« --simulate » ne s'applique qu'à"},
        {{"--app-dir", appDir, "list", "Un"}, "ne prend pas d'argument"},
        {{"--app-dir", app("absent"), "list"}, "le dossier de l'application n'existe pas"},
        // A missing database is created empty, like the window does; the project is unknown.
        {{"--app-dir", fresh.path(), "run", "Sauvegarde"}, "projet inconnu : « Sauvegarde »"},
        // "--" ends the options: a project named like an option is just an unknown project.
        {{"--app-dir", fresh.path(), "run", "--", "--quiet"}, "projet inconnu : « --quiet »"},
        {{"--app-dir", projects.path(), "run", "sauvegarde"}, "projet inconnu : « sauvegarde »"},
        {{"--app-dir", projects.path(), "run", "--simulate", "Vide"},
            "le projet « Vide » n'a aucune action"},
        {{"--app-dir", broken.path(), "list"}, unreadable},
        {{"--app-dir", broken.path(), "run", "Sauvegarde"}, unreadable},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const CliResult result = RunCli(c.arguments);
        EXPECT_FALSE(result.crashed);
        EXPECT_EQ(result.exitCode, 3);
        EXPECT_TRUE(result.out.isEmpty()) << result.out.toStdString();
        EXPECT_TRUE(result.err.contains(c.says)) << result.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(app("Tandrel.mdb")));
    EXPECT_TRUE(QFile::exists(fresh("Tandrel.mdb")));
    EXPECT_FALSE(QFile::exists(projects("Vide.log")));
    EXPECT_EQ(readFile(broken("Tandrel.mdb")), notADatabase);
}

// Projects in name order, each action with every stored field; an empty database lists nothing
// and is not an error.
TEST(CliList, ShowsProjectsInNameOrderEachWithItsActionsAsStored)
{
    TempDir app, empty;
    {
        ProjectDb db(app("Tandrel.mdb"));
        db.addProject("zèbre", "");
        const qint64 alpha = db.addProject("Alpha", "mes documents");
        // Each field its own value, so that swapped fields show; no date rule, no description.
        db.addAction({0, alpha, "", "NON", "*.jpg;*.png", "/srv/photos", "/mnt/photos", "OUI", "",
            ">", "AND"});
        db.addAction(MakeAction("/a", "/b", "*.*", false, alpha));
    }

    const CliResult result = RunCli({"--app-dir", app.path(), "list"});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_TRUE(result.err.isEmpty());
    EXPECT_EQ(result.out.toStdString(),
        "Alpha    (mes documents)\n"
        "    *.jpg;*.png  /srv/photos → /mnt/photos\n"
        "        sous-dossiers : OUI, activée : NON, taille : >, date : (vide), opérateur : AND\n"
        "    *.*  /a → /b\n"
        "        sous-dossiers : NON, activée : OUI, taille : <>, date : >, opérateur : OR\n"
        "        description : copie de *.*\n"
        "zèbre\n"
        "    (aucune action)\n");

    const CliResult none = RunCli({"--app-dir", empty.path(), "list"});
    EXPECT_EQ(none.exitCode, 0);
    EXPECT_EQ(none.out, "");
}

} // namespace
