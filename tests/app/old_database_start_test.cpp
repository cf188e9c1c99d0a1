#include "../old_database.h"
#include "scripted_prompter.h"
#include "startup.h"
#include "temp_dir.h"

#include <QTest>

// The window program opens a database made before actions kept versions: upgraded in place at
// start-up, without a word.
class OldDatabaseStartTest : public QObject {
    Q_OBJECT

private slots:
    void anOldDatabaseIsUpgradedAtStartUp();
};

void OldDatabaseStartTest::anOldDatabaseIsUpgradedAtStartUp()
{
    TempDir dir;
    WriteOldDatabase(dir("Tandrel.mdb"));
    QCOMPARE(StoredKeepVersions(dir("Tandrel.mdb")), QStringLiteral("<none>"));
    ScriptedPrompter prompter;
    const Startup startup = StartTandrel(prompter, dir.path(), QString());
    QVERIFY(startup.window);
    QVERIFY(prompter.shown.isEmpty());
    QCOMPARE(StoredKeepVersions(dir("Tandrel.mdb")), QStringLiteral("NON/NON"));
}

QTEST_MAIN(OldDatabaseStartTest)
#include "old_database_start_test.moc"
