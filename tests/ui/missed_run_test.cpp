#include "main_window_driver.h"
#include "missed_run_check.h"
#include "private_bus.h"
#include "scripted_prompter.h"
#include "scripted_run.h"

#include <QDBusMessage>
#include <QFile>
#include <QTest>

namespace {

const QDate day1(2026, 12, 6);
const QDate day2 = day1.addDays(1);
const QDate day3 = day1.addDays(2);

// The program started on a folder holding "Sauvegarde" and a schedule for it, with a clock the
// test sets and runs that end at once.
class Started {
public:
    Started(const TempDir &dir, const QString &date, bool daily)
        : window(prompter, run.function(), OpenWithDesktop, [this] { return now; })
    {
        run.released = true;
        if (!QFile::exists(dir("Tandrel.mdb")))
            addProject(dir, QStringLiteral("Sauvegarde"), {"*.a", "*.b"});
        Schedule schedule;
        schedule.SchTemplate = QStringLiteral("Sauvegarde");
        schedule.SchDate = date;
        schedule.SchTime = QStringLiteral("08:30");
        schedule.SchDaily = daily;
        schedule.SchEnabled = true;
        SaveSchedule(dir.path(), schedule);
        loaded = window.Form_Load(dir.path());
    }

    // A tick of the watcher at that moment, answering a question with answer; the titles of the
    // boxes it showed, each with the project, date and time when named.
    QStringList tickAt(const QDate &day, const QTime &time,
        QMessageBox::StandardButton answer = QMessageBox::NoButton)
    {
        if (answer != QMessageBox::NoButton)
            prompter.answers.enqueue(answer);
        now = QDateTime(day, time);
        window.tmr_sch_Timer();
        QStringList boxes;
        for (const ScriptedPrompter::Shown &box : std::as_const(prompter.shown)) {
            QString named = box.title;
            for (const char *part : {"Sauvegarde", "06.12.2026", "07.12.2026", "08:30"})
                if (box.text.contains(QString::fromUtf8(part)))
                    named += u' ' + QString::fromUtf8(part);
            boxes << named;
        }
        prompter.shown.clear();
        return boxes;
    }
    // The runs started so far, once their windows have closed.
    int runs()
    {
        return QTest::qWaitFor([] { return !runWindow(); }, 5000) ? run.runs.load() : -1;
    }

    ScriptedPrompter prompter;
    ScriptedRun run;
    QDateTime now;
    frm_main window;
    bool loaded = false;
};

} // namespace

class MissedRunTest : public QObject {
    Q_OBJECT

private slots:
    void aOneTimeRunMissedWhileClosedWaitsForTheAnswer();
    void aDailyRunMissedAsleepIsAskedAboutOnceADay();
    void wakingUpLooksAgain();
};

void MissedRunTest::aOneTimeRunMissedWhileClosedWaitsForTheAnswer()
{
    TempDir dir;
    {
        Started declined(dir, QStringLiteral("06.12.2026"), false);
        QVERIFY(declined.loaded);
        const QStringList asked = declined.tickAt(day1, QTime(10, 0), QMessageBox::No);
        QCOMPARE(asked, QStringList {"Programmateur Sauvegarde 06.12.2026 08:30"});
        QCOMPARE(declined.runs(), 0);
        QVERIFY(!LoadSchedule(dir.path()).SchEnabled);
        QCOMPARE(declined.tickAt(day2, QTime(10, 0)), QStringList());
    }

    Started accepted(dir, QStringLiteral("06.12.2026"), false);
    QVERIFY(accepted.loaded);
    // The start-up tick inside the due minute is the watcher's own run: nothing was missed.
    QCOMPARE(accepted.tickAt(day1, QTime(8, 30, 30)), QStringList());
    QCOMPARE(accepted.runs(), 1);
    SaveSchedule(dir.path(), {"Sauvegarde", "06.12.2026", "08:30", false, true});
    accepted.window.LoadTimerSettings();
    // Asleep from 08:29 to the next morning.
    QCOMPARE(accepted.tickAt(day1, QTime(8, 29)), QStringList());
    QCOMPARE(accepted.tickAt(day2, QTime(7, 0), QMessageBox::Yes),
        QStringList {"Programmateur Sauvegarde 06.12.2026 08:30"});
    QCOMPARE(accepted.runs(), 2);
    QCOMPARE(accepted.run.lastRequest().projectName, QStringLiteral("Sauvegarde"));
    QCOMPARE(accepted.run.lastRequest().mode, RunMode::Scheduler);
    QVERIFY(!LoadSchedule(dir.path()).SchEnabled);
}

void MissedRunTest::aDailyRunMissedAsleepIsAskedAboutOnceADay()
{
    TempDir dir;
    {
        Started w(dir, QString(), true);
        QVERIFY(w.loaded);
        QCOMPARE(w.tickAt(day1, QTime(7, 0)), QStringList());
        // Asleep over the time: "Non" counts the day as done.
        QCOMPARE(w.tickAt(day1, QTime(10, 0), QMessageBox::No),
            QStringList {"Programmateur Sauvegarde 06.12.2026 08:30"});
        QCOMPARE(w.tickAt(day1, QTime(12, 0)), QStringList());
        QCOMPARE(w.runs(), 0);
        // The next day "Oui" runs it.
        QCOMPARE(w.tickAt(day2, QTime(9, 0), QMessageBox::Yes),
            QStringList {"Programmateur Sauvegarde 07.12.2026 08:30"});
        QCOMPARE(w.runs(), 1);
        QCOMPARE(w.run.lastRequest().mode, RunMode::Scheduler);
        // The clock set back a day, then forwards again: no second run, no question.
        QCOMPARE(w.tickAt(day1, QTime(9, 0)), QStringList());
        QCOMPARE(w.tickAt(day2, QTime(11, 0)), QStringList());
        // A run of the watcher itself is recorded too: a later start finds nothing missed.
        QCOMPARE(w.tickAt(day3, QTime(8, 30)), QStringList());
        QCOMPARE(w.runs(), 2);
    }
    Started restarted(dir, QString(), true);
    QCOMPARE(restarted.tickAt(day3, QTime(10, 0)), QStringList());

    // A file that cannot keep the answer does not bring the question back.
    Started readOnly(dir, QString(), true);
    QFile::setPermissions(dir("TDRL-timer.tmr"), QFileDevice::ReadOwner);
    QCOMPARE(readOnly.tickAt(day3.addDays(1), QTime(10, 0), QMessageBox::No).size(), 1);
    QCOMPARE(readOnly.tickAt(day3.addDays(1), QTime(23, 0)), QStringList());
    QCOMPARE(readOnly.runs(), 0);
}

void MissedRunTest::wakingUpLooksAgain()
{
    PrivateBus systemBus;
    QVERIFY2(systemBus.failure().isEmpty(), qPrintable(systemBus.failure()));
    MissedRunCheck check(systemBus.connect());
    const QDateTime now(day1, QTime(10, 0));
    QVERIFY(check.shouldLook(now));
    QVERIFY(!check.shouldLook(now));

    const auto prepareForSleep = [](QDBusConnection bus, bool sleeping) {
        QDBusMessage signal = QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/login1"),
            QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"));
        signal << sleeping;
        QVERIFY(bus.send(signal));
    };
    // Only logind is heard, and only when the machine wakes up.
    prepareForSleep(systemBus.connect(), false);
    QDBusConnection logind = systemBus.connect();
    QVERIFY(logind.registerService(QStringLiteral("org.freedesktop.login1")));
    prepareForSleep(logind, true);
    QTest::qWait(200);
    QVERIFY(!check.shouldLook(now));
    prepareForSleep(logind, false);
    bool looked = false;
    QTRY_VERIFY((looked = looked || check.shouldLook(now)));
    QVERIFY(!check.shouldLook(now));
}

QTEST_MAIN(MissedRunTest)
#include "missed_run_test.moc"
