#include "main_window_driver.h"
#include "schedule_watch.h"
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

// An enabled schedule: project, date, time, daily.
Schedule schedule(const char *project, const char *date, const char *time, bool daily)
{
    return {
        QString::fromUtf8(project), QString::fromUtf8(date), QString::fromUtf8(time), daily, true};
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

} // namespace

class ScheduleWatcherTest : public QObject {
    Q_OBJECT

private slots:
    void aOneTimeScheduleRunsOnceThenSwitchesItselfOff();
    void aDueRunWaitsForTheRunGoingOrBeingConfirmed();
    void anOpenEditorDoesNotHoldTheScheduleBack();
    void aMissingProjectOrOneWithoutActionsStartsNoRun();
    void theDialogOpensThreeWaysWhileTheWatcherWaits();
};

void ScheduleWatcherTest::aOneTimeScheduleRunsOnceThenSwitchesItselfOff()
{
    TempDir dir;
    addAutreAndSauvegarde(dir);
    Watched w(dir, schedule("Sauvegarde", "06.12.2026", "08:30", false));
    QVERIFY(w.loaded);
    choose(w.window, QStringLiteral("Autre"));
    QCOMPARE(w.indicator(), "Img_Green|" + IndicatorToolTip(LoadSchedule(dir.path())));

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
    QCOMPARE(w.indicator(), "Img_Red|" + IndicatorToolTip(LoadSchedule(dir.path())));
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

void ScheduleWatcherTest::aDueRunWaitsForTheRunGoingOrBeingConfirmed()
{
    TempDir dir;
    addAutreAndSauvegarde(dir);
    Watched w(dir, schedule("Sauvegarde", "", "08:30", true));
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

    // The window keeps what the watcher remembers between ticks: one run a day; and nothing
    // starts while the program ends.
    w.tickAt(day2, QTime(8, 30, 30));
    QVERIFY(!runWindow());
    w.window.close();
    w.tickAt(day2.addDays(1), QTime(8, 30));
    QVERIFY(!runWindow());
    QTest::qWait(20);
    QCOMPARE(w.run.runs.load(), 3);
}

void ScheduleWatcherTest::anOpenEditorDoesNotHoldTheScheduleBack()
{
    TempDir dir;
    addAutreAndSauvegarde(dir);
    Watched w(dir, schedule("Sauvegarde", "", "08:30", true));
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
    Watched w(dir, schedule("Ancien nom", "06.12.2026", "09:00", false));
    QVERIFY(w.loaded);
    choose(w.window, QStringLiteral("Autre"));
    w.tickAt(day1, QTime(9, 0));
    const QStringList missing = w.prompter.said();
    QVERIFY(missing.size() == 1 && missing[0].contains(QStringLiteral("« Ancien nom »")));
    QCOMPARE(w.chosenName(), QStringLiteral("Autre"));
    QVERIFY(!LoadSchedule(dir.path()).SchEnabled);

    // A project without actions stays chosen; a daily schedule goes on watching for the next
    // day.
    SaveSchedule(dir.path(), schedule("Vide", "", "09:01", true));
    w.window.LoadTimerSettings();
    w.prompter.shown.clear();
    w.tickAt(day2, QTime(9, 1));
    QCOMPARE(w.prompter.said(false), QStringList {"Erreur"});
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
    QVERIFY(w.indicator().startsWith("Img_Red|"));

    // The menu item or a double click on the image shown opens the dialog; the watcher waits
    // while it is open. The second one saves a daily schedule: the indicator follows.
    DialogDriver driver;
    QList<bool> watchingWhileOpen;
    for (int i = 0; i < 3; ++i) {
        driver.steps.enqueue([&, i](QDialog *dialog) {
            watchingWhileOpen << w.watching();
            if (i == 1) {
                child<QComboBox>(*dialog, "cmb_template")->setCurrentIndex(1);
                child<QLineEdit>(*dialog, "txt_time")->setText(QStringLiteral("8:30"));
                child<QCheckBox>(*dialog, "chk_daily")->click();
                child<QCheckBox>(*dialog, "chk_enabled")->click();
            }
            press(dialog, i == 1 ? "cmd_ok" : "cmd_cancel");
        });
        if (i == 0)
            child<QAction>(w.window, "mnu_scheduler")->trigger();
        else
            QTest::mouseDClick(w.image(i == 1 ? "Img_Red" : "Img_Green"), Qt::LeftButton);
        QCOMPARE(driver.titles.size(), i + 1);
    }
    const Schedule saved = LoadSchedule(dir.path());
    QCOMPARE(saved.SchTemplate + u'|' + saved.SchTime, QStringLiteral("Sauvegarde|08:30"));
    QCOMPARE(w.indicator(), "Img_Green|" + IndicatorToolTip(saved));
    QCOMPARE(watchingWhileOpen, QList<bool>({false, false, false}));
    QVERIFY(w.watching());
}

QTEST_MAIN(ScheduleWatcherTest)
#include "schedule_watcher_test.moc"
