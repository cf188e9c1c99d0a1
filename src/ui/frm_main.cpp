#include "frm_main.h"

#include "app_icon.h"
#include "autostart_item.h"
#include "db_error.h"
#include "error_box.h"
#include "file_helpers.h"
#include "frm_about.h"
#include "frm_action.h"
#include "frm_question.h"
#include "frm_templates.h"
#include "help_text.h"
#include "navigation_bar.h"
#include "project_db.h"
#include "project_file.h"
#include "prompter.h"
#include "report_viewer.h"
#include "scheduler_indicator.h"
#include "window_helpers.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QSystemTrayIcon>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

const QString frm_main::NoProject = QStringLiteral("- Aucun -");

namespace {

QLabel *makeValueLabel(const QString &objectName, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(objectName);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setTextFormat(Qt::PlainText);
    label->setFrameShape(QFrame::StyledPanel);
    label->setMinimumWidth(80);
    return label;
}

// The table's columns, in order, with the stored text each shows.
struct Column {
    const char *title;
    QString Action::*field;
};
const Column tableColumns[] = {
    {"Activé", &Action::enabled},
    {"Filtre des fichiers", &Action::fileFilter},
    {"Dossier origine", &Action::fromFolder},
    {"Dossier destination", &Action::toFolder},
    {"Sous-dossiers", &Action::inclSub},
    {"Date", &Action::fileDate},
    {"Taille", &Action::fileSize},
    {"Operation", &Action::op},
    {"Description", &Action::description},
};

} // namespace

// Sets BusyFlag for its lifetime.
class BusyScope {
public:
    explicit BusyScope(frm_main &window)
        : window_(window)
    {
        window_.setBusyFlag(true);
    }
    ~BusyScope() { window_.setBusyFlag(false); }
    BusyScope(const BusyScope &) = delete;
    BusyScope &operator=(const BusyScope &) = delete;

private:
    frm_main &window_;
};

frm_main::frm_main(Prompter &prompter, RunFunction run, UrlOpener open, QWidget *parent)
    : QMainWindow(parent)
    , prompter_(prompter)
    , run_(std::move(run))
    , open_(std::move(open))
    , Data1(this)
{
    // The program ends when this window closes, not when the last window does: a run window
    // may close while this one waits hidden in the tray.
    QApplication::setQuitOnLastWindowClosed(false);
    setWindowIcon(AppIcon());
    setObjectName(QStringLiteral("frm_main"));
    Data1.setObjectName(QStringLiteral("Data1"));
    buildWindow();
    buildMenus();
    connect(&Data1, &ActionBrowser::reposition, this, &frm_main::Data1_Reposition);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(250);
    connect(Timer1, &QTimer::timeout, this, &frm_main::Timer1_Timer);
    Timer1->start();

    tmr_sch = new QTimer(this);
    tmr_sch->setObjectName(QStringLiteral("tmr_sch"));
    tmr_sch->setInterval(1000);
    connect(tmr_sch, &QTimer::timeout, this, &frm_main::tmr_sch_Timer);
}

frm_main::~frm_main()
{
    closing_ = true;
    removeTrayIcon();
    // Run windows have no parent; a run still going is stopped by its window.
    for (const QPointer<frm_sync> &window : std::as_const(syncWindows_)) {
        if (window)
            window->disconnect(this);
        delete window.data();
    }
}

void frm_main::buildWindow()
{
    setWindowTitle(QStringLiteral("Tandrel"));
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->addWidget(buildProjectFrame());
    layout->addWidget(buildActionFrame(), 1);

    cmd_sync = new QPushButton(QStringLiteral("&Synchroniser >>"), central);
    cmd_sync->setObjectName(QStringLiteral("cmd_sync"));
    cmd_sync->setEnabled(false);
    connect(cmd_sync, &QPushButton::clicked, this, [this] { cmd_sync_Click(); });
    // The scheduler indicator: one of the two images at the same place.
    Img_Green = new IndicatorImage(true, central);
    Img_Green->setObjectName(QStringLiteral("Img_Green"));
    Img_Green->setToolTip(QStringLiteral("Scheduler - enabled"));
    Img_Red = new IndicatorImage(false, central);
    Img_Red->setObjectName(QStringLiteral("Img_Red"));
    Img_Red->setToolTip(QStringLiteral("Scheduler - disabled"));
    auto *commands = new QHBoxLayout;
    for (IndicatorImage *image : {Img_Green, Img_Red}) {
        image->hide();
        commands->addWidget(image);
        connect(image, &IndicatorImage::doubleClicked, this, [this] { mnu_scheduler_Click(); });
    }
    commands->addStretch(1);
    commands->addWidget(cmd_sync);
    layout->addLayout(commands);
    setCentralWidget(central);
    resize(820, 600);
}

QGroupBox *frm_main::buildProjectFrame()
{
    Frame1 = new QGroupBox(QStringLiteral("Sélection des projets"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    cmb_template = new QComboBox(Frame1);
    cmb_template->setObjectName(QStringLiteral("cmb_template"));
    cmb_template->addItem(NoProject);
    auto *layout = new QVBoxLayout(Frame1);
    layout->addWidget(cmb_template);
    connect(cmb_template, &QComboBox::activated, this, [this] { cmb_template_Click(); });
    return Frame1;
}

QGroupBox *frm_main::buildActionFrame()
{
    Frame2 = new QGroupBox(QStringLiteral("Actions"), this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    auto *details = new QGridLayout;
    const struct {
        const char *caption;
        QLabel **label;
        const char *name;
    } rows[] = {
        {"Activé", &lbl_enabled, "lbl_enabled"},
        {"Filtre des fichiers", &lbl_filter, "lbl_filter"},
        {"Dossier origine :", &lbl_fromfolder, "lbl_fromfolder"},
        {"Dossier destination :", &lbl_tofolder, "lbl_tofolder"},
        {"Description :", &lbl_description, "lbl_description"},
        {"Date", &lbl_filedate, "lbl_filedate"},
        {"Taille", &lbl_filesize, "lbl_filesize"},
        {"Operation :", &lbl_operator, "lbl_operator"},
    };
    int row = 0;
    for (const auto &entry : rows) {
        auto *caption = new QLabel(QString::fromUtf8(entry.caption), Frame2);
        caption->setObjectName(QStringLiteral("Label5"));
        *entry.label = makeValueLabel(QString::fromLatin1(entry.name), Frame2);
        details->addWidget(caption, row, 0);
        details->addWidget(*entry.label, row, 1);
        ++row;
    }
    details->setColumnStretch(1, 1);

    chk_includesubfolders = new QCheckBox(QStringLiteral("Inclure les sous-dossiers"), Frame2);
    chk_includesubfolders->setObjectName(QStringLiteral("chk_includesubfolders"));
    connect(chk_includesubfolders, &QCheckBox::clicked, this,
        [this] { chk_includesubfolders_Click(); });
    details->addWidget(chk_includesubfolders, row, 1);

    Data1Bar = new NavigationBar(QStringLiteral("Data1"), Frame2);
    Data1Bar->setObjectName(QStringLiteral("Data1Bar"));
    connect(Data1Bar, &NavigationBar::first, &Data1, &ActionBrowser::moveFirst);
    connect(Data1Bar, &NavigationBar::previous, &Data1, &ActionBrowser::movePrevious);
    connect(Data1Bar, &NavigationBar::next, &Data1, &ActionBrowser::moveNext);
    connect(Data1Bar, &NavigationBar::last, &Data1, &ActionBrowser::moveLast);

    tbl_actions = new QTableWidget(0, int(std::size(tableColumns)), Frame2);
    tbl_actions->setObjectName(QStringLiteral("tbl_actions"));
    QStringList headers;
    for (const Column &column : tableColumns)
        headers << QString::fromUtf8(column.title);
    tbl_actions->setHorizontalHeaderLabels(headers);
    tbl_actions->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tbl_actions->setSelectionBehavior(QAbstractItemView::SelectRows);
    tbl_actions->setSelectionMode(QAbstractItemView::SingleSelection);
    tbl_actions->verticalHeader()->setVisible(false);
    tbl_actions->horizontalHeader()->setStretchLastSection(true);
    connect(tbl_actions, &QTableWidget::currentCellChanged, this,
        [this](int current) { Data1.moveTo(current); });

    auto *layout = new QVBoxLayout(Frame2);
    layout->addLayout(details);
    layout->addWidget(Data1Bar);
    layout->addWidget(tbl_actions, 1);
    return Frame2;
}

namespace {

QAction *addItem(QMenu *menu, const char *objectName, const char *caption)
{
    QAction *item = menu->addAction(QString::fromUtf8(caption));
    item->setObjectName(QString::fromLatin1(objectName));
    return item;
}

QMenu *addMenu(QMenuBar *bar, const char *objectName, const char *caption)
{
    QMenu *menu = bar->addMenu(QString::fromUtf8(caption));
    menu->setObjectName(QString::fromLatin1(objectName));
    return menu;
}

} // namespace

void frm_main::buildMenus()
{
    QMenuBar *bar = menuBar();
    cap_file = addMenu(bar, "cap_file", "&Fichier");
    mnu_import = addItem(cap_file, "mnu_import", "Importer un projet");
    mnu_export = addItem(cap_file, "mnu_export", "Exporter le projet");
    cap_file->addSeparator();
    mnu_viewreport = addItem(cap_file, "mnu_viewreport", "Voir le fichier RAPPORT.LOG");
    cap_file->addSeparator();
    AddAutostartItem(cap_file, prompter_, this);
    cap_file->addSeparator();
    mnu_exit = addItem(cap_file, "mnu_exit", "&Quitter");

    cap_sync = addMenu(bar, "cap_sync", "Synchronisation");
    mnu_sync = addItem(cap_sync, "mnu_sync", "&Synchroniser >>");
    cap_sync->addSeparator();
    mnu_simulate = addItem(cap_sync, "mnu_simulate", "Simuler la synchronisation");
    cap_sync->addSeparator();
    mnu_scheduler = addItem(cap_sync, "mnu_scheduler", "Synchronisation avec &programmateur");

    cap_template = addMenu(bar, "cap_template", "&Projet");
    mnu_newtemplate = addItem(cap_template, "mnu_newtemplate", "&Nouveau Projet");
    mnu_edittemplate = addItem(cap_template, "mnu_edittemplate", "&Editer le projet");
    mnu_deletetemplate = addItem(cap_template, "mnu_deletetemplate", "Supprimer le projet");
    cap_template->addSeparator();
    mnu_exporttoini = addItem(cap_template, "mnu_exporttoini", "Exporter vers un fichier .INI");

    cap_action = addMenu(bar, "cap_action", "Actions");
    mnu_newaction = addItem(cap_action, "mnu_newaction", "Nouvelle action");
    mnu_editaction = addItem(cap_action, "mnu_editaction", "Editer l'action");
    mnu_deleteaction = addItem(cap_action, "mnu_deleteaction", "Supprimer l'action");

    cap_help = addMenu(bar, "cap_help", "Aide");
    mnu_about = addItem(cap_help, "mnu_about", "A propos ...");
    cap_help->addSeparator();
    Mnu_Aide = addItem(cap_help, "Mnu_Aide", "Comment ça marche ?");
    Mnu_Don = addItem(cap_help, "Mnu_Don", "Faire un don...");

    // Never in the menu bar: the tray icon's context menu.
    cap_sysmenu = new QMenu(QStringLiteral("SysMenu"), this);
    cap_sysmenu->setObjectName(QStringLiteral("cap_sysmenu"));
    mnu_restoreTDRL = addItem(cap_sysmenu, "mnu_restoreTDRL", "Restore TDRL");
    cap_sysmenu->addSeparator();
    mnu_exitTDRL = addItem(cap_sysmenu, "mnu_exitTDRL", "Exit TDRL");

    for (QAction *item : {mnu_export, mnu_exporttoini, mnu_sync, mnu_simulate, mnu_viewreport,
             mnu_edittemplate, mnu_deletetemplate, mnu_newaction, mnu_editaction, mnu_deleteaction})
        item->setEnabled(false);

    const auto on = [this](QAction *item, void (frm_main::*handler)()) {
        connect(item, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
    };
    on(mnu_sync, &frm_main::mnu_sync_Click);
    on(mnu_simulate, &frm_main::mnu_simulate_Click);
    on(mnu_scheduler, &frm_main::mnu_scheduler_Click);
    on(mnu_import, &frm_main::mnu_import_Click);
    on(mnu_export, &frm_main::mnu_export_Click);
    on(mnu_exporttoini, &frm_main::mnu_exporttoini_Click);
    on(mnu_viewreport, &frm_main::mnu_viewreport_Click);
    on(mnu_exit, &frm_main::mnu_exit_Click);
    on(mnu_newtemplate, &frm_main::mnu_newtemplate_Click);
    on(mnu_edittemplate, &frm_main::mnu_edittemplate_Click);
    on(mnu_deletetemplate, &frm_main::mnu_deletetemplate_Click);
    on(mnu_newaction, &frm_main::mnu_newaction_Click);
    on(mnu_editaction, &frm_main::mnu_editaction_Click);
    on(mnu_deleteaction, &frm_main::mnu_deleteaction_Click);
    on(mnu_about, &frm_main::mnu_about_Click);
    on(Mnu_Aide, &frm_main::Mnu_Aide_Click);
    on(Mnu_Don, &frm_main::Mnu_Don_Click);
    on(mnu_restoreTDRL, &frm_main::mnu_restoreTDRL_Click);
    on(mnu_exitTDRL, &frm_main::mnu_exit_Click);
}

bool frm_main::Form_Load(const QString &appDir)
{
    CenterForm(this);
    appDir_ = appDir;
    try {
        projectDb_ = std::make_unique<ProjectDb>(appDir_ + QStringLiteral("Tandrel.mdb"));
        Data1.setDatabase(projectDb_.get());
        Data1.setRowSource(RowSource::allActions());
        Data1.refresh();
        LoadTemplates();
    } catch (const DbError &error) {
        ShowErrorBox(prompter_, this, error.number(), error.description());
        return false;
    }
    LoadTimerSettings();
    watch_ = WatchState();
    return true;
}

void frm_main::LoadTemplates()
{
    const QSignalBlocker blocker(cmb_template);
    cmb_template->clear();
    cmb_template->addItem(NoProject);
    currentTemplateNo_ = 0;
    for (const Project &project : projectDb_->projectsByName())
        cmb_template->addItem(project.name);
    ShowTemplate(NoProject);
}

void frm_main::ShowTemplate(const QString &name)
{
    {
        const QSignalBlocker blocker(cmb_template);
        cmb_template->setCurrentIndex(
            std::max(0, cmb_template->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive)));
    }
    cmb_template_Click();
}

void frm_main::PromjeniViewReportMeni()
{
    const QString text = cmb_template->currentText();
    mnu_viewreport->setText(QStringLiteral("Voir '") + text + QStringLiteral(".log'"));
    mnu_viewreport->setEnabled(text != NoProject);
}

void frm_main::cmb_template_Click()
{
    PromjeniViewReportMeni();
    try {
        const QString name = cmb_template->currentText();
        const std::vector<Project> found
            = name == NoProject ? std::vector<Project> {} : projectDb_->projectsNamed(name);
        if (found.empty()) {
            chooseNoProject();
            return;
        }
        currentTemplateNo_ = found.front().templateNo;
        cmb_template->setToolTip(found.front().description);
        Data1.setRowSource(RowSource::project(currentTemplateNo_));
        Data1.refresh();
    } catch (const DbError &error) {
        showDatabaseError(error);
    }
}

void frm_main::chooseNoProject()
{
    {
        const QSignalBlocker blocker(cmb_template);
        cmb_template->setCurrentIndex(0);
    }
    PromjeniViewReportMeni();
    currentTemplateNo_ = 0;
    cmb_template->setToolTip(QString());
    Data1.setRowSource(RowSource::blank());
    Data1.refresh();
}

void frm_main::Data1_Reposition()
{
    ClearFields();
    if (busyFlag_)
        return;
    fillActionTable();
    const Action *action = Data1.current();
    if (!action)
        return;
    lbl_description->setText(action->description);
    lbl_enabled->setText(action->enabled);
    lbl_filedate->setText(action->fileDate);
    lbl_filesize->setText(action->fileSize);
    lbl_filter->setText(action->fileFilter);
    lbl_fromfolder->setText(action->fromFolder);
    lbl_operator->setText(action->op);
    lbl_tofolder->setText(action->toFolder);
    chk_includesubfolders->setChecked(ReadsAsTrue(action->inclSub));
}

void frm_main::ClearFields()
{
    for (QLabel *label : {lbl_description, lbl_enabled, lbl_filedate, lbl_filesize, lbl_filter,
             lbl_fromfolder, lbl_operator, lbl_tofolder})
        label->clear();
    chk_includesubfolders->setChecked(false);
}

void frm_main::fillActionTable()
{
    const QSignalBlocker blocker(tbl_actions);
    const std::vector<Action> &rows = Data1.rows();
    tbl_actions->setRowCount(int(rows.size()));
    for (int r = 0; r < int(rows.size()); ++r) {
        for (int c = 0; c < int(std::size(tableColumns)); ++c) {
            const QString &text = rows[std::size_t(r)].*tableColumns[c].field;
            auto *item = tbl_actions->item(r, c);
            if (!item)
                tbl_actions->setItem(r, c, item = new QTableWidgetItem);
            item->setText(text);
            item->setToolTip(text);
        }
    }
    tbl_actions->resizeColumnsToContents();
    tbl_actions->setCurrentCell(Data1.currentIndex(), 0);
}

void frm_main::chk_includesubfolders_Click()
{
    if (busyFlag_)
        return;
    const Action *action = Data1.current();
    chk_includesubfolders->setChecked(action && ReadsAsTrue(action->inclSub));
}

void frm_main::showDatabaseError(const std::exception &error)
{
    const auto *dbError = dynamic_cast<const DbError *>(&error);
    ShowErrorBox(prompter_, this, dbError ? dbError->number() : 0,
        dbError ? dbError->description() : QString::fromUtf8(error.what()));
}

void frm_main::Timer1_Timer()
{
    if (busyFlag_)
        return;
    const bool projectChosen = cmb_template->currentText() != NoProject;
    for (QAction *item : {mnu_edittemplate, mnu_deletetemplate, mnu_newaction})
        item->setEnabled(projectChosen);
    const bool actionsPresent = Data1.rowCount() > 0;
    for (QAction *item :
        {mnu_export, mnu_exporttoini, mnu_editaction, mnu_deleteaction, mnu_simulate, mnu_sync})
        item->setEnabled(actionsPresent);
    cmd_sync->setEnabled(actionsPresent);
}

void frm_main::mnu_sync_Click()
{
    // Never two runs at once: while one is going the command does nothing.
    if (runInProgress())
        return;
    runMode_ = ::RunMode::Synchronize;
    if (!readyToRun())
        return;
    bool accepted = false;
    {
        const QScopedValueRollback confirming(confirming_, true);
        frm_question question(showAllInReport_, this);
        accepted = question.exec() == QDialog::Accepted;
    }
    if (accepted)
        startRun();
}

void frm_main::mnu_simulate_Click()
{
    if (runInProgress())
        return;
    runMode_ = ::RunMode::Simulate;
    if (!readyToRun())
        return;
    QMessageBox::StandardButton answer = QMessageBox::No;
    {
        const QScopedValueRollback confirming(confirming_, true);
        answer = prompter_.message(this, Prompter::Icon::Question, RunModeText(runMode_),
            QStringLiteral("Confirmez la synchronisation des fichiers avec les actions définies ?"),
            QMessageBox::Yes | QMessageBox::No);
    }
    if (answer != QMessageBox::No)
        startRun();
}

bool frm_main::readyToRun()
{
    if (cmb_template->currentText() == NoProject)
        return false;
    if (Data1.rowCount() == 0) {
        prompter_.critical(this, QStringLiteral("Erreur"),
            QStringLiteral("Pas d'action définie! Créez une nouvelle action puis réessayez !"));
        return false;
    }
    return true;
}

void frm_main::cmd_sync_Click()
{
    closeFinishedRunWindows();
    mnu_sync_Click();
}

void frm_main::closeFinishedRunWindows()
{
    // A window whose run is still going refuses to close.
    for (const QPointer<frm_sync> &window : std::as_const(syncWindows_))
        if (window)
            window->close();
}

frm_sync *frm_main::syncWindow() const
{
    for (auto it = syncWindows_.crbegin(); it != syncWindows_.crend(); ++it)
        if (*it)
            return *it;
    return nullptr;
}

bool frm_main::runInProgress() const
{
    return std::any_of(syncWindows_.begin(), syncWindows_.end(),
        [](const QPointer<frm_sync> &window) { return window && !window->isFinished(); });
}

frm_sync *frm_main::startRun()
{
    RunRequest request;
    request.projectName = cmb_template->currentText();
    request.appDir = appDir_;
    request.mode = runMode_;
    request.showAllInReport = showAllInReport_;
    request.actions = Data1.rows();
    syncWindows_.removeAll(nullptr);
    auto *window = new frm_sync(std::move(request), prompter_, run_);
    window->setAttribute(Qt::WA_DeleteOnClose);
    // Closing a run window brings back a hidden main window, except after a scheduled run:
    // the program then stays in the tray where the user left it.
    connect(
        window, &QObject::destroyed, this, [this, scheduled = runMode_ == ::RunMode::Scheduler] {
            if (!closing_ && !isVisible() && !scheduled)
                mnu_restoreTDRL_Click();
        });
    connect(window, &frm_sync::runStarted, this, [this] { setBusyFlag(true); });
    connect(window, &frm_sync::runFinished, this, [this] { runFinished(); });
    syncWindows_.append(window);
    window->show();
    return window;
}

void frm_main::runFinished()
{
    setBusyFlag(false);
    try {
        Data1.refresh();
    } catch (const DbError &error) {
        showDatabaseError(error);
    }
}

template <typename Write> bool frm_main::guardedWrite(Write write)
{
    try {
        write();
        return true;
    } catch (const DbError &error) {
        showDatabaseError(error);
        return false;
    }
}

void frm_main::mnu_newtemplate_Click()
{
    const auto save = [this](const QString &name, const QString &description) {
        return guardedWrite([&] {
            projectDb_->addProject(name, description);
            LoadTemplates();
            ShowTemplate(name);
        });
    };
    frm_templates editor(QString(), QString(), save, prompter_, this);
    editor.setWindowTitle(frm_templates::NewTitle);
    editor.exec();
}

void frm_main::mnu_edittemplate_Click()
{
    if (cmb_template->currentText() == NoProject)
        return;
    const qint64 templateNo = currentTemplateNo_;
    std::optional<Project> project;
    if (!guardedWrite([&] { project = projectDb_->project(templateNo); }) || !project)
        return;
    const auto save = [this, templateNo](const QString &name, const QString &description) {
        return guardedWrite([&] {
            projectDb_->updateProject(templateNo, name, description);
            LoadTemplates();
            ShowTemplate(name);
        });
    };
    frm_templates editor(project->name, project->description, save, prompter_, this);
    editor.setWindowTitle(frm_templates::EditTitle);
    editor.exec();
}

void frm_main::mnu_deletetemplate_Click()
{
    if (cmb_template->currentText() == NoProject)
        return;
    const qint64 templateNo = currentTemplateNo_;
    if (!prompter_.question(this, QStringLiteral("Suppression d'un projet"),
            QStringLiteral("Confirmez la suppression du projet en cours ?")))
        return;
    guardedWrite([&] {
        projectDb_->deleteProject(templateNo);
        LoadTemplates();
    });
}

void frm_main::mnu_newaction_Click()
{
    if (currentTemplateNo_ == 0) {
        prompter_.critical(
            this, QStringLiteral("Erreur"), QStringLiteral("Sélectionnez un projet SVP.!"));
        cmb_template->setFocus();
        return;
    }
    Action blank;
    blank.templateNo = currentTemplateNo_;
    const auto save = [this, templateNo = blank.templateNo](const Action &edited) {
        Action action = edited;
        action.actionNo = 0;
        action.templateNo = templateNo;
        return guardedWrite([&] {
            {
                const BusyScope busy(*this);
                projectDb_->addAction(action);
            }
            Data1.refresh();
        });
    };
    frm_action editor(blank, save, prompter_, this);
    editor.setWindowTitle(frm_action::NewTitle);
    editor.exec();
}

void frm_main::mnu_editaction_Click()
{
    const Action *current = Data1.current();
    if (Data1.rowCount() == 0 || !current)
        return;
    const Action opened = *current;
    const auto save = [this, opened](const Action &edited) {
        Action action = edited;
        action.actionNo = opened.actionNo;
        action.templateNo = opened.templateNo;
        return guardedWrite([&] {
            projectDb_->updateAction(action);
            // Show the new values, keeping the edited row current when it is still listed.
            Data1.refresh();
            const std::vector<Action> &rows = Data1.rows();
            for (int i = 0; i < int(rows.size()); ++i)
                if (rows[std::size_t(i)].actionNo == action.actionNo)
                    Data1.moveTo(i);
        });
    };
    frm_action editor(opened, save, prompter_, this);
    editor.setWindowTitle(frm_action::EditTitle);
    editor.exec();
}

void frm_main::mnu_deleteaction_Click()
{
    const Action *current = Data1.current();
    if (Data1.rowCount() == 0 || !current)
        return;
    const qint64 actionNo = current->actionNo;
    if (!prompter_.question(this, QStringLiteral("Suppression"),
            QStringLiteral("Confirmez la suppression de l'action sélectionnée?")))
        return;
    guardedWrite([&] {
        projectDb_->deleteAction(actionNo);
        Data1.refresh();
    });
}

namespace {

const QString projectFilter = QStringLiteral("Projet Tandrel (*.TDRL)");

} // namespace

void frm_main::mnu_export_Click()
{
    const QString name = cmb_template->currentText();
    if (name == NoProject)
        return;
    // The scheduler may choose another project while the file dialog is open.
    const qint64 templateNo = currentTemplateNo_;
    const QString path = prompter_.saveFileName(this, QStringLiteral("*.TDRL (Projet Tandrel)"),
        appDir_, name + QStringLiteral(".TDRL"), projectFilter, QStringLiteral("TDRL"));
    if (path.isEmpty())
        return;
    if (!IsProjectFileName(path)) {
        prompter_.critical(this, QStringLiteral("Erreur"),
            QStringLiteral("Erreur dans le nom du fichier projet!"));
        return;
    }
    Data1.moveFirst();
    ExchangeResult result;
    {
        const BusyScope busy(*this);
        result = ExportProject(*projectDb_, templateNo, path);
    }
    Data1.moveFirst();
    if (!result.ok) {
        prompter_.critical(this, QStringLiteral("Erreur"), result.error);
        return;
    }
    prompter_.information(this, QStringLiteral("Information"),
        QStringLiteral("Projet exporté avec succès vers :\r") + path + QStringLiteral("\r\rNom : ")
            + result.projectName + QStringLiteral(", actions#: ")
            + QString::number(result.actions));
}

void frm_main::mnu_import_Click()
{
    const QString path = prompter_.openFileName(this, QStringLiteral("*.TDRL - (Projet Tandrel)"),
        appDir_, QStringLiteral("*.TDRL"), projectFilter);
    if (path.isEmpty())
        return;
    if (!IsProjectFileName(path)) {
        prompter_.critical(
            this, QStringLiteral("Erreur"), QStringLiteral("Erreur dans le nom du projet!"));
        return;
    }
    if (!FileExists(path)) {
        prompter_.critical(
            this, QStringLiteral("Erreur"), QStringLiteral("Ne peut ouvrir le fichier : ") + path);
        return;
    }
    const QString name = ProjectNameInFile(path);
    try {
        if (!name.isEmpty() && TemplateExists(*projectDb_, name)) {
            if (prompter_.message(this, Prompter::Icon::Warning,
                    QStringLiteral("Remplacement de projet"),
                    QStringLiteral("Projet de même nom : ") + name
                        + QStringLiteral(" déjà existant!\r\rRemplacer le projet existant?"),
                    QMessageBox::Yes | QMessageBox::No)
                != QMessageBox::Yes)
                return;
            // The existing project, whatever the case of its name, goes through the deletion
            // command with its own confirmation.
            {
                const QSignalBlocker blocker(cmb_template);
                cmb_template->setCurrentIndex(
                    std::max(0, cmb_template->findText(name, Qt::MatchFixedString)));
            }
            cmb_template_Click();
            mnu_deletetemplate_Click();
            LoadTemplates();
            if (TemplateExists(*projectDb_, name))
                return;
        }
    } catch (const DbError &error) {
        showDatabaseError(error);
        return;
    }
    ExchangeResult result;
    {
        const BusyScope busy(*this);
        result = ImportProject(*projectDb_, path);
    }
    if (!result.ok) {
        prompter_.critical(this, QStringLiteral("Erreur"), result.error);
        return;
    }
    LoadTemplates();
    ShowTemplate(result.projectName);
    Data1.moveFirst();
    prompter_.information(this, QStringLiteral("Information"),
        QStringLiteral("Projet importé avec succès depuis :\r") + path
            + QStringLiteral("\r\rNom : ") + cmb_template->currentText()
            + QStringLiteral(", actions#: ") + QString::number(Data1.rowCount()));
}

void frm_main::mnu_exporttoini_Click()
{
    const QString name = cmb_template->currentText();
    if (name == NoProject)
        return;
    if (!prompter_.question(this, QStringLiteral("Création d'un fichier .INI"),
            QStringLiteral("Confirmez la création d'un fichier .INI pour le projet en cours : ")
                + name + QStringLiteral(" ?")))
        return;
    const bool saveReport = prompter_.question(this, QStringLiteral("Sauvegarde du rapport"),
        QStringLiteral("Voulez vous sauvegarder le rapport <TDRL> avant de quitter?"));
    // As every INI write, a file that cannot be written is not reported.
    WriteCompanionFile(appDir_, name, saveReport);
    prompter_.information(this, QStringLiteral("Création du fichier INI "),
        QStringLiteral("Fichier INI crée sous : ") + appDir_
            + QStringLiteral("TDRL_Exe.ini\rProjet : ") + name
            + QStringLiteral("\r\rNota : Renommer le fichier TDRL_Exe.ini en TDRL_Exe.exe."));
}

void frm_main::mnu_viewreport_Click()
{
    ViewReport(this, appDir_, cmb_template->currentText(), prompter_, open_);
}

void frm_main::Mnu_Aide_Click()
{
    ShowHelp(this, prompter_);
}

void frm_main::Mnu_Don_Click()
{
    OpenDonationPage(open_);
}

void frm_main::mnu_about_Click()
{
    frmAbout about(prompter_, open_, this);
    about.exec();
}

void frm_main::mnu_exit_Click()
{
    close();
}

void frm_main::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange)
        return;
    if (isMinimized())
        minimiseToTray();
    else
        removeTrayIcon();
}

void frm_main::minimiseToTray()
{
    // Without a notification area the window stays an ordinary minimised window.
    if (!QSystemTrayIcon::isSystemTrayAvailable() || trayIcon_)
        return;
    trayIcon_ = new QSystemTrayIcon(AppIcon(), this);
    trayIcon_->setObjectName(QStringLiteral("trayIcon"));
    trayIcon_->setToolTip(windowTitle());
    trayIcon_->setContextMenu(cap_sysmenu);
    connect(trayIcon_, &QSystemTrayIcon::activated, this,
        [this](QSystemTrayIcon::ActivationReason reason) {
            if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::Context)
                mnu_restoreTDRL_Click();
        });
    trayIcon_->show();
    // Hiding inside the state change confuses some window managers: hide once it is done.
    QTimer::singleShot(0, this, [this] {
        if (trayIcon_ && isMinimized())
            hide();
    });
}

void frm_main::removeTrayIcon()
{
    if (!trayIcon_)
        return;
    trayIcon_->hide();
    trayIcon_->deleteLater();
    trayIcon_ = nullptr;
}

void frm_main::mnu_restoreTDRL_Click()
{
    setWindowState(windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
    show();
    raise();
    activateWindow();
    removeTrayIcon();
}

void frm_main::closeEvent(QCloseEvent *event)
{
    // Nothing refuses the end of the program; windows that stay open are deleted with the
    // program, and a run still going is stopped by its window.
    closing_ = true;
    removeTrayIcon();
    for (QWidget *window : QApplication::topLevelWidgets())
        if (window != this && window->isVisible())
            window->close();
    event->accept();
    QCoreApplication::quit();
}
