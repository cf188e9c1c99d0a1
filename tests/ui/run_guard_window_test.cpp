#include "main_window_driver.h"
#include "private_bus.h"
#include "run_lock.h"
#include "scripted_prompter.h"
#include "scripted_run.h"
#include "temp_dir.h"

#include <QTest>

// The window's runs take the project's run lock and logind's sleep lock, from the start of the
// run to its end, like tandrel-cli's.
class RunGuardWindowTest : public QObject {
    Q_OBJECT

private slots:
    void aRunHoldsTheProjectAndKeepsTheMachineAwake();
};

void RunGuardWindowTest::aRunHoldsTheProjectAndKeepsTheMachineAwake()
{
    PrivateBus bus;
    FakeLogind logind(bus);
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", bus.address().toUtf8());
    TempDir dir;
    addProject(dir, QStringLiteral("Avec"), {"*.a"});
    ScriptedPrompter prompter;
    ScriptedRun run;
    frm_main w(prompter, run.function());
    QVERIFY(w.Form_Load(dir.path()));
    choose(w, 1);

    // tandrel-cli is running the project: the window says so and does not run it.
    auto other = std::make_unique<RunLock>(dir.path(), QStringLiteral("Avec"));
    QCOMPARE(other->tryLock(), RunLock::Result::Taken);
    w.mnu_simulate_Click();
    const QString refusal = prompter.said().value(1);
    QCOMPARE(refusal.section(u'|', 0, 0), QStringLiteral("Erreur"));
    QVERIFY(refusal.contains(QStringLiteral("« Avec » est déjà en cours")));
    QTest::qWait(300);
    QVERIFY(!runWindow());
    QCOMPARE(run.runs.load(), 0);
    QVERIFY(logind.calls().empty());
    other.reset();

    w.mnu_simulate_Click();
    QTRY_VERIFY(run.started);
    other = std::make_unique<RunLock>(dir.path(), QStringLiteral("Avec"));
    QCOMPARE(other->tryLock(), RunLock::Result::Busy);
    QCOMPARE(logind.calls().size(), std::size_t(1));
    QVERIFY(!logind.released(std::chrono::milliseconds(0)));
    run.released = true;
    QTRY_VERIFY(runWindow() && runWindow()->isFinished());
    // Released at the run's end, while its window still shows the report.
    QCOMPARE(other->tryLock(), RunLock::Result::Taken);
    QVERIFY(logind.released(std::chrono::milliseconds(2000)));
}

QTEST_MAIN(RunGuardWindowTest)
#include "run_guard_window_test.moc"
