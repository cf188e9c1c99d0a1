#include "main_view.h"

#include "navigation_bar.h"
#include "scheduler_indicator.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

const QString MainView::NoProject = QStringLiteral("- Aucun -");

namespace {

// Texts of any length may be stored; laying out hundreds of megabytes would exhaust the memory.
QString shown(const QString &text)
{
    constexpr qsizetype longest = 4096;
    return text.size() <= longest ? text : text.left(longest) + QChar(0x2026);
}

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
    {"Versions conservées", &Action::keepVersions},
};

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

MainView::MainView(QMainWindow &window)
    : window_(window)
{
    window.setWindowTitle(QStringLiteral("Tandrel"));
    auto *central = new QWidget(&window);
    auto *layout = new QVBoxLayout(central);
    layout->addWidget(buildProjectFrame());
    layout->addWidget(buildActionFrame(), 1);

    cmd_sync = new QPushButton(QStringLiteral("&Synchroniser >>"), central);
    cmd_sync->setObjectName(QStringLiteral("cmd_sync"));
    cmd_sync->setEnabled(false);
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
    }
    commands->addStretch(1);
    commands->addWidget(cmd_sync);
    layout->addLayout(commands);
    window.setCentralWidget(central);
    window.resize(820, 600);
    buildMenus();
}

QGroupBox *MainView::buildProjectFrame()
{
    auto *frame = new QGroupBox(QStringLiteral("Sélection des projets"), &window_);
    frame->setObjectName(QStringLiteral("Frame1"));
    cmb_template = new QComboBox(frame);
    cmb_template->setObjectName(QStringLiteral("cmb_template"));
    cmb_template->addItem(NoProject);
    auto *layout = new QVBoxLayout(frame);
    layout->addWidget(cmb_template);
    return frame;
}

QGroupBox *MainView::buildActionFrame()
{
    auto *frame = new QGroupBox(QStringLiteral("Actions"), &window_);
    frame->setObjectName(QStringLiteral("Frame2"));
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
        auto *caption = new QLabel(QString::fromUtf8(entry.caption), frame);
        caption->setObjectName(QStringLiteral("Label5"));
        *entry.label = makeValueLabel(QString::fromLatin1(entry.name), frame);
        details->addWidget(caption, row, 0);
        details->addWidget(*entry.label, row, 1);
        ++row;
    }
    details->setColumnStretch(1, 1);

    chk_includesubfolders = new QCheckBox(QStringLiteral("Inclure les sous-dossiers"), frame);
    chk_includesubfolders->setObjectName(QStringLiteral("chk_includesubfolders"));
    details->addWidget(chk_includesubfolders, row, 1);

    Data1Bar = new NavigationBar(QStringLiteral("Data1"), frame);
    Data1Bar->setObjectName(QStringLiteral("Data1Bar"));

    tbl_actions = new QTableWidget(0, int(std::size(tableColumns)), frame);
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

    auto *layout = new QVBoxLayout(frame);
    layout->addLayout(details);
    layout->addWidget(Data1Bar);
    layout->addWidget(tbl_actions, 1);
    return frame;
}

void MainView::buildMenus()
{
    QMenuBar *bar = window_.menuBar();
    cap_file = addMenu(bar, "cap_file", "&Fichier");
    mnu_import = addItem(cap_file, "mnu_import", "Importer un projet");
    mnu_export = addItem(cap_file, "mnu_export", "Exporter le projet");
    cap_file->addSeparator();
    mnu_viewreport = addItem(cap_file, "mnu_viewreport", "Voir le fichier RAPPORT.LOG");
    cap_file->addSeparator();
    mnu_exit = addItem(cap_file, "mnu_exit", "&Quitter");

    QMenu *cap_sync = addMenu(bar, "cap_sync", "S&ynchronisation");
    mnu_sync = addItem(cap_sync, "mnu_sync", "&Synchroniser >>");
    cap_sync->addSeparator();
    mnu_simulate = addItem(cap_sync, "mnu_simulate", "Simuler la synchronisation");
    cap_sync->addSeparator();
    mnu_scheduler = addItem(cap_sync, "mnu_scheduler", "Synchronisation avec &programmateur");

    QMenu *cap_template = addMenu(bar, "cap_template", "&Projet");
    mnu_newtemplate = addItem(cap_template, "mnu_newtemplate", "&Nouveau Projet");
    mnu_edittemplate = addItem(cap_template, "mnu_edittemplate", "&Editer le projet");
    mnu_deletetemplate = addItem(cap_template, "mnu_deletetemplate", "Supprimer le projet");
    cap_template->addSeparator();
    mnu_exporttoini = addItem(cap_template, "mnu_exporttoini", "Exporter vers un fichier .INI");

    QMenu *cap_action = addMenu(bar, "cap_action", "&Actions");
    mnu_newaction = addItem(cap_action, "mnu_newaction", "Nouvelle action");
    mnu_editaction = addItem(cap_action, "mnu_editaction", "Editer l'action");
    mnu_deleteaction = addItem(cap_action, "mnu_deleteaction", "Supprimer l'action");

    QMenu *cap_help = addMenu(bar, "cap_help", "Ai&de");
    mnu_about = addItem(cap_help, "mnu_about", "A propos ...");
    cap_help->addSeparator();
    Mnu_Aide = addItem(cap_help, "Mnu_Aide", "Comment ça marche ?");
    Mnu_Don = addItem(cap_help, "Mnu_Don", "Faire un don...");

    // Never shown: a click on the tray icon restores the window (mnu_restoreTDRL) and
    // "&Quitter" ends the program (mnu_exitTDRL); a menu on the icon would fight the restore.
    cap_sysmenu = new QMenu(QStringLiteral("SysMenu"), &window_);
    cap_sysmenu->setObjectName(QStringLiteral("cap_sysmenu"));
    mnu_restoreTDRL = addItem(cap_sysmenu, "mnu_restoreTDRL", "Restore TDRL");
    cap_sysmenu->addSeparator();
    mnu_exitTDRL = addItem(cap_sysmenu, "mnu_exitTDRL", "Exit TDRL");

    for (QAction *item : {mnu_export, mnu_exporttoini, mnu_sync, mnu_simulate, mnu_viewreport,
             mnu_edittemplate, mnu_deletetemplate, mnu_newaction, mnu_editaction, mnu_deleteaction})
        item->setEnabled(false);
}

void MainView::showProjects(const std::vector<Project> &projects)
{
    const QSignalBlocker blocker(cmb_template);
    cmb_template->clear();
    cmb_template->addItem(NoProject);
    for (const Project &project : projects)
        cmb_template->addItem(project.name);
}

void MainView::choose(int index)
{
    const QSignalBlocker blocker(cmb_template);
    cmb_template->setCurrentIndex(index);
}

QString MainView::chosenName() const
{
    return cmb_template->currentText();
}

bool MainView::projectChosen() const
{
    return chosenName() != NoProject;
}

QStringList MainView::projectNames() const
{
    QStringList names;
    for (int i = 0; i < cmb_template->count(); ++i)
        names << cmb_template->itemText(i);
    return names;
}

void MainView::showDescription(const QString &description)
{
    cmb_template->setToolTip(shown(description));
}

void MainView::showAction(const Action *action)
{
    const Action none;
    const Action &shownAction = action ? *action : none;
    lbl_description->setText(shown(shownAction.description));
    lbl_enabled->setText(shown(shownAction.enabled));
    lbl_filedate->setText(shown(shownAction.fileDate));
    lbl_filesize->setText(shown(shownAction.fileSize));
    lbl_filter->setText(shown(shownAction.fileFilter));
    lbl_fromfolder->setText(shown(shownAction.fromFolder));
    lbl_operator->setText(shown(shownAction.op));
    lbl_tofolder->setText(shown(shownAction.toFolder));
    chk_includesubfolders->setChecked(ReadsAsTrue(shownAction.inclSub));
}

void MainView::showActions(const std::vector<Action> &rows, int current)
{
    const QSignalBlocker blocker(tbl_actions);
    tbl_actions->setRowCount(int(rows.size()));
    for (int r = 0; r < int(rows.size()); ++r) {
        for (int c = 0; c < int(std::size(tableColumns)); ++c) {
            const QString text = shown(rows[std::size_t(r)].*tableColumns[c].field);
            auto *item = tbl_actions->item(r, c);
            if (!item)
                tbl_actions->setItem(r, c, item = new QTableWidgetItem);
            item->setText(text);
            item->setToolTip(text);
        }
    }
    tbl_actions->resizeColumnsToContents();
    tbl_actions->setCurrentCell(current, 0);
}

void MainView::showReportItem()
{
    mnu_viewreport->setText(QStringLiteral("Voir '") + chosenName() + QStringLiteral(".log'"));
    mnu_viewreport->setEnabled(projectChosen());
}

void MainView::showCommandStates(bool projectChosen, bool actionsPresent)
{
    for (QAction *item : {mnu_edittemplate, mnu_deletetemplate, mnu_newaction})
        item->setEnabled(projectChosen);
    for (QAction *item :
        {mnu_export, mnu_exporttoini, mnu_editaction, mnu_deleteaction, mnu_simulate, mnu_sync})
        item->setEnabled(actionsPresent);
    cmd_sync->setEnabled(actionsPresent);
}

void MainView::showRunning(bool running)
{
    for (QAction *item : {mnu_import, mnu_newtemplate})
        item->setEnabled(!running);
    if (running)
        for (QAction *item :
            {mnu_edittemplate, mnu_deletetemplate, mnu_newaction, mnu_editaction, mnu_deleteaction})
            item->setEnabled(false);
}

void MainView::showIndicator(bool enabled, const QString &toolTip)
{
    Img_Green->setVisible(enabled);
    Img_Red->setVisible(!enabled);
    (enabled ? Img_Green : Img_Red)->setToolTip(toolTip);
}
