#include "cli_process.h"
#include "project_db.h"
#include "temp_dir.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

TEST(CliCommandLine, UsageErrorsExitWith3AndSayWhatIsWrongInFrench)
{
    TempDir app;
    const QString appDir = app.path();
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
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const CliResult result = RunCli(c.arguments);
        EXPECT_FALSE(result.crashed);
        EXPECT_EQ(result.exitCode, 3);
        EXPECT_TRUE(result.out.isEmpty()) << result.out.toStdString();
        EXPECT_TRUE(result.err.contains(c.says)) << result.err.toStdString();
    }
    // None of these refusals touched the application folder.
    EXPECT_FALSE(QFile::exists(app("Tandrel.mdb")));

    // "--" ends the options: a project named like an option is just an unknown project.
    const CliResult dashed = RunCli({"--app-dir", appDir, "run", "--", "--quiet"});
    EXPECT_EQ(dashed.exitCode, 3);
    EXPECT_TRUE(dashed.err.contains("projet inconnu : « --quiet »")) << dashed.err.toStdString();
}

TEST(CliCommandLine, HelpExplainsCommandsOptionsAndExitCodesInFrench)
{
    for (const QString &flag : {QStringLiteral("--help"), QStringLiteral("-h")}) {
        const CliResult result = RunCli({flag});
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_TRUE(result.err.isEmpty());
        for (const char *expected :
            {"Utilisation :", "run [--simulate] [--show-all] [--quiet] PROJET", "list",
                "--app-dir DOSSIER", "Simulation", "sans modification", "Codes de sortie",
                "130  synchronisation annulée", "sortie d'erreur"}) {
            EXPECT_TRUE(result.out.contains(QString::fromUtf8(expected))) << expected;
        }
        // No line of Qt's English help slipped in.
        EXPECT_FALSE(result.out.contains("Usage:"));
        EXPECT_FALSE(result.out.contains("Displays"));
    }
}

TEST(CliRunRefusal, UnknownProjectEmptyProjectOrUnreadableDatabaseExitWith3BeforeAnyRun)
{
    TempDir app;
    const QString appDir = app.path();
    const QString database = app("Tandrel.mdb");

    // A missing database is created empty, like the window does; the project is then unknown.
    CliResult result = RunCli({"--app-dir", appDir, "run", "Sauvegarde"});
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_TRUE(result.err.contains("projet inconnu : « Sauvegarde »")) << result.err.toStdString();
    EXPECT_TRUE(QFile::exists(database));

    ProjectDb(database).addProject("Vide", "sans action");
    StoreProject(appDir, "Sauvegarde", {MakeAction("/a", "/b", "*.*", false)});
    // The name is exact: neither another case nor extra blanks find the project.
    for (const QString &name :
        {QStringLiteral("sauvegarde"), QStringLiteral("Sauvegarde "), QStringLiteral("Sauve")}) {
        result = RunCli({"--app-dir", appDir, "run", name});
        EXPECT_EQ(result.exitCode, 3) << name.toStdString();
        EXPECT_TRUE(result.err.contains("projet inconnu : « " + name + " »"));
    }
    result = RunCli({"--app-dir", appDir, "run", "--simulate", "Vide"});
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_TRUE(result.err.contains("le projet « Vide » n'a aucune action"))
        << result.err.toStdString();
    EXPECT_TRUE(result.out.isEmpty());
    // Refused before the run: no report was started.
    EXPECT_FALSE(QFile::exists(app("Vide.log")));

    // A file that is not a project database is refused and left as it was.
    TempDir other;
    const QByteArray notADatabase = "ceci n'est pas une base de données\n";
    other.write("Tandrel.mdb", notADatabase);
    for (const QStringList &command : {QStringList {"list"}, QStringList {"run", "Sauvegarde"}}) {
        result = RunCli(QStringList {"--app-dir", other.path()} + command);
        EXPECT_EQ(result.exitCode, 3);
        EXPECT_TRUE(result.err.contains("impossible d'ouvrir la base de projets"))
            << result.err.toStdString();
        EXPECT_TRUE(result.err.contains("Erreur: "));
    }
    EXPECT_EQ(ReadText(other("Tandrel.mdb")), QString::fromUtf8(notADatabase));
}

TEST(CliList, ShowsProjectsInNameOrderEachWithItsActionsAsStored)
{
    TempDir app;
    {
        ProjectDb db(app("Tandrel.mdb"));
        // Added out of order; "été" sorts between "beta" and "zèbre" for a French reader.
        const qint64 zebre = db.addProject("zèbre", "");
        const qint64 alpha = db.addProject("Alpha", "mes documents");
        db.addProject("été", "");
        const qint64 beta = db.addProject("beta", "");
        db.addAction(MakeAction("/home/moi/Documents", "/media/clé/Documents", "*.*", true, alpha));
        Action second = MakeAction("/srv/photos", "/mnt/photos", "*.jpg;*.png", false, alpha);
        second.enabled = "NON";
        second.fileSize = ">";
        second.fileDate = "";
        second.op = "AND";
        second.description = "";
        db.addAction(second);
        db.addAction(MakeAction("/z/from", "/z/to", "*.txt", false, zebre));
        db.addAction(MakeAction("/b/from", "/b/to", "*.doc", true, beta));
    }

    const CliResult result = RunCli({"--app-dir", app.path(), "list"});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_TRUE(result.err.isEmpty());
    const QString expected = QStringLiteral(
        "Alpha    (mes documents)\n"
        "    *.*  /home/moi/Documents → /media/clé/Documents\n"
        "        sous-dossiers : OUI, activée : OUI, taille : <>, date : >, opérateur : OR\n"
        "        description : test\n"
        "    *.jpg;*.png  /srv/photos → /mnt/photos\n"
        "        sous-dossiers : NON, activée : NON, taille : >, date : (vide), opérateur : AND\n"
        "beta\n"
        "    *.doc  /b/from → /b/to\n"
        "        sous-dossiers : OUI, activée : OUI, taille : <>, date : >, opérateur : OR\n"
        "        description : test\n"
        "été\n"
        "    (aucune action)\n"
        "zèbre\n"
        "    *.txt  /z/from → /z/to\n"
        "        sous-dossiers : NON, activée : OUI, taille : <>, date : >, opérateur : OR\n"
        "        description : test\n");
    EXPECT_EQ(result.out.toStdString(), expected.toStdString());

    // An empty database lists nothing and is not an error.
    TempDir empty;
    const CliResult none = RunCli({"--app-dir", empty.path(), "list"});
    EXPECT_EQ(none.exitCode, 0);
    EXPECT_EQ(none.out, "");
}

} // namespace
