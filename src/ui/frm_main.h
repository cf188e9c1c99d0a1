#pragma once

#include "action_browser.h"
#include "desktop_links.h"
#include "frm_scheduler.h"
#include "frm_sync.h"
#include "run_lock.h"
#include "run_request.h"
#include "schedule_watch.h"
#include "sleep_inhibitor.h"

#include <QList>
#include <QMainWindow>
#include <QPointer>

#include <memory>

class MainView;
class MissedRunCheck;
class ProjectCommands;
class ProjectDb;
class Prompter;
class QSystemTrayIcon;
class QTimer;
class RunNotifier;

// The main window: start-up, the project list and the action browser, the runs and their
// windows, the scheduler, the tray and closing. Its widgets are built and shown by MainView;
// project and action maintenance and project files are ProjectCommands.
class frm_main : public QMainWindow {
    Q_OBJECT

public:
    // run carries out the runs this window starts; open shows web pages and files; clock is
    // the scheduler's.
    explicit frm_main(Prompter &prompter, RunFunction run = &RunDriver::run,
        UrlOpener open = OpenWithDesktop, Clock clock = &QDateTime::currentDateTime,
        QWidget *parent = nullptr);
    ~frm_main() override;

    // Start-up: centres the window, opens the project database in appDir and fills the
    // project list. On failure shows the error box and returns false.
    bool Form_Load(const QString &appDir);

    // Refills the project list and chooses "- Aucun -".
    void LoadTemplates();
    // Makes the project shown in the list current and points the browser at its actions.
    void cmb_template_Click();
    // Shows name as the list's text, which chooses that project.
    void ShowTemplate(const QString &name);
    // Chooses the project of that name (any case when no name matches exactly).
    bool chooseProject(const QString &name);
    // Shows the browser's current action.
    void Data1_Reposition();
    void ClearFields();
    // The sub-folder box only shows the stored flag: a click puts it back.
    void chk_includesubfolders_Click();

    // Rewrites the report item for the project shown in the list.
    void PromjeniViewReportMeni();

    // Enables the commands that need a project or actions; changes nothing while busy.
    void Timer1_Timer();
    void mnu_sync_Click();
    void mnu_simulate_Click();
    // Closes the window of a finished run first, then as mnu_sync_Click.
    void cmd_sync_Click();

    // Project and action maintenance, project files and the companion file: ProjectCommands.
    void mnu_newtemplate_Click();
    void mnu_edittemplate_Click();
    void mnu_deletetemplate_Click();
    void mnu_newaction_Click();
    void mnu_editaction_Click();
    void mnu_deleteaction_Click();
    void mnu_export_Click();
    void mnu_import_Click();
    void mnu_exporttoini_Click();

    void mnu_viewreport_Click();
    void Mnu_Aide_Click();
    void Mnu_Don_Click();
    void mnu_about_Click();
    // Closes the window, which ends the program.
    void mnu_exit_Click();

    // The scheduler: reads the schedule file into memory and starts the watcher.
    void LoadTimerSettings();
    // The watcher's tick: shows the schedule on the indicator and starts the scheduled run
    // when it is due; a run due while another is going or being confirmed starts after it. At
    // start-up and after a wake-up it asks about a run missed meanwhile (MissedRunCheck).
    void tmr_sch_Timer();
    // Opens the scheduler dialog, with the watcher stopped meanwhile.
    void mnu_scheduler_Click();

    // Brings the window back from the tray in the normal state and removes the icon.
    void mnu_restoreTDRL_Click();

    qint64 CurrentTemplateNo() const { return currentTemplateNo_; }
    bool BusyFlag() const { return busyFlag_; }
    void setBusyFlag(bool busy) { busyFlag_ = busy; }

protected:
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void connectHandlers();
    void chooseNoProject();
    void showDatabaseError(const std::exception &error);
    bool runInProgress() const;
    // A project with actions is chosen; tells the user when it has none.
    bool readyToRun();
    // Opens the run window of the current project, without waiting for it; none when another
    // run of the project (tandrel-cli's) holds its lock.
    frm_sync *startRun();
    void closeFinishedRunWindows();
    void showIndicator();
    // Runs the scheduled project, then chooses again the project chosen before.
    void startScheduledRun(const QString &project);
    // Asks about a schedule that fell due while the program was closed or the machine asleep;
    // true when the user wants it run now.
    bool askAboutMissedRun(const QDateTime &now);
    void runFinished(const RunRequest &request, const RunOutcome &outcome);
    void minimiseToTray();
    void createTrayIcon();
    void removeTrayIcon();
    // Brings the window out of a tray that has gone.
    void keepReachable();

    Prompter &prompter_;
    RunFunction run_;
    UrlOpener open_;
    Clock clock_;
    std::unique_ptr<MainView> view_;
    bool closing_ = false;
    QSystemTrayIcon *trayIcon_ = nullptr;
    ::RunMode runMode_ = ::RunMode::Synchronize;
    bool showAllInReport_ = false;
    Schedule schedule_;
    WatchState watch_;
    // The project of a due schedule whose run waits for another run to end.
    QString waitingSchedule_;
    // A run is being confirmed: the scheduler holds its run back meanwhile.
    bool confirming_ = false;
    // Windows of earlier runs stay open until the user closes them.
    QList<QPointer<frm_sync>> syncWindows_;
    QString appDir_;
    // Held from the start of a run to its end: one run per project, and no sleep meanwhile.
    std::unique_ptr<RunLock> runLock_;
    std::unique_ptr<SleepInhibitor> sleepInhibitor_;
    std::unique_ptr<ProjectDb> projectDb_;
    std::unique_ptr<ProjectCommands> commands_;
    qint64 currentTemplateNo_ = 0;
    bool busyFlag_ = false;
    ActionBrowser Data1;
    QTimer *Timer1 = nullptr;
    QTimer *tmr_sch = nullptr;
    MissedRunCheck *missedRuns_ = nullptr;
    RunNotifier *notifier_ = nullptr;
};
