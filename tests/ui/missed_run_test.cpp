#include "main_window_driver.h"

#include <QTest>

// A one-time run that fell due while the program was closed waits for the answer at the
// watcher's first tick: "Non" switches the schedule off, "Oui" runs it as the watcher would.
class MissedRunTest : public QObject {
    Q_OBJECT

private slots:
    void aMissedOneTimeRunWaitsForTheAnswer()
    {
        for (const QMessageBox::StandardButton answer : {QMessageBox::No, QMessageBox::Yes}) {
            TempDir dir;
            addProject(dir, "Sauvegarde", {"*.a"});
            SaveSchedule(dir.path(), {"Sauvegarde", "06.12.2026", "08:30", false, true});
            ScriptedPrompter prompter;
            prompter.answers.enqueue(answer);
            ScriptedRun run;
            run.released = true;
            frm_main w(prompter, run.function(), OpenWithDesktop,
                [] { return QDateTime(QDate(2026, 12, 7), QTime(7, 0)); });
            QVERIFY(w.Form_Load(dir.path()));
            w.tmr_sch_Timer();
            QVERIFY(QTest::qWaitFor([] { return !runWindow(); }, 5000));
            QCOMPARE(prompter.said().size(), 1);
            QCOMPARE(run.runs.load(), int(answer == QMessageBox::Yes));
            QCOMPARE(run.lastRequest().mode == RunMode::Scheduler, answer == QMessageBox::Yes);
            QVERIFY(!LoadSchedule(dir.path()).SchEnabled);
        }
    }
};

QTEST_MAIN(MissedRunTest)
#include "missed_run_test.moc"
