#pragma once

#include "action_browser.h"
#include "desktop_links.h"
#include "frm_scheduler.h"
#include "frm_sync.h"
#include "run_request.h"
#include "schedule_watch.h"

#include <QList>
#include <QMainWindow>
#include <QPointer>

#include <memory>

class IndicatorImage;
class NavigationBar;
class ProjectDb;
class Prompter;
class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QSystemTrayIcon;
class QTableWidget;
class QTimer;

// The main window: the project list, the action browser and the current action's details,
// and the commands that start runs.
class frm_main : public QMainWindow {
    Q_OBJECT

public:
    // run carries out the runs this window starts; open shows web pages and files.
    explicit frm_main(Prompter &prompter, RunFunction run = &RunDriver::run,
        UrlOpener open = OpenWithDesktop, QWidget *parent = nullptr);
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

    // Project and action maintenance. An open editor stays bound to the project and action
    // it was opened for; a failed write shows the error box and leaves the editor open.
    void mnu_newtemplate_Click();
    void mnu_edittemplate_Click();
    void mnu_deletetemplate_Click();
    void mnu_newaction_Click();
    void mnu_editaction_Click();
    void mnu_deleteaction_Click();

    // Project files: writes the current project to a ".TDRL" file, or reads one as a new
    // project (replacing a project of the same name after the user agreed to delete it).
    void mnu_export_Click();
    void mnu_import_Click();
    // Writes the companion run file naming the current project.
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
    // when it is due; a run due while another is going or being confirmed starts after it.
    void tmr_sch_Timer();
    // Opens the scheduler dialog, with the watcher stopped meanwhile.
    void mnu_scheduler_Click();
    void setClock(Clock clock) { clock_ = std::move(clock); }
    const Schedule &schedule() const { return schedule_; }

    // Brings the window back from the tray in the normal state and removes the icon.
    void mnu_restoreTDRL_Click();
    // The tray icon while the window is minimised to it.
    QSystemTrayIcon *trayIcon() const { return trayIcon_; }

    QString AppDir() const { return appDir_; }
    qint64 CurrentTemplateNo() const { return currentTemplateNo_; }
    bool BusyFlag() const { return busyFlag_; }
    void setBusyFlag(bool busy) { busyFlag_ = busy; }
    ProjectDb *projectDb() const { return projectDb_.get(); }
    ActionBrowser &data1() { return Data1; }
    ::RunMode RunMode() const { return runMode_; }
    bool ShowAllInReport() const { return showAllInReport_; }
    // The window of the latest run, while it is open.
    frm_sync *syncWindow() const;

    static const QString NoProject;

protected:
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildWindow();
    QGroupBox *buildProjectFrame();
    QGroupBox *buildActionFrame();
    void chooseNoProject();
    void fillActionTable();
    void buildMenus();
    void showDatabaseError(const std::exception &error);
    bool runInProgress() const;
    // A project with actions is chosen; tells the user when it has none.
    bool readyToRun();
    // Opens the run window of the current project, without waiting for it.
    frm_sync *startRun();
    void closeFinishedRunWindows();
    void showIndicator();
    // Runs the scheduled project, then chooses again the project chosen before.
    void startScheduledRun(const QString &project);
    // Chooses the project of that name (any case when no name matches exactly).
    bool chooseProject(const QString &name);
    void runFinished();
    void minimiseToTray();
    void removeTrayIcon();
    // Writes through the database; false after showing the error box when it failed.
    template <typename Write> bool guardedWrite(Write write);

    Prompter &prompter_;
    RunFunction run_;
    UrlOpener open_;
    bool closing_ = false;
    QSystemTrayIcon *trayIcon_ = nullptr;
    ::RunMode runMode_ = ::RunMode::Synchronize;
    bool showAllInReport_ = false;
    Clock clock_ = &QDateTime::currentDateTime;
    Schedule schedule_;
    WatchState watch_;
    // The project of a due schedule whose run waits for another run to end.
    QString waitingSchedule_;
    // A run is being confirmed: the scheduler holds its run back meanwhile.
    bool confirming_ = false;
    // Windows of earlier runs stay open until the user closes them.
    QList<QPointer<frm_sync>> syncWindows_;
    QString appDir_;
    std::unique_ptr<ProjectDb> projectDb_;
    qint64 currentTemplateNo_ = 0;
    bool busyFlag_ = false;
    ActionBrowser Data1;

    QGroupBox *Frame1 = nullptr;
    QComboBox *cmb_template = nullptr;
    QGroupBox *Frame2 = nullptr;
    NavigationBar *Data1Bar = nullptr;
    QTableWidget *tbl_actions = nullptr;
    QLabel *lbl_enabled = nullptr;
    QLabel *lbl_filter = nullptr;
    QLabel *lbl_fromfolder = nullptr;
    QLabel *lbl_tofolder = nullptr;
    QLabel *lbl_description = nullptr;
    QLabel *lbl_filedate = nullptr;
    QLabel *lbl_filesize = nullptr;
    QLabel *lbl_operator = nullptr;
    QCheckBox *chk_includesubfolders = nullptr;
    QPushButton *cmd_sync = nullptr;
    IndicatorImage *Img_Green = nullptr;
    IndicatorImage *Img_Red = nullptr;
    QMenu *cap_file = nullptr;
    QAction *mnu_import = nullptr;
    QAction *mnu_export = nullptr;
    QAction *mnu_viewreport = nullptr;
    QAction *mnu_exit = nullptr;
    QMenu *cap_sync = nullptr;
    QAction *mnu_sync = nullptr;
    QAction *mnu_simulate = nullptr;
    QAction *mnu_scheduler = nullptr;
    QMenu *cap_template = nullptr;
    QAction *mnu_newtemplate = nullptr;
    QAction *mnu_edittemplate = nullptr;
    QAction *mnu_deletetemplate = nullptr;
    QAction *mnu_exporttoini = nullptr;
    QMenu *cap_action = nullptr;
    QAction *mnu_newaction = nullptr;
    QAction *mnu_editaction = nullptr;
    QAction *mnu_deleteaction = nullptr;
    QMenu *cap_help = nullptr;
    QAction *mnu_about = nullptr;
    QAction *Mnu_Aide = nullptr;
    QAction *Mnu_Don = nullptr;
    QMenu *cap_sysmenu = nullptr;
    QAction *mnu_restoreTDRL = nullptr;
    QAction *mnu_exitTDRL = nullptr;
    QTimer *Timer1 = nullptr;
    QTimer *tmr_sch = nullptr;
};
