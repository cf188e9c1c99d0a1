#pragma once

#include "records.h"

#include <QString>

#include <vector>

class IndicatorImage;
class NavigationBar;
class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QMainWindow;
class QMenu;
class QPushButton;
class QTableWidget;

// The main window's widgets and menus: builds them into the window and shows a project list, an
// action, the action table and the command states. Knows no database and carries out no
// command: the window connects the widgets to its handlers.
class MainView {
public:
    explicit MainView(QMainWindow &window);

    // The list: "- Aucun -" first, then the names in the order given; "- Aucun -" is chosen.
    void showProjects(const std::vector<Project> &projects);
    // Chooses the entry at index without raising the list's signals.
    void choose(int index);
    QString chosenName() const;
    bool projectChosen() const;
    QStringList projectNames() const;
    // The list's tool tip: the chosen project's description.
    void showDescription(const QString &description);

    // The details of action, or empty details for nullptr.
    void showAction(const Action *action);
    void showActions(const std::vector<Action> &rows, int current);
    // The report item names the project shown in the list.
    void showReportItem();
    // Enables the commands that need a project or actions.
    void showCommandStates(bool projectChosen, bool actionsPresent);
    // During a run the commands that change projects, actions or the database are disabled;
    // at its end those that are always usable come back, the others with the next states.
    void showRunning(bool running);
    void showIndicator(bool enabled, const QString &toolTip);

    QComboBox *cmb_template = nullptr;
    NavigationBar *Data1Bar = nullptr;
    QTableWidget *tbl_actions = nullptr;
    QCheckBox *chk_includesubfolders = nullptr;
    QPushButton *cmd_sync = nullptr;
    IndicatorImage *Img_Green = nullptr;
    IndicatorImage *Img_Red = nullptr;
    QMenu *cap_file = nullptr;
    QAction *mnu_import = nullptr;
    QAction *mnu_export = nullptr;
    QAction *mnu_viewreport = nullptr;
    QAction *mnu_exit = nullptr;
    QAction *mnu_sync = nullptr;
    QAction *mnu_simulate = nullptr;
    QAction *mnu_scheduler = nullptr;
    QAction *mnu_newtemplate = nullptr;
    QAction *mnu_edittemplate = nullptr;
    QAction *mnu_deletetemplate = nullptr;
    QAction *mnu_exporttoini = nullptr;
    QAction *mnu_newaction = nullptr;
    QAction *mnu_editaction = nullptr;
    QAction *mnu_deleteaction = nullptr;
    QAction *mnu_about = nullptr;
    QAction *Mnu_Aide = nullptr;
    QAction *Mnu_Don = nullptr;
    QMenu *cap_sysmenu = nullptr;
    QAction *mnu_restoreTDRL = nullptr;
    QAction *mnu_exitTDRL = nullptr;

    static const QString NoProject;

private:
    QGroupBox *buildProjectFrame();
    QGroupBox *buildActionFrame();
    void buildMenus();

    QMainWindow &window_;
    QLabel *lbl_enabled = nullptr;
    QLabel *lbl_filter = nullptr;
    QLabel *lbl_fromfolder = nullptr;
    QLabel *lbl_tofolder = nullptr;
    QLabel *lbl_description = nullptr;
    QLabel *lbl_filedate = nullptr;
    QLabel *lbl_filesize = nullptr;
    QLabel *lbl_operator = nullptr;
};
