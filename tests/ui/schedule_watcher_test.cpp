#include "main_window_driver.h"
#include "schedule_watch.h"

#include <QTest>

namespace {

// The main window with "Autre" (one action, which the tests choose) and "Sauvegarde" (two,
// which they schedule), watching this schedule.
struct Watched : OpenMainWindow {
    explicit Watched(const Schedule &schedule)
        : OpenMainWindow({{"Autre", {"*.x"}}, {"Sauvegarde", {"*.a", "*.b"}}})
    {
        SaveSchedule(dir.path(), schedule);
        window.LoadTimerSettings();
        choose(window, QStringLiteral("Autre"));
    }
    // One tick of the watcher at that moment.
    void tickAt(const QDate &day, const QTime &time)
    {
        now = QDateTime(day, time);
        window.tmr_sch_Timer();
    }
    QString chosenName() { return projectList(window)->currentText(); }
};

const QDate day1(2026, 12, 6);
const QDate day2 = day1.addDays(1);

} // namespace

// When a schedule is due is the core's; here that the window starts the run, once, and never
// beside another.
class ScheduleWatcherTest : public QObject {
    Q_OBJECT

private slots:
    void aDueScheduleRunsOnceThenSwitchesItselfOff()
    {
        Watched w({"Sauvegarde", "06.12.2026", "08:30", false, true});
        w.tickAt(day1.addDays(-1), QTime(8, 30));
        QVERIFY(!runWindow());

        // Due: the scheduled project runs, without confirmation, and stays chosen meanwhile.
        w.tickAt(day1, QTime(8, 30, 0));
        QPointer<frm_sync> window = runWindow();
        QVERIFY(window);
        QTRY_VERIFY(w.run.started);
        QCOMPARE(w.run.lastRequest().projectName, QStringLiteral("Sauvegarde"));
        QCOMPARE(w.chosenName(), QStringLiteral("Sauvegarde"));

        // It switched itself off, in the file too.
        QVERIFY(!LoadSchedule(w.dir.path()).SchEnabled);

        // The window closes by itself and the project chosen before comes back.
        w.run.released = true;
        QTRY_VERIFY(window.isNull());
        QCOMPARE(w.chosenName(), QStringLiteral("Autre"));
        QCOMPARE(w.run.runs.load(), 1);
        QVERIFY(w.prompter.said().isEmpty());

        // A schedule for a project that is gone starts nothing, not even the chosen project.
        SaveSchedule(w.dir.path(), {"Ancien nom", "07.12.2026", "09:00", false, true});
        w.window.LoadTimerSettings();
        w.tickAt(day2, QTime(9, 0));
        QVERIFY(!runWindow());
    }

    void aDueRunWaitsForTheRunGoingOrBeingConfirmed()
    {
        Watched w({"Sauvegarde", "", "08:30", true, true});

        // A simulation is going when the schedule becomes due; once it has ended, its window is
        // closed and the scheduled run starts.
        w.window.mnu_simulate_Click();
        QPointer<frm_sync> manual = runWindow();
        QTRY_VERIFY(w.run.started);
        w.tickAt(day1, QTime(8, 30));
        QCOMPARE(w.run.runs.load(), 1);
        w.run.released = true;
        QTRY_VERIFY(manual->isFinished());
        w.tickAt(day1, QTime(8, 31));
        QTRY_VERIFY(manual.isNull());
        QTRY_COMPARE(w.run.runs.load(), 2);
        QTRY_VERIFY(!runWindow());

        // The next day the user is confirming a run when it becomes due: the scheduled run waits
        // for the answer.
        bool startedDuringQuestion = true;
        w.driver.steps.enqueue([&](QDialog *question) {
            w.tickAt(day2, QTime(8, 30));
            startedDuringQuestion = runWindow() != nullptr;
            press(question, "cmd_cancel");
        });
        w.window.mnu_sync_Click();
        QVERIFY(!startedDuringQuestion);
        w.tickAt(day2, QTime(8, 30, 1));
        QTRY_COMPARE(w.run.runs.load(), 3);
        QTRY_VERIFY(!runWindow());

        // The day after it chooses its project while the action of "Autre" is being edited: the
        // editor still saves that action.
        w.driver.steps.enqueue([&](QDialog *dialog) {
            w.tickAt(day2.addDays(1), QTime(8, 30));
            fill(dialog, {{"txt_description", "modifiée"}});
        });
        w.window.mnu_editaction_Click();
        QTRY_COMPARE(w.run.runs.load(), 4);
        QTRY_VERIFY(!runWindow());
        QCOMPARE(w.db().actionsOf(w.keys[0]).at(0).description, QStringLiteral("modifiée"));

        // Nothing starts while the program ends.
        w.window.close();
        w.tickAt(day2.addDays(2), QTime(8, 30));
        QTest::qWait(20);
        QCOMPARE(w.run.runs.load(), 4);
    }

    // A one-time run that fell due while the program was closed waits for the answer at the
    // watcher's first tick: "Non" switches the schedule off, "Oui" runs it as the watcher would.
    void aMissedOneTimeRunWaitsForTheAnswer()
    {
        for (const QMessageBox::StandardButton answer : {QMessageBox::No, QMessageBox::Yes}) {
            Watched w({"Sauvegarde", "06.12.2026", "08:30", false, true});
            w.run.released = true;
            w.prompter.answers.enqueue(answer);
            w.tickAt(day2, QTime(7, 0));
            QVERIFY(QTest::qWaitFor([] { return !runWindow(); }, 5000));
            QCOMPARE(w.prompter.said().size(), 1);
            QCOMPARE(w.run.runs.load(), int(answer == QMessageBox::Yes));
            QCOMPARE(w.run.lastRequest().mode == RunMode::Scheduler, answer == QMessageBox::Yes);
            QVERIFY(!LoadSchedule(w.dir.path()).SchEnabled);
        }
    }
};

QTEST_MAIN(ScheduleWatcherTest)
#include "schedule_watcher_test.moc"
