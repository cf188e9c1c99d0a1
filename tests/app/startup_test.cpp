#include "foreign_database.h"
#include "frm_main.h"
#include "scripted_prompter.h"
#include "startup.h"
#include "temp_dir.h"

#include <QFile>
#include <QLockFile>
#include <QTest>

class StartupTest : public QObject {
    Q_OBJECT

private slots:
    void aSecondInstanceOnTheSameFolderIsTurnedAway()
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

    // A start that fails (here on a database that is not Tandrel's) shows one error box and leaves
    // the folder free for the next start; which folders are usable is the core's to say.
    void aFailedStartShowsOneBoxAndFreesTheFolder()
    {
        TempDir dir;
        WriteForeignDatabase(dir("Tandrel.mdb"));
        ScriptedPrompter prompter;
        const Startup failed
            = StartTandrel(prompter, dir.path(), {}); // kept while the lock is tried
        QVERIFY(!failed.window);
        QCOMPARE(failed.exitCode, 1);
        QCOMPARE(prompter.shown.size(), 1);
        QLockFile lock(dir("Tandrel.lock"));
        QVERIFY(lock.tryLock(0));
    }
};

QTEST_MAIN(StartupTest)
#include "startup_test.moc"
