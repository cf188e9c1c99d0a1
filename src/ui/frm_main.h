#pragma once

#include "action_browser.h"

#include <QMainWindow>

#include <memory>

class NavigationBar;
class ProjectDb;
class Prompter;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QTableWidget;

// The main window: the project list, the action browser and the current action's details.
class frm_main : public QMainWindow {
    Q_OBJECT

public:
    explicit frm_main(Prompter &prompter, QWidget *parent = nullptr);
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

    QString AppDir() const { return appDir_; }
    qint64 CurrentTemplateNo() const { return currentTemplateNo_; }
    bool BusyFlag() const { return busyFlag_; }
    void setBusyFlag(bool busy) { busyFlag_ = busy; }
    ProjectDb *projectDb() const { return projectDb_.get(); }
    ActionBrowser &data1() { return Data1; }

    static const QString NoProject;

private:
    void buildWindow();
    QGroupBox *buildProjectFrame();
    QGroupBox *buildActionFrame();
    void chooseNoProject();
    void fillActionTable();
    void showDatabaseError(const std::exception &error);

    Prompter &prompter_;
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
};
