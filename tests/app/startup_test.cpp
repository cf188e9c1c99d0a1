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
    void unusableFoldersAndForeignDatabases();
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

// A program folder that cannot be used falls back to the per-user folder; when neither can,
// or the database there is not Tandrel's, the start fails with one error box, leaving the
// folder free for the next start.
void StartupTest::unusableFoldersAndForeignDatabases()
{
    TempDir dir;
    dir.write(QStringLiteral("fichier"));
    WriteForeignDatabase(dir.mkdir(QStringLiteral("etrangere")) + QStringLiteral("/Tandrel.mdb"));
    const struct {
        QString appDir, perUser;
        bool starts;
    } cases[] = {
        {dir("absent"), dir("données/Tandrel"), true},
        {dir("absent"), dir("fichier/Tandrel"), false},
        {dir("etrangere"), QString(), false},
    };
    ScriptedPrompter prompter;
    std::vector<Startup> started; // kept: a failed start must not hold the folder meanwhile
    for (const auto &c : cases) {
        const qsizetype boxes = prompter.shown.size();
        started.push_back(StartTandrel(prompter, c.appDir, c.perUser));
        QCOMPARE(bool(started.back().window), c.starts);
        QCOMPARE(prompter.shown.size() - boxes, c.starts ? 0 : 1);
        if (c.starts)
            QVERIFY(QFile::exists(c.perUser + QStringLiteral("/Tandrel.mdb")));
        else
            QCOMPARE(started.back().exitCode, 1);
    }
    QLockFile lock(dir("etrangere/Tandrel.lock"));
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
