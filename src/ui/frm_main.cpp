#include "frm_main.h"

#include "db_error.h"
#include "error_box.h"
#include "frm_question.h"
#include "navigation_bar.h"
#include "project_db.h"
#include "prompter.h"
#include "window_helpers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalBlocker>
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

frm_main::frm_main(Prompter &prompter, RunFunction run, QWidget *parent)
    : QMainWindow(parent)
    , prompter_(prompter)
    , run_(std::move(run))
    , Data1(this)
{
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
}

frm_main::~frm_main()
{
    // Run windows have no parent; a run still going is stopped by its window.
    for (const QPointer<frm_sync> &window : std::as_const(syncWindows_))
        delete window.data();
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
    auto *commands = new QHBoxLayout;
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

void frm_main::buildMenus()
{
    cap_sync = menuBar()->addMenu(QStringLiteral("Synchronisation"));
    cap_sync->setObjectName(QStringLiteral("cap_sync"));
    mnu_sync = cap_sync->addAction(QStringLiteral("&Synchroniser >>"));
    mnu_sync->setObjectName(QStringLiteral("mnu_sync"));
    cap_sync->addSeparator();
    mnu_simulate = cap_sync->addAction(QStringLiteral("Simuler la synchronisation"));
    mnu_simulate->setObjectName(QStringLiteral("mnu_simulate"));
    cap_sync->addSeparator();
    mnu_scheduler = cap_sync->addAction(QStringLiteral("Synchronisation avec &programmateur"));
    mnu_scheduler->setObjectName(QStringLiteral("mnu_scheduler"));
    mnu_scheduler->setEnabled(false); // the scheduler dialog is not there yet
    for (QAction *item : {mnu_sync, mnu_simulate})
        item->setEnabled(false);
    connect(mnu_sync, &QAction::triggered, this, [this] { mnu_sync_Click(); });
    connect(mnu_simulate, &QAction::triggered, this, [this] { mnu_simulate_Click(); });
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

void frm_main::cmb_template_Click()
{
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
    const bool actionsPresent = Data1.rowCount() > 0;
    mnu_simulate->setEnabled(actionsPresent);
    mnu_sync->setEnabled(actionsPresent);
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
    frm_question question(showAllInReport_, this);
    if (question.exec() == QDialog::Accepted)
        startRun();
}

void frm_main::mnu_simulate_Click()
{
    if (runInProgress())
        return;
    runMode_ = ::RunMode::Simulate;
    if (!readyToRun())
        return;
    if (prompter_.message(this, Prompter::Icon::Question, RunModeText(runMode_),
            QStringLiteral("Confirmez la synchronisation des fichiers avec les actions définies ?"),
            QMessageBox::Yes | QMessageBox::No)
        != QMessageBox::No)
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
    // A window whose run is still going refuses to close.
    for (const QPointer<frm_sync> &window : std::as_const(syncWindows_))
        if (window)
            window->close();
    mnu_sync_Click();
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

void frm_main::startRun()
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
    connect(window, &frm_sync::runStarted, this, [this] { setBusyFlag(true); });
    connect(window, &frm_sync::runFinished, this, [this] { runFinished(); });
    syncWindows_.append(window);
    window->show();
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
