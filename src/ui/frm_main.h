#pragma once

#include "action_browser.h"
#include "frm_sync.h"
#include "run_request.h"

#include <QList>
#include <QMainWindow>
#include <QPointer>

#include <memory>

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
class QTableWidget;
class QTimer;

// The main window: the project list, the action browser and the current action's details,
// and the commands that start runs.
class frm_main : public QMainWindow {
    Q_OBJECT

public:
    // run carries out the runs this window starts.
    explicit frm_main(
        Prompter &prompter, RunFunction run = &RunDriver::run, QWidget *parent = nullptr);
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

    // Enables the run commands when the browser has rows; changes nothing while busy.
    void Timer1_Timer();
    void mnu_sync_Click();
    void mnu_simulate_Click();
    // Closes the window of a finished run first, then as mnu_sync_Click.
    void cmd_sync_Click();

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
    void startRun();
    void runFinished();

    Prompter &prompter_;
    RunFunction run_;
    ::RunMode runMode_ = ::RunMode::Synchronize;
    bool showAllInReport_ = false;
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
    QMenu *cap_sync = nullptr;
    QAction *mnu_sync = nullptr;
    QAction *mnu_simulate = nullptr;
    QAction *mnu_scheduler = nullptr;
    QTimer *Timer1 = nullptr;
};
