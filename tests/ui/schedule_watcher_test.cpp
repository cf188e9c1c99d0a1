#include "main_window_driver.h"
#include "scripted_prompter.h"
#include "scripted_run.h"

#include <QAction>
#include <QTest>

namespace {

// The main window on a folder with a schedule file, reading a clock the test sets.
class Watched {
public:
    explicit Watched(const TempDir &dir, const Schedule &schedule = Schedule())
        : window(prompter, run.function(), OpenWithDesktop, [this] { return now; })
    {
        SaveSchedule(dir.path(), schedule);
        loaded = window.Form_Load(dir.path());
    }

    // One tick of the watcher at that moment.
    void tickAt(const QDate &day, const QTime &time)
    {
        now = QDateTime(day, time);
        window.tmr_sch_Timer();
    }
    QString chosenName() { return projectList(window)->currentText(); }
    QWidget *image(const char *name) { return window.findChild<QWidget *>(QLatin1String(name)); }
    // The image shown and its tool tip, as "Img_Red|tool tip".
    QString indicator()
    {
        QWidget *green = image("Img_Green");
        QWidget *red = image("Img_Red");
        if (green->isVisibleTo(&window) == red->isVisibleTo(&window))
            return QStringLiteral("both or neither");
        QWidget *shown = green->isVisibleTo(&window) ? green : red;
        return shown->objectName() + u'|' + shown->toolTip();
    }
    bool watching() { return window.findChild<QTimer *>(QStringLiteral("tmr_sch"))->isActive(); }

    ScriptedPrompter prompter;
    ScriptedRun run;
    QDateTime now;
    frm_main window;
    bool loaded = false;
};

Schedule schedule(const QString &project, const QString &date, const QString &time, bool daily)
{
    Schedule s;
    s.SchTemplate = project;
    s.SchDate = date;
    s.SchTime = time;
    s.SchDaily = daily;
    s.SchEnabled = true;
    return s;
}

// "Autre" with one action, which the tests choose, and "Sauvegarde" with two, which they
// schedule.
void addAutreAndSauvegarde(const TempDir &dir)
{
    addProject(dir, QStringLiteral("Autre"), {"*.x"});
    addProject(dir, QStringLiteral("Sauvegarde"), {"*.a", "*.b"});
}

const QDate day1(2026, 12, 6);
const QDate day2 = day1.addDays(1);
const QDate day3 = day1.addDays(2);

} // namespace

class ScheduleWatcherTest : public QObject {
    Q_OBJECT

private slots:
    void aOneTimeScheduleRunsOnceThenSwitchesItselfOff();
    void aDailyScheduleRunsOnceADayAcrossMidnight();
    void aDueRunWaitsForTheRunGoingOrBeingConfirmed();
    void anOpenEditorDoesNotHoldTheScheduleBack();
    void aMissingProjectOrOneWithoutActionsStartsNoRun();
    void theDialogOpensThreeWaysWhileTheWatcherWaits();
};

void ScheduleWatcherTest::aOneTimeScheduleRunsOnceThenSwitchesItselfOff()
{
    TempDir dir;
    addAutreAndSauvegarde(dir);
    Watched w(dir, schedule(QStringLiteral("Sauvegarde"), "06.12.2026", "08:30", false));
    QVERIFY(w.loaded);
    choose(w.window, QStringLiteral("Autre"));
    QCOMPARE(w.indicator(),
        QStringLiteral("Img_Green|Programmateur - activé <> Projet : Sauvegarde - Départ : "
                       "06.12.2026 à 08:30"));

    w.tickAt(day1, QTime(8, 29, 59));
    w.tickAt(day1.addDays(-1), QTime(8, 30));
    QVERIFY(!runWindow());

    // Due: the scheduled project runs, without confirmation, and stays chosen meanwhile.
    w.tickAt(day1, QTime(8, 30, 0));
    QPointer<frm_sync> window = runWindow();
    QVERIFY(window);
    QTRY_VERIFY(w.run.started);
    const RunRequest request = w.run.lastRequest();
    QCOMPARE(request.projectName, QStringLiteral("Sauvegarde"));
    QCOMPARE(request.mode, RunMode::Scheduler);
    QVERIFY(!request.showAllInReport);
    QCOMPARE(int(request.actions.size()), 2);
    QCOMPARE(w.chosenName(), QStringLiteral("Sauvegarde"));

    // It switched itself off, in the file too.
    QVERIFY(!LoadSchedule(dir.path()).SchEnabled);
    QCOMPARE(w.indicator(), QStringLiteral("Img_Red|Programmateur - désactivé"));
    QVERIFY(w.watching());
    w.tickAt(day1, QTime(8, 30, 30));
    QCOMPARE(runWindow(), window.data());

    // The window closes by itself; the project chosen before comes back, and the main window
    // stays hidden (in the tray) as it was.
    w.run.released = true;
    QTRY_VERIFY(window.isNull());
    QCOMPARE(w.chosenName(), QStringLiteral("Autre"));
    QCOMPARE(browserOf(w.window).rowCount(), 1);
    QVERIFY(!w.window.isVisible());
    QCOMPARE(w.run.runs.load(), 1);
    QVERIFY(w.prompter.said().isEmpty());
}

void ScheduleWatcherTest::aDailyScheduleRunsOnceADayAcrossMidnight()
{
    TempDir dir;
    addProject(dir, QStringLiteral("Sauvegarde"), {"*.a"});
    Watched w(dir, schedule(QStringLiteral("Sauvegarde"), "", "00:00", true));
    QVERIFY(w.loaded);
    w.run.released = true;
    const auto runsAfter = [&w](const QDate &day, const QTime &time) {
        w.tickAt(day, time);
        // Wait for the window of a run started by that tick to close by itself.
        const bool closed = QTest::qWaitFor([&w] { return !runWindow(); }, 5000);
        return closed ? w.run.runs.load() : -1;
    };

    // The window keeps what the watcher remembers between ticks: one run a day. The start
    // finds the day's run missed, and the user declines it.
    w.prompter.answers.enqueue(QMessageBox::No);
    QCOMPARE(runsAfter(day1, QTime(23, 59, 59)), 0);
    QCOMPARE(w.prompter.said(false), QStringList {"Programmateur"});
    QCOMPARE(runsAfter(day2, QTime(0, 0, 0)), 1);
    QCOMPARE(runsAfter(day2, QTime(0, 0, 59)), 1);
    QCOMPARE(runsAfter(day3, QTime(0, 0, 1)), 2);
    QCOMPARE(w.run.lastRequest().mode, RunMode::Scheduler);
    QVERIFY(LoadSchedule(dir.path()).SchEnabled);
    QVERIFY(w.watching());
    // Nothing starts while the program ends.
    w.window.close();
    QCOMPARE(runsAfter(day3.addDays(2), QTime(0, 0)), 2);
}

void ScheduleWatcherTest::aDueRunWaitsForTheRunGoingOrBeingConfirmed()
{
    TempDir dir;
    addAutreAndSauvegarde(dir);
    Watched w(dir, schedule(QStringLiteral("Sauvegarde"), "", "08:30", true));
    QVERIFY(w.loaded);
    choose(w.window, QStringLiteral("Autre"));

    // A simulation is going when the schedule becomes due.
    w.prompter.answers.enqueue(QMessageBox::Yes);
    w.window.mnu_simulate_Click();
    QPointer<frm_sync> manual = runWindow();
    QTRY_VERIFY(w.run.started);
    w.tickAt(day1, QTime(8, 30));
    w.tickAt(day1, QTime(8, 30, 1));
    QCOMPARE(w.run.runs.load(), 1);
    QCOMPARE(runWindow(), manual.data());

    // Once it has ended, its window is closed and the scheduled run starts.
    w.run.released = true;
    QTRY_VERIFY(manual->isFinished());
    w.tickAt(day1, QTime(8, 31));
    QTRY_VERIFY(manual.isNull());
    QTRY_COMPARE(w.run.runs.load(), 2);
    QCOMPARE(w.run.lastRequest().projectName, QStringLiteral("Sauvegarde"));
    QCOMPARE(w.run.lastRequest().mode, RunMode::Scheduler);
    QTRY_VERIFY(!runWindow());
    QCOMPARE(w.chosenName(), QStringLiteral("Autre"));

    // The next day the user is confirming a run when it becomes due: the scheduled run waits
    // for the answer.
    DialogDriver answers;
    bool startedDuringQuestion = true;
    answers.steps.enqueue([&](QDialog *question) {
        w.tickAt(day2, QTime(8, 30));
        startedDuringQuestion = runWindow() != nullptr;
        press(question, "cmd_cancel");
    });
    w.window.mnu_sync_Click();
    QCOMPARE(answers.titles.size(), 1);
    QVERIFY(!startedDuringQuestion);
    w.tickAt(day2, QTime(8, 30, 1));
    QVERIFY(runWindow());
    QTRY_COMPARE(w.run.runs.load(), 3);
    QTRY_VERIFY(!runWindow());
}

void ScheduleWatcherTest::anOpenEditorDoesNotHoldTheScheduleBack()
{
    TempDir dir;
    addAutreAndSauvegarde(dir);
    Watched w(dir, schedule(QStringLiteral("Sauvegarde"), "", "08:30", true));
    QVERIFY(w.loaded);
    choose(w.window, QStringLiteral("Autre"));
    w.run.released = true;

    // The scheduled run starts while the action of "Autre" is being edited; the editor still
    // saves that action.
    DialogDriver editor;
    QString chosenWhileEditing;
    editor.steps.enqueue([&](QDialog *dialog) {
        w.tickAt(day1, QTime(8, 30));
        chosenWhileEditing = w.chosenName();
        dialog->findChild<QLineEdit *>(QStringLiteral("txt_description"))
            ->setText(QStringLiteral("modifiée pendant la programmation"));
        press(dialog, "cmd_ok");
    });
    w.window.mnu_editaction_Click();
    QCOMPARE(chosenWhileEditing, QStringLiteral("Sauvegarde"));
    QTRY_COMPARE(w.run.runs.load(), 1);
    QTRY_VERIFY(!runWindow());
    QCOMPARE(w.chosenName(), QStringLiteral("Autre"));
    ProjectDb db(dir("Tandrel.mdb"));
    QStringList descriptions;
    for (const Action &action : db.allActionsByFilter())
        descriptions << action.description;
    QCOMPARE(descriptions,
        QStringList({"copie de *.a", "copie de *.b", "modifiée pendant la programmation"}));
}

void ScheduleWatcherTest::aMissingProjectOrOneWithoutActionsStartsNoRun()
{
    TempDir dir;
    addProject(dir, QStringLiteral("Autre"), {"*.x"});
    addProject(dir, QStringLiteral("Vide"));
    Watched w(dir, schedule(QStringLiteral("Ancien nom"), "06.12.2026", "09:00", false));
    QVERIFY(w.loaded);
    choose(w.window, QStringLiteral("Autre"));
    w.tickAt(day1, QTime(9, 0));
    QCOMPARE(w.prompter.said(),
        QStringList {"Erreur|Le programmateur ne peut démarrer car le projet « Ancien nom » est "
                     "introuvable!"});
    QCOMPARE(w.chosenName(), QStringLiteral("Autre"));
    QVERIFY(!LoadSchedule(dir.path()).SchEnabled);

    // A project without actions stays chosen; a daily schedule goes on watching for the next
    // day.
    SaveSchedule(dir.path(), schedule(QStringLiteral("Vide"), "", "09:01", true));
    w.window.LoadTimerSettings();
    w.prompter.shown.clear();
    w.tickAt(day2, QTime(9, 1));
    QCOMPARE(w.prompter.said(),
        QStringList {"Erreur|Le programmateur ne peut démarrer car aucune action n'est définie! "
                     "SVP Créez une action et recommencez!"});
    QCOMPARE(w.chosenName(), QStringLiteral("Vide"));
    QVERIFY(w.watching());
    QTest::qWait(20);
    QCOMPARE(w.run.runs.load(), 0);
    QVERIFY(!runWindow());
}

void ScheduleWatcherTest::theDialogOpensThreeWaysWhileTheWatcherWaits()
{
    TempDir dir;
    addProject(dir, QStringLiteral("Sauvegarde"), {"*.a"});
    Watched w(dir);
    QVERIFY(w.loaded);
    w.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.window));
    QCOMPARE(w.indicator(), QStringLiteral("Img_Red|Programmateur - désactivé"));

    DialogDriver driver;
    QList<bool> watchingWhileOpen;
    driver.steps.enqueue([&](QDialog *dialog) {
        watchingWhileOpen << w.watching();
        press(dialog, "cmd_cancel");
    });
    w.window.findChild<QAction *>(QStringLiteral("mnu_scheduler"))->trigger();

    driver.steps.enqueue([&](QDialog *dialog) {
        watchingWhileOpen << w.watching();
        dialog->findChild<QComboBox *>(QStringLiteral("cmb_template"))->setCurrentIndex(1);
        dialog->findChild<QLineEdit *>(QStringLiteral("txt_time"))->setText(QStringLiteral("8:30"));
        dialog->findChild<QCheckBox *>(QStringLiteral("chk_daily"))->click();
        dialog->findChild<QCheckBox *>(QStringLiteral("chk_enabled"))->click();
        press(dialog, "cmd_ok");
    });
    QTest::mouseDClick(w.image("Img_Red"), Qt::LeftButton);
    QCOMPARE(w.indicator(),
        QStringLiteral("Img_Green|Programmateur - activé <> Projet : Sauvegarde - Départ : "
                       "tous les jours à 08:30"));

    driver.steps.enqueue([&](QDialog *dialog) {
        watchingWhileOpen << w.watching();
        press(dialog, "cmd_cancel");
    });
    QTest::mouseDClick(w.image("Img_Green"), Qt::LeftButton);
    QCOMPARE(driver.titles.size(), 3);
    QCOMPARE(watchingWhileOpen, QList<bool>({false, false, false}));
    QVERIFY(w.watching());
}

QTEST_MAIN(ScheduleWatcherTest)
#include "schedule_watcher_test.moc"
