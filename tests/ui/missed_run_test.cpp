#include "main_window_driver.h"
#include "scripted_prompter.h"
#include "scripted_run.h"

#include <QFile>
#include <QTest>

namespace {

const QDate day1(2026, 12, 6);

// The program started on a folder holding "Sauvegarde" and a schedule for it at 08:30, with a
// clock the test sets and runs that end at once.
class Started {
public:
    Started(const TempDir &dir, const QString &date, bool daily)
        : window(prompter, run.function(), OpenWithDesktop, [this] { return now; })
    {
        run.released = true;
        SaveSchedule(dir.path(), {"Sauvegarde", date, "08:30", daily, true});
        window.Form_Load(dir.path());
    }

    // A tick at that moment, answering a question with answer; the questions it asked.
    QStringList tickAt(
        const QDateTime &moment, QMessageBox::StandardButton answer = QMessageBox::No)
    {
        prompter.answers = QQueue<QMessageBox::StandardButton>({answer});
        now = moment;
        window.tmr_sch_Timer();
        if (!QTest::qWaitFor([] { return !runWindow(); }, 5000))
            return {"the run did not end"};
        return prompter.said();
    }

    ScriptedPrompter prompter;
    ScriptedRun run;
    QDateTime now;
    frm_main window;
};

} // namespace

class MissedRunTest : public QObject {
    Q_OBJECT

private slots:
    void aOneTimeRunMissedWhileClosedWaitsForTheAnswer()
    {
        TempDir dir;
        addProject(dir, "Sauvegarde", {"*.a", "*.b"});
        {
            Started declined(dir, "06.12.2026", false);
            const QStringList asked = declined.tickAt(QDateTime(day1, QTime(10, 0)));
            QCOMPARE(asked.size(), 1);
            QVERIFY2(asked[0].contains("« Sauvegarde »") && asked[0].contains("06.12.2026")
                    && asked[0].contains("08:30"),
                qPrintable(asked[0]));
            QCOMPARE(declined.run.runs.load(), 0);
            QVERIFY(!LoadSchedule(dir.path()).SchEnabled);
        }
        // Asleep from 08:29 to the next morning; "Oui" runs it as the watcher would.
        Started accepted(dir, "06.12.2026", false);
        QCOMPARE(accepted.tickAt(QDateTime(day1, QTime(8, 29))), QStringList());
        QCOMPARE(
            accepted.tickAt(QDateTime(day1.addDays(1), QTime(7, 0)), QMessageBox::Yes).size(), 1);
        QCOMPARE(accepted.run.runs.load(), 1);
        QCOMPARE(accepted.run.lastRequest().projectName, QStringLiteral("Sauvegarde"));
        QCOMPARE(accepted.run.lastRequest().mode, RunMode::Scheduler);
        QVERIFY(!LoadSchedule(dir.path()).SchEnabled);
    }

    void aDailyRunDeclinedOrMadeIsNotAskedAboutAgainThatDay()
    {
        TempDir dir;
        addProject(dir, "Sauvegarde", {"*.a"});
        QCOMPARE(Started(dir, {}, true).tickAt(QDateTime(day1, QTime(10, 0))).size(), 1);
        QCOMPARE(Started(dir, {}, true).tickAt(QDateTime(day1, QTime(11, 0))), QStringList());
        Started watcher(dir, {}, true);
        QCOMPARE(watcher.tickAt(QDateTime(day1.addDays(1), QTime(8, 30))), QStringList());
        QCOMPARE(watcher.run.runs.load(), 1);
        QCOMPARE(
            Started(dir, {}, true).tickAt(QDateTime(day1.addDays(1), QTime(9, 0))), QStringList());

        // A file that cannot keep the answer does not bring the question back at the next wake.
        QFile::setPermissions(dir("TDRL-timer.tmr"), QFileDevice::ReadOwner);
        QCOMPARE(watcher.tickAt(QDateTime(day1.addDays(2), QTime(10, 0))).size(), 1);
        QCOMPARE(watcher.tickAt(QDateTime(day1.addDays(2), QTime(20, 0))), QStringList());
    }
};

QTEST_MAIN(MissedRunTest)
#include "missed_run_test.moc"
