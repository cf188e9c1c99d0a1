#include "app_options.h"
#include "autostart_entry.h"
#include "foreign_database.h"
#include "frm_main.h"
#include "scripted_prompter.h"
#include "startup.h"
#include "temp_dir.h"

#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QTest>

class StartupTest : public QObject {
    Q_OBJECT

private slots:
    void aSecondInstanceOnTheSameFolderIsTurnedAway();
    void aReadOnlyProgramFolderFallsBackToThePerUserFolder();
    void noUsableFolderIsAStartupError();
    void aForeignDatabaseIsAStartupError();
    void theSessionStartsTheWindowMinimised();
};

void StartupTest::aSecondInstanceOnTheSameFolderIsTurnedAway()
{
    TempDir dir;
    ScriptedPrompter prompter;
    Startup first = StartTandrel(prompter, dir.path(), QString());
    QVERIFY(first.window && QFile::exists(dir("Tandrel.mdb")));

    Startup second = StartTandrel(prompter, dir.path(), QString());
    QVERIFY(!second.window);
    QCOMPARE(second.exitCode, 1);
    QCOMPARE(prompter.shown.size(), 1);
    QVERIFY(prompter.shown[0].text.contains(QStringLiteral("déjà ouvert")));

    // Once the first has ended, the folder is free again.
    first = Startup();
    Startup third = StartTandrel(prompter, dir.path(), QString());
    QVERIFY(third.window);
    QCOMPARE(prompter.shown.size(), 1);
}

void StartupTest::aReadOnlyProgramFolderFallsBackToThePerUserFolder()
{
    TempDir dir;
    ScriptedPrompter prompter;
    const QString perUser = dir("données/Tandrel");
    Startup startup = StartTandrel(prompter, dir("absent"), perUser);
    QVERIFY(startup.window);
    QVERIFY(QFile::exists(perUser + QStringLiteral("/Tandrel.mdb")));
    QVERIFY(prompter.shown.isEmpty());
}

void StartupTest::noUsableFolderIsAStartupError()
{
    TempDir dir;
    dir.write(QStringLiteral("fichier"));
    ScriptedPrompter prompter;
    Startup startup = StartTandrel(prompter, dir("absent"), dir("fichier/Tandrel"));
    QVERIFY(!startup.window);
    QCOMPARE(startup.exitCode, 1);
    QCOMPARE(prompter.shown.size(), 1);
    QVERIFY(prompter.shown[0].text.startsWith(QStringLiteral("Erreur: 75\nDescription: ")));
}

void StartupTest::aForeignDatabaseIsAStartupError()
{
    TempDir dir;
    WriteForeignDatabase(dir("Tandrel.mdb"));
    const QByteArray before = readFile(dir("Tandrel.mdb"));
    ScriptedPrompter prompter;
    Startup startup = StartTandrel(prompter, dir.path(), QString());
    QVERIFY(!startup.window);
    QCOMPARE(startup.exitCode, 1);
    QCOMPARE(prompter.shown.size(), 1);
    QVERIFY(prompter.shown[0].text.startsWith(QStringLiteral("Erreur: ")));
    QCOMPARE(readFile(dir("Tandrel.mdb")), before); // left untouched
    // The failed start leaves the folder free for the next one.
    QLockFile lock(dir("Tandrel.lock"));
    QVERIFY(lock.tryLock(0));
}

// The command line of the autostart entry, as the session splits it, starts the window
// minimised; a start from the menu (no argument) shows it as usual.
void StartupTest::theSessionStartsTheWindowMinimised()
{
    TempDir dir;
    const QString entry = dir("autostart/tandrel.desktop");
    QCOMPARE(WriteAutostart(entry, dir("mon programme/tandrel")), QString());
    QStringList command;
    for (const QString &line : QString::fromUtf8(readFile(entry)).split('\n')) {
        if (line.startsWith(QStringLiteral("Exec=")))
            command = QProcess::splitCommand(line.mid(5));
    }
    QCOMPARE(command.value(0), dir("mon programme/tandrel"));

    ScriptedPrompter prompter;
    Startup session = StartTandrel(prompter, dir.mkdir("session"), QString());
    ShowMainWindow(*session.window, ParseAppOptions(command));
    QVERIFY(session.window->isMinimized());

    Startup menu = StartTandrel(prompter, dir.mkdir("menu"), QString());
    ShowMainWindow(*menu.window, ParseAppOptions({dir("tandrel")}));
    QVERIFY(menu.window->isVisible());
    QVERIFY(!menu.window->isMinimized());
}

QTEST_MAIN(StartupTest)
#include "startup_test.moc"
