#include "frm_main.h"

#include "app_icon.h"
#include "autostart_item.h"
#include "db_error.h"
#include "error_box.h"
#include "frm_about.h"
#include "frm_question.h"
#include "help_text.h"
#include "main_view.h"
#include "missed_run_check.h"
#include "navigation_bar.h"
#include "project_commands.h"
#include "project_db.h"
#include "prompter.h"
#include "report_viewer.h"
#include "run_notifier.h"
#include "scheduler_indicator.h"
#include "window_helpers.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QMenu>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QShortcut>
#include <QSystemTrayIcon>
#include <QTableWidget>
#include <QTimer>

frm_main::frm_main(
    Prompter &prompter, RunFunction run, UrlOpener open, Clock clock, QWidget *parent)
    : QMainWindow(parent)
    , prompter_(prompter)
    , run_(std::move(run))
    , open_(std::move(open))
    , clock_(std::move(clock))
    , Data1(this)
{
    // The program ends when this window closes, not when the last window does: a run window
    // may close while this one waits hidden in the tray.
    QApplication::setQuitOnLastWindowClosed(false);
    setWindowIcon(AppIcon());
    setObjectName(QStringLiteral("frm_main"));
    Data1.setObjectName(QStringLiteral("Data1"));
    view_ = std::make_unique<MainView>(*this);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(250);
    tmr_sch = new QTimer(this);
    tmr_sch->setObjectName(QStringLiteral("tmr_sch"));
    tmr_sch->setInterval(1000);
    missedRuns_ = new MissedRunCheck(QDBusConnection::systemBus(), this);
    notifier_ = new RunNotifier(
        QDBusConnection::sessionBus(),
        [this](const QString &title, const QString &text, bool critical) {
            // Without a notification service, only the icon in the tray can tell.
            if (trayIcon_ && trayIcon_->isVisible())
                trayIcon_->showMessage(title, text,
                    critical ? QSystemTrayIcon::Critical : QSystemTrayIcon::Information);
        },
        [this](const QString &appDir, const QString &project) {
            ViewReport(this, appDir, project, prompter_, open_);
        },
        this);
    connectHandlers();
    Timer1->start();
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

void frm_main::connectHandlers()
{
    MainView &v = *view_;
    // "Démarrer avec la session" sits just above "Quitter".
    QAction *autostart = AddAutostartItem(v.cap_file, prompter_, this);
    v.cap_file->insertAction(v.mnu_exit, autostart);
    v.cap_file->insertSeparator(v.mnu_exit);
    connect(&Data1, &ActionBrowser::reposition, this, &frm_main::Data1_Reposition);
    connect(Timer1, &QTimer::timeout, this, &frm_main::Timer1_Timer);
    connect(tmr_sch, &QTimer::timeout, this, &frm_main::tmr_sch_Timer);
    connect(v.cmb_template, &QComboBox::activated, this, [this] { cmb_template_Click(); });
    connect(v.chk_includesubfolders, &QCheckBox::clicked, this,
        [this] { chk_includesubfolders_Click(); });
    connect(v.Data1Bar, &NavigationBar::first, &Data1, &ActionBrowser::moveFirst);
    connect(v.Data1Bar, &NavigationBar::previous, &Data1, &ActionBrowser::movePrevious);
    connect(v.Data1Bar, &NavigationBar::next, &Data1, &ActionBrowser::moveNext);
    connect(v.Data1Bar, &NavigationBar::last, &Data1, &ActionBrowser::moveLast);
    connect(v.tbl_actions, &QTableWidget::currentCellChanged, this,
        [this](int current) { Data1.moveTo(current); });
    connect(v.cmd_sync, &QPushButton::clicked, this, [this] { cmd_sync_Click(); });
    connect(
        v.tbl_actions, &QTableWidget::cellDoubleClicked, this, [this] { mnu_editaction_Click(); });
    // ESC stops the run from here too, so that a run window behind this one is no trap.
    connect(new QShortcut(Qt::Key_Escape, this), &QShortcut::activated, this, [this] {
        for (const QPointer<frm_sync> &window : std::as_const(syncWindows_))
            if (window)
                window->stopRun();
    });
    for (IndicatorImage *image : {v.Img_Green, v.Img_Red})
        connect(image, &IndicatorImage::doubleClicked, this, [this] { mnu_scheduler_Click(); });

    const auto on = [this](QAction *item, void (frm_main::*handler)()) {
        connect(item, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
    };
    on(v.mnu_sync, &frm_main::mnu_sync_Click);
    on(v.mnu_simulate, &frm_main::mnu_simulate_Click);
    on(v.mnu_scheduler, &frm_main::mnu_scheduler_Click);
    on(v.mnu_import, &frm_main::mnu_import_Click);
    on(v.mnu_export, &frm_main::mnu_export_Click);
    on(v.mnu_exporttoini, &frm_main::mnu_exporttoini_Click);
    on(v.mnu_viewreport, &frm_main::mnu_viewreport_Click);
    on(v.mnu_exit, &frm_main::mnu_exit_Click);
    on(v.mnu_newtemplate, &frm_main::mnu_newtemplate_Click);
    on(v.mnu_edittemplate, &frm_main::mnu_edittemplate_Click);
    on(v.mnu_deletetemplate, &frm_main::mnu_deletetemplate_Click);
    on(v.mnu_newaction, &frm_main::mnu_newaction_Click);
    on(v.mnu_editaction, &frm_main::mnu_editaction_Click);
    on(v.mnu_deleteaction, &frm_main::mnu_deleteaction_Click);
    on(v.mnu_about, &frm_main::mnu_about_Click);
    on(v.Mnu_Aide, &frm_main::Mnu_Aide_Click);
    on(v.Mnu_Don, &frm_main::Mnu_Don_Click);
    on(v.mnu_restoreTDRL, &frm_main::mnu_restoreTDRL_Click);
    on(v.mnu_exitTDRL, &frm_main::mnu_exit_Click);
}

bool frm_main::Form_Load(const QString &appDir)
{
    FitToScreen(this);
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
    commands_
        = std::make_unique<ProjectCommands>(*this, *view_, prompter_, *projectDb_, Data1, appDir_);
    LoadTimerSettings();
    watch_ = WatchState();
    return true;
}

void frm_main::LoadTemplates()
{
    currentTemplateNo_ = 0;
    view_->showProjects(projectDb_->projectsByName());
    ShowTemplate(MainView::NoProject);
}

void frm_main::ShowTemplate(const QString &name)
{
    view_->choose(std::max(
        0, view_->cmb_template->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive)));
    cmb_template_Click();
}

bool frm_main::chooseProject(const QString &name)
{
    QComboBox *list = view_->cmb_template;
    int index = list->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index < 0)
        index = list->findText(name, Qt::MatchFixedString);
    if (index <= 0) // "- Aucun -" is no project
        return false;
    view_->choose(index);
    cmb_template_Click();
    return currentTemplateNo_ != 0;
}

void frm_main::PromjeniViewReportMeni()
{
    view_->showReportItem();
}

void frm_main::cmb_template_Click()
{
    PromjeniViewReportMeni();
    try {
        const std::vector<Project> found = view_->projectChosen()
            ? projectDb_->projectsNamed(view_->chosenName())
            : std::vector<Project> {};
        if (found.empty()) {
            chooseNoProject();
            return;
        }
        currentTemplateNo_ = found.front().templateNo;
        view_->showDescription(found.front().description);
        Data1.setRowSource(RowSource::project(currentTemplateNo_));
        Data1.refresh();
    } catch (const DbError &error) {
        showDatabaseError(error);
    }
}

void frm_main::chooseNoProject()
{
    view_->choose(0);
    PromjeniViewReportMeni();
    currentTemplateNo_ = 0;
    view_->showDescription(QString());
    Data1.setRowSource(RowSource::blank());
    Data1.refresh();
}

void frm_main::Data1_Reposition()
{
    ClearFields();
    if (busyFlag_)
        return;
    view_->showActions(Data1.rows(), Data1.currentIndex());
    view_->showAction(Data1.current());
}

void frm_main::ClearFields()
{
    view_->showAction(nullptr);
}

void frm_main::chk_includesubfolders_Click()
{
    if (busyFlag_)
        return;
    const Action *action = Data1.current();
    view_->chk_includesubfolders->setChecked(action && ReadsAsTrue(action->inclSub));
}

void frm_main::showDatabaseError(const std::exception &error)
{
    const auto *dbError = dynamic_cast<const DbError *>(&error);
    ShowErrorBox(prompter_, this, dbError ? dbError->number() : 0,
        dbError ? dbError->description() : QString::fromUtf8(error.what()));
}

void frm_main::Timer1_Timer()
{
    keepReachable();
    if (!busyFlag_)
        view_->showCommandStates(view_->projectChosen(), Data1.rowCount() > 0);
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
    if (!view_->projectChosen())
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
    for (const QPointer<frm_sync> &window : std::as_const(syncWindows_))
        if (window && window->isFinished())
            window->close();
}

bool frm_main::runInProgress() const
{
    return std::any_of(syncWindows_.begin(), syncWindows_.end(),
        [](const QPointer<frm_sync> &window) { return window && !window->isFinished(); });
}

frm_sync *frm_main::startRun()
{
    const QString project = view_->chosenName();
    auto lock = std::make_unique<RunLock>(appDir_, project);
    const RunLock::Result locked = lock->tryLock();
    if (locked != RunLock::Result::Taken) {
        prompter_.critical(this, QStringLiteral("Erreur"),
            locked == RunLock::Result::Busy
                ? QStringLiteral("Le projet « %1 » est déjà en cours de synchronisation (par "
                                 "tandrel-cli ?). Réessayez quand ce passage sera terminé.")
                      .arg(project)
                : QStringLiteral("Impossible de créer le verrou du projet : %1").arg(lock->path()));
        return nullptr;
    }
    runLock_ = std::move(lock);
    sleepInhibitor_ = std::make_unique<SleepInhibitor>(RunInhibitReason(project));
    RunRequest request;
    request.projectName = project;
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
    connect(window, &frm_sync::runStarted, this, [this] {
        setBusyFlag(true);
        view_->showRunning(true);
    });
    connect(window, &frm_sync::runFinished, this,
        [this, window](const RunOutcome &outcome) { runFinished(window->request(), outcome); });
    syncWindows_.append(window);
    window->show();
    return window;
}

void frm_main::runFinished(const RunRequest &request, const RunOutcome &outcome)
{
    sleepInhibitor_.reset();
    runLock_.reset();
    if (!closing_ && RunNotifier::Unwatched(request.mode, *this))
        notifier_->notify(request, outcome);
    setBusyFlag(false);
    view_->showRunning(false);
    try {
        Data1.refresh();
    } catch (const DbError &error) {
        showDatabaseError(error);
    }
}

void frm_main::mnu_newtemplate_Click()
{
    if (!runInProgress())
        commands_->newProject();
}

void frm_main::mnu_edittemplate_Click()
{
    if (!runInProgress())
        commands_->editProject();
}

void frm_main::mnu_deletetemplate_Click()
{
    if (!runInProgress())
        commands_->deleteProject();
}

void frm_main::mnu_newaction_Click()
{
    if (!runInProgress())
        commands_->newAction();
}

void frm_main::mnu_editaction_Click()
{
    if (!runInProgress())
        commands_->editAction();
}

void frm_main::mnu_deleteaction_Click()
{
    if (!runInProgress())
        commands_->deleteAction();
}

void frm_main::mnu_export_Click()
{
    commands_->exportProject();
}

void frm_main::mnu_import_Click()
{
    if (!runInProgress())
        commands_->importProject();
}

void frm_main::mnu_exporttoini_Click()
{
    commands_->exportToIni();
}

void frm_main::mnu_viewreport_Click()
{
    ViewReport(this, appDir_, view_->chosenName(), prompter_, open_);
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
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return;
    if (!trayIcon_)
        createTrayIcon();
    trayIcon_->setToolTip(windowTitle());
    trayIcon_->show();
    // Hiding inside the state change confuses some window managers: hide once it is done.
    QTimer::singleShot(0, this, [this] {
        if (trayIcon_ && trayIcon_->isVisible() && isMinimized())
            hide();
    });
}

void frm_main::createTrayIcon()
{
    // No context menu: a release of either button restores the window, and a menu opened by
    // the same click would be torn down with the icon. The restore waits until the icon has
    // finished handling its click, since hiding the icon destroys its window.
    trayIcon_ = new QSystemTrayIcon(AppIcon(), this);
    trayIcon_->setObjectName(QStringLiteral("trayIcon"));
    connect(
        trayIcon_, &QSystemTrayIcon::activated, this,
        [this](QSystemTrayIcon::ActivationReason reason) {
            if (reason != QSystemTrayIcon::MiddleClick && trayIcon_->isVisible())
                mnu_restoreTDRL_Click();
        },
        Qt::QueuedConnection);
}

void frm_main::removeTrayIcon()
{
    if (trayIcon_)
        trayIcon_->hide();
}

void frm_main::keepReachable()
{
    // A tray host that goes away takes the icon with it: the window goes back to the task bar.
    if (trayIcon_ && trayIcon_->isVisible() && !isVisible()
        && !QSystemTrayIcon::isSystemTrayAvailable()) {
        removeTrayIcon();
        showMinimized();
    }
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
    // Nothing refuses the end of the program. A run still going is cancelled and its window,
    // which would refuse to close, is hidden: the window's end, with this one's, waits for the
    // cancellation block to be written and saved.
    closing_ = true;
    removeTrayIcon();
    for (const QPointer<frm_sync> &window : std::as_const(syncWindows_)) {
        if (window && !window->isFinished()) {
            window->stopRun();
            window->hide();
        }
    }
    for (QWidget *window : QApplication::topLevelWidgets())
        if (window != this && window->isVisible())
            window->close();
    event->accept();
    QCoreApplication::quit();
}
