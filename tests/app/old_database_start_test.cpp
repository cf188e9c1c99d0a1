#include "../old_database.h"
#include "scripted_prompter.h"
#include "startup.h"
#include "temp_dir.h"

#include <QTest>

// The window program upgrades a database made before actions kept versions, without a word.
class OldDatabaseStartTest : public QObject {
    Q_OBJECT

private slots:
    void anOldDatabaseIsUpgradedAtStartUp()
    {
        TempDir dir;
        WriteOldDatabase(dir("Tandrel.mdb"));
        QVERIFY(!RunSql(dir("Tandrel.mdb"), "SELECT KeepVersions FROM Actions"));
        ScriptedPrompter prompter;
        QVERIFY(StartTandrel(prompter, dir.path(), QString()).window);
        QVERIFY(prompter.shown.isEmpty());
        QVERIFY(RunSql(dir("Tandrel.mdb"), "SELECT KeepVersions FROM Actions"));
    }
};

QTEST_MAIN(OldDatabaseStartTest)
#include "old_database_start_test.moc"
