#include "desktop_links.h"
#include "frm_about.h"
#include "frm_main.h"
#include "frm_question.h"
#include "navigation_bar.h"
#include "project_db.h"
#include "sample_projects.h"
#include "scripted_prompter.h"
#include "scripted_run.h"
#include "temp_dir.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QQueue>
#include <QSystemTrayIcon>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace {

template <typename T = QObject> T *child(const QObject &w, const char *name)
{
    return w.findChild<T *>(QString::fromLatin1(name));
}

QComboBox *combo(const frm_main &w)
{
    return child<QComboBox>(w, "cmb_template");
}

QString filter(const frm_main &w)
{
    return child<QLabel>(w, "lbl_filter")->text();
}

// The current action's details: enabled, filter, from, to, description, date, size, operator,
// then "sous-dossiers" when that box is ticked.
QStringList details(const frm_main &w)
{
    QStringList texts;
    for (const char *name : {"lbl_enabled", "lbl_filter", "lbl_fromfolder", "lbl_tofolder",
             "lbl_description", "lbl_filedate", "lbl_filesize", "lbl_operator"})
        texts << child<QLabel>(w, name)->text();
    return texts << (child<QCheckBox>(w, "chk_includesubfolders")->isChecked() ? "sous-dossiers"
                                                                               : "");
}

const QStringList noDetails(9, QString());

// Chooses the list entry at index as a user click does.
void choose(frm_main &w, int index)
{
    combo(w)->setCurrentIndex(index);
    emit combo(w)->activated(index);
}

// The chosen project as "list text #key, number of actions".
QString chosen(frm_main &w)
{
    return QStringLiteral("%1 #%2, %3 actions")
        .arg(combo(w)->currentText())
        .arg(w.CurrentTemplateNo())
        .arg(w.data1().rowCount());
}

QStringList entries(const frm_main &w)
{
    QStringList texts;
    for (int i = 0; i < combo(w)->count(); ++i)
        texts << combo(w)->itemText(i);
    return texts;
}

// Acts on the modal dialogs as they show: each step runs on the dialog shown at that moment,
// once it has been on screen long enough to fill itself; a step that leaves the dialog open
// acts on it again. A run confirmation without a step is answered with Annuler.
class DialogDriver {
public:
    using Step = std::function<void(QDialog *)>;
    QQueue<Step> steps;
    QStringList titles; // the title of each dialog acted on
    int questions = 0; // run confirmations shown

    DialogDriver()
    {
        QObject::connect(&poll_, &QTimer::timeout, [this] {
            auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            if (!dialog || !dialog->isVisible())
                return;
            const bool question = qobject_cast<frm_question *>(dialog);
            if (dialog != seen_) {
                seen_ = dialog;
                shown_.start();
                questions += question;
            }
            // frm_action fills itself 200 ms after it shows
            if (shown_.elapsed() < 300 || (steps.isEmpty() && !question))
                return;
            titles << dialog->windowTitle();
            shown_.start();
            (steps.isEmpty() ? answer(false, false) : steps.dequeue())(dialog);
        });
        poll_.start(10);
    }

    // A step answering a run confirmation: tick the option or not, then OK or Annuler.
    static Step answer(bool tick, bool ok)
    {
        return [=](QDialog *d) {
            if (tick)
                child<QCheckBox>(*d, "chk_showallinreport")->click();
            child<QPushButton>(*d, ok ? "cmd_ok" : "cmd_cancel")->click();
        };
    }

private:
    QTimer poll_;
    QPointer<QDialog> seen_;
    QElapsedTimer shown_;
};

QString typed(QDialog *dialog, const char *box)
{
    return child<QLineEdit>(*dialog, box)->text();
}

void press(QDialog *dialog, const char *button)
{
    child<QPushButton>(*dialog, button)->click();
}

// Types each text into its box, then presses the button.
void fill(QDialog *dialog, std::initializer_list<std::pair<const char *, const char *>> texts,
    const char *button = "cmd_ok")
{
    for (const auto &[box, text] : texts)
        child<QLineEdit>(*dialog, box)->setText(QString::fromUtf8(text));
    press(dialog, button);
}

// Which of the menu items and the button are enabled, as "1" and "0", in the groups: import
// export viewreport exit - sync simulate scheduler - newtemplate edittemplate deletetemplate
// exporttoini - newaction editaction deleteaction - about aide don - cmd_sync; then the text of
// the report item.
QString states(const frm_main &w)
{
    QString states;
    for (const char *name :
        {"mnu_import", "mnu_export", "mnu_viewreport", "mnu_exit", "-", "mnu_sync", "mnu_simulate",
            "mnu_scheduler", "-", "mnu_newtemplate", "mnu_edittemplate", "mnu_deletetemplate",
            "mnu_exporttoini", "-", "mnu_newaction", "mnu_editaction", "mnu_deleteaction", "-",
            "mnu_about", "Mnu_Aide", "Mnu_Don", "-", "cmd_sync"})
        states += *name == '-' ? u'-' : child(w, name)->property("enabled").toBool() ? u'1' : u'0';
    return states + u' ' + child<QAction>(w, "mnu_viewreport")->text();
}

QStringList itemTexts(const QMenu *menu)
{
    QStringList items;
    for (QAction *item : menu->actions())
        items << (item->isSeparator() ? QStringLiteral("---") : item->text());
    return items;
}

// The menu bar as "menu: item, item, ---, item" lines.
QStringList menuTree(const frm_main &w)
{
    QStringList lines;
    for (QAction *top : w.menuBar()->actions())
        lines << top->text() + QStringLiteral(": ") + itemTexts(top->menu()).join(", ");
    return lines;
}

// A second program holding the database file locked for writing until release().
class WriteLock {
public:
    explicit WriteLock(const QString &file)
    {
        process_.start(QStringLiteral("sqlite3"), {file});
        process_.waitForStarted();
        process_.write("BEGIN EXCLUSIVE;\nSELECT 'locked';\n");
        while (!process_.readAllStandardOutput().contains("locked"))
            process_.waitForReadyRead(1000);
    }
    ~WriteLock() { release(); }
    void release()
    {
        if (process_.state() == QProcess::NotRunning)
            return;
        process_.write("ROLLBACK;\n");
        process_.closeWriteChannel();
        process_.waitForFinished();
    }

private:
    QProcess process_;
};

} // namespace

class FrmMainTest : public QObject {
    Q_OBJECT

private slots:
    void startsEmptyAndRefusesAFileThatIsNotADatabase();
    void browsingProjectsAndActions();
    void menusAndRunCommandsFollowTheProject();
    void synchronisationGoesThroughTheConfirmation();
    void aRealRunCopiesTheTreeAndWritesTheReport();
    void maintenanceFromNewProjectToItsDeletion();
    void aRefusedWriteKeepsTheEditorOpenAndBound();
    void helpReportDonationAndAbout();
    void minimiseRestoreAndQuit();
};

void FrmMainTest::startsEmptyAndRefusesAFileThatIsNotADatabase()
{
    TempDir dir;
    ScriptedPrompter prompter;
    frm_main w(prompter);
    QVERIFY(w.Form_Load(dir.path()));
    QVERIFY(QFile::exists(dir("Tandrel.mdb")));
    QStringList captions {w.windowTitle(), child<QGroupBox>(w, "Frame1")->title(),
        child<QGroupBox>(w, "Frame2")->title(),
        child<QCheckBox>(w, "chk_includesubfolders")->text()};
    for (QLabel *caption : w.findChildren<QLabel *>(QStringLiteral("Label5")))
        captions << caption->text();
    QCOMPARE(captions,
        (QStringList {"Tandrel", "Sélection des projets", "Actions", "Inclure les sous-dossiers",
            "Activé", "Filtre des fichiers", "Dossier origine :", "Dossier destination :",
            "Description :", "Date", "Taille", "Operation :"}));
    QCOMPARE(entries(w), QStringList {"- Aucun -"});
    QCOMPARE(chosen(w), QStringLiteral("- Aucun - #0, 0 actions"));
    QCOMPARE(details(w), noDetails);
    QVERIFY(prompter.shown.isEmpty());

    // A file that is no database: the error box, no start, the file left as it was.
    TempDir other;
    const QByteArray garbage("Standard Jet DB\0\x01\x02garbage that is no SQLite file", 48);
    other.write(QStringLiteral("Tandrel.mdb"), garbage);
    frm_main refused(prompter);
    QVERIFY(!refused.Form_Load(other.path()));
    QCOMPARE(prompter.shown.value(0).icon, Prompter::Icon::Critical);
    const QStringList boxes = prompter.said();
    QCOMPARE(boxes.size(), 1);
    QVERIFY2(boxes[0].startsWith("Erreur|Erreur: 26\nDescription: "), qPrintable(boxes[0]));
    QCOMPARE(readFile(other("Tandrel.mdb")), garbage);
}

void FrmMainTest::browsingProjectsAndActions()
{
    TempDir dir;
    const qint64 zeta = addProject(dir, QStringLiteral("Zeta"));
    const QStringList filters {"*.jpg", "*.b", "*.a"};
    const qint64 ete
        = addProject(dir, QStringLiteral("l'été"), filters, QStringLiteral("Vacances \"100%\""));
    const qint64 firstDouble = addProject(dir, QStringLiteral("Double"));
    addProject(dir, QStringLiteral("Double"));
    ScriptedPrompter prompter;
    frm_main w(prompter);
    QVERIFY(w.Form_Load(dir.path()));
    QCOMPARE(entries(w), (QStringList {"- Aucun -", "Double", "Double", "l'été", "Zeta"}));

    // Either entry of a doubled name chooses the first project of that name.
    choose(w, 2);
    QCOMPARE(w.CurrentTemplateNo(), firstDouble);

    // The details show the current action; the sub-folder box ("oui" reads as ticked) cannot be
    // changed by a click.
    choose(w, 3);
    QCOMPARE(w.CurrentTemplateNo(), ete);
    QCOMPARE(combo(w)->toolTip(), QStringLiteral("Vacances \"100%\""));
    const QStringList first {"OUI", "*.jpg", "/données/origine/", "/media/clé/", "copie de *.jpg",
        ">", "<>", "OR", "sous-dossiers"};
    QCOMPARE(details(w), first);
    child<QCheckBox>(w, "chk_includesubfolders")->click();
    QCOMPARE(details(w), first);

    // Navigation bar and table follow the browser; actions come in the order they were added.
    auto *bar = child<NavigationBar>(w, "Data1Bar");
    auto *table = child<QTableWidget>(w, "tbl_actions");
    QCOMPARE(table->rowCount(), 3);
    QCOMPARE(table->item(0, 1)->text(), QStringLiteral("*.jpg"));
    QCOMPARE(table->currentRow(), 0);
    const std::pair<QToolButton *, int> moves[] = {{bar->nextButton(), 1}, {bar->lastButton(), 2},
        {bar->nextButton(), 2} /* stays on the last row */, {bar->firstButton(), 0},
        {bar->previousButton(), 0}};
    for (const auto &[button, row] : moves) {
        button->click();
        QCOMPARE(filter(w), filters[row]);
        QCOMPARE(table->currentRow(), row);
    }
    table->setCurrentCell(1, 3);
    QCOMPARE(w.data1().currentIndex(), 1);
    QCOMPARE(filter(w), QStringLiteral("*.b"));

    // While busy, moving leaves the details empty.
    w.setBusyFlag(true);
    w.data1().moveNext();
    QCOMPARE(details(w), noDetails);
    w.setBusyFlag(false);
    w.data1().moveFirst();
    QCOMPARE(filter(w), QStringLiteral("*.jpg"));

    // A project without actions, then no project: nothing to show.
    for (int index : {1, 0}) {
        choose(w, 3);
        choose(w, index);
        QCOMPARE(chosen(w),
            index ? QString("Double #%1, 0 actions").arg(firstDouble)
                  : QString("- Aucun - #0, 0 actions"));
        QCOMPARE(details(w), noDetails);
    }
    QVERIFY(combo(w)->toolTip().isEmpty());

    // Another program removes a project: choosing it falls back to no project, silently.
    ProjectDb(dir("Tandrel.mdb")).deleteProject(zeta);
    choose(w, 4);
    QCOMPARE(chosen(w), QStringLiteral("- Aucun - #0, 0 actions"));
    QCOMPARE(w.data1().rowSource(), RowSource::blank());
    QVERIFY(prompter.shown.isEmpty());
}

void FrmMainTest::menusAndRunCommandsFollowTheProject()
{
    TempDir dir;
    addProject(dir, QStringLiteral("Avec"), {"*.a"});
    addProject(dir, QStringLiteral("Vide"));
    ScriptedPrompter prompter;
    ScriptedRun run;
    run.released = true;
    DialogDriver driver;
    frm_main w(prompter, run.function());
    QVERIFY(w.Form_Load(dir.path()));
    QCOMPARE(menuTree(w),
        (QStringList {
            "&Fichier: Importer un projet, Exporter le projet, ---, Voir '- Aucun -.log', ---, "
            "Démarrer avec la session, ---, &Quitter",
            "Synchronisation: &Synchroniser >>, ---, Simuler la synchronisation, ---, "
            "Synchronisation avec &programmateur",
            "&Projet: &Nouveau Projet, &Editer le projet, Supprimer le projet, ---, "
            "Exporter vers un fichier .INI",
            "Actions: Nouvelle action, Editer l'action, Supprimer l'action",
            "Aide: A propos ..., ---, Comment ça marche ?, Faire un don...",
        }));
    QCOMPARE(itemTexts(child<QMenu>(w, "cap_sysmenu")),
        (QStringList {"Restore TDRL", "---", "Exit TDRL"}));
    for (QAction *item : w.findChildren<QAction *>())
        QVERIFY2(item->shortcut().isEmpty(), qPrintable(item->objectName()));

    // "- Aucun -": nothing to run; the commands set the run mode and do nothing more.
    w.Timer1_Timer();
    const QString noProject = QStringLiteral("1001-001-1000-000-111-0 Voir '- Aucun -.log'");
    QCOMPARE(states(w), noProject);
    w.mnu_simulate_Click();
    QCOMPARE(w.RunMode(), RunMode::Simulate);
    w.cmd_sync_Click();
    QCOMPARE(w.RunMode(), RunMode::Synchronize);
    QVERIFY(prompter.shown.isEmpty());

    // A project without actions: the run commands say so.
    choose(w, 2);
    w.Timer1_Timer();
    QCOMPARE(states(w), QStringLiteral("1011-001-1110-100-111-0 Voir 'Vide.log'"));
    w.mnu_sync_Click();
    w.mnu_simulate_Click();
    QCOMPARE(prompter.said(),
        QStringList(2, "Erreur|Pas d'action définie! Créez une nouvelle action puis réessayez !"));

    choose(w, 1); // one action: the timer follows by itself
    QTRY_COMPARE(states(w), QStringLiteral("1111-111-1111-111-111-1 Voir 'Avec.log'"));

    // Busy: frozen, except the report item, which follows the list at once.
    w.setBusyFlag(true);
    choose(w, 0);
    QTest::qWait(300);
    QCOMPARE(states(w), QStringLiteral("1101-111-1111-111-111-1 Voir '- Aucun -.log'"));
    w.setBusyFlag(false);
    QTRY_COMPARE(states(w), noProject);

    // A simulation is confirmed by a question, not by the dialog; No starts nothing.
    choose(w, 1);
    prompter.answers.enqueue(QMessageBox::No);
    w.mnu_simulate_Click();
    QCOMPARE(prompter.shown.value(0).icon, Prompter::Icon::Question);
    QCOMPARE(prompter.shown.value(0).buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(prompter.said(),
        QStringList {
            "Simulate|Confirmez la synchronisation des fichiers avec les actions définies ?"});
    QVERIFY(!w.syncWindow());
    w.mnu_simulate_Click(); // Yes
    QTRY_VERIFY(w.syncWindow() && w.syncWindow()->isFinished());
    QCOMPARE(run.lastRequest().mode, RunMode::Simulate);
    QCOMPARE(driver.questions, 0);
}

void FrmMainTest::synchronisationGoesThroughTheConfirmation()
{
    TempDir dir;
    const qint64 key = addProject(dir, QStringLiteral("Sauvegarde"), {"*.a", "*.b"});
    ScriptedPrompter prompter;
    ScriptedRun run;
    DialogDriver driver;
    frm_main w(prompter, run.function());
    QVERIFY(w.Form_Load(dir.path()));
    choose(w, 1);

    // The dialog's option counts only with OK; Annuler starts nothing.
    driver.steps << DialogDriver::answer(true, false) << DialogDriver::answer(true, true);
    w.mnu_sync_Click();
    QCOMPARE(driver.questions, 1);
    QVERIFY(!w.ShowAllInReport());
    QVERIFY(!w.syncWindow());
    w.mnu_sync_Click();
    QVERIFY(w.ShowAllInReport());
    QPointer<frm_sync> first = w.syncWindow();
    QVERIFY(first && first->isVisible());
    QTRY_VERIFY(w.BusyFlag());
    const RunRequest request = run.lastRequest();
    QCOMPARE(request.projectName + u'|' + request.appDir, "Sauvegarde|" + dir.path());
    QCOMPARE(request.mode, RunMode::Synchronize);
    QVERIFY(request.showAllInReport);
    QCOMPARE(int(request.actions.size()), 2);
    QCOMPARE(request.actions[1].fileFilter, QStringLiteral("*.b"));

    // Never two runs at once; the running window refuses to close.
    w.cmd_sync_Click();
    w.mnu_sync_Click();
    w.mnu_simulate_Click();
    QTest::qWait(50);
    QCOMPARE(driver.questions, 2);
    QVERIFY(prompter.shown.isEmpty());
    QVERIFY(first->isVisible());
    QCOMPARE(run.runs.load(), 1);

    // At the end the browser is re-read: an action added meanwhile shows up.
    ProjectDb(dir("Tandrel.mdb")).addAction(makeAction(key, "*.c"));
    run.released = true;
    QTRY_VERIFY(first->isFinished());
    QVERIFY(!w.BusyFlag());
    QCOMPARE(w.data1().rowCount(), 3);
    QCOMPARE(filter(w), QStringLiteral("*.a"));

    // The menu leaves a finished window open beside the new one; the button closes them all
    // before asking.
    w.mnu_simulate_Click();
    QPointer<frm_sync> second = w.syncWindow();
    QTRY_VERIFY(second && second != first && second->isFinished());
    QVERIFY(first->isVisible());
    bool openAtQuestion = true;
    driver.steps.enqueue([&](QDialog *d) {
        openAtQuestion = (first && first->isVisible()) || (second && second->isVisible());
        DialogDriver::answer(false, false)(d);
    });
    w.cmd_sync_Click();
    QCOMPARE(driver.questions, 3);
    QVERIFY(!openAtQuestion);
    QTRY_VERIFY(first.isNull() && second.isNull());
}

void FrmMainTest::aRealRunCopiesTheTreeAndWritesTheReport()
{
    TempDir dir;
    dir.write(QStringLiteral("origine/a.txt"), "premier");
    dir.write(QStringLiteral("origine/sous/b.txt"), "second fichier");
    dir.mkdir(QStringLiteral("destination"));
    Action action = makeAction(addProject(dir, QStringLiteral("Bout")), "*.*");
    action.fromFolder = dir("origine");
    action.toFolder = dir("destination");
    ProjectDb(dir("Tandrel.mdb")).addAction(action);
    ScriptedPrompter prompter;
    DialogDriver driver;
    driver.steps.enqueue(DialogDriver::answer(false, true));
    frm_main w(prompter);
    QVERIFY(w.Form_Load(dir.path()));
    choose(w, 1);
    w.Timer1_Timer();
    child<QPushButton>(w, "cmd_sync")->click();
    QPointer<frm_sync> window = w.syncWindow();
    QVERIFY(window);
    QTRY_COMPARE_WITH_TIMEOUT(window->windowTitle(), QStringLiteral("Terminé!"), 60000);
    QVERIFY(!w.BusyFlag());
    QVERIFY(prompter.shown.isEmpty());

    QCOMPARE(readFile(dir("destination/a.txt")), QByteArray("premier"));
    QCOMPARE(readFile(dir("destination/sous/b.txt")), QByteArray("second fichier"));
    const QAbstractItemModel *list = child<QAbstractItemView>(*window, "List1")->model();
    QCOMPARE(list->index(list->rowCount() - 1, 0).data().toString(),
        QStringLiteral("     Rapport enregistré dans le fichier : Bout.log"));
    const QString text = QString::fromUtf8(readFile(dir("Bout.log")));
    QVERIFY2(text.contains(QStringLiteral("(Projet : Bout)")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("Total copié = 2 Fichiers")), qPrintable(text));
    QVERIFY(!text.contains(QStringLiteral("Rapport enregistré")));
}

void FrmMainTest::maintenanceFromNewProjectToItsDeletion()
{
    TempDir dir;
    ScriptedPrompter prompter;
    DialogDriver driver;
    frm_main w(prompter);
    QVERIFY(w.Form_Load(dir.path()));

    // Nothing chosen: no action editor but a message; edit and delete do nothing, silently.
    for (auto click : {&frm_main::mnu_newaction_Click, &frm_main::mnu_edittemplate_Click,
             &frm_main::mnu_deletetemplate_Click, &frm_main::mnu_editaction_Click,
             &frm_main::mnu_deleteaction_Click})
        (w.*click)();
    QCOMPARE(prompter.said(), QStringList {"Erreur|Sélectionnez un projet SVP.!"});
    QVERIFY(driver.titles.isEmpty());

    // The editor refuses an empty name; OK again with a name creates and chooses the project.
    driver.steps.enqueue([](QDialog *d) { press(d, "cmd_ok"); });
    driver.steps.enqueue([](QDialog *d) {
        fill(d, {{"txt_name", "  Photos été "}, {"txt_description", "vers la clé"}});
    });
    w.mnu_newtemplate_Click();
    QCOMPARE(driver.titles, (QStringList {"Nouveau projet", "Nouveau projet"}));
    QCOMPARE(prompter.said(), QStringList {"Erreur|Nom du projet SVP!"});
    QCOMPARE(entries(w), (QStringList {"- Aucun -", "Photos été"}));
    QCOMPARE(combo(w)->currentText() + u'|' + combo(w)->toolTip(),
        QStringLiteral("Photos été|vers la clé"));
    const qint64 key = w.CurrentTemplateNo();
    QVERIFY(key != 0);

    // A new action: Annuler writes nothing, OK adds it and shows it.
    const auto newAction = [](const char *button) {
        return [button](QDialog *d) {
            fill(d,
                {{"txt_filter", "*.jpg"}, {"txt_folderfrom", "/données/photos/"},
                    {"txt_folderto", "/media/clé/"}, {"txt_description", "photos"}},
                button);
        };
    };
    driver.steps.enqueue(newAction("cmd_cancel"));
    w.mnu_newaction_Click();
    QCOMPARE(w.data1().rowCount(), 0);
    driver.steps.enqueue(newAction("cmd_ok"));
    w.mnu_newaction_Click();
    QCOMPARE(driver.titles.last(), QStringLiteral("Nouvelle action"));
    QCOMPARE(w.data1().rowCount(), 1);
    QVERIFY(!w.BusyFlag());
    QCOMPARE(details(w),
        (QStringList {
            "OUI", "*.jpg", "/données/photos/", "/media/clé/", "photos", ">", "<>", "OR", ""}));

    // Rename the project: its action goes with it.
    driver.steps.enqueue([](QDialog *d) {
        QCOMPARE(typed(d, "txt_name"), QStringLiteral("Photos été"));
        fill(d, {{"txt_name", "Images"}});
    });
    w.mnu_edittemplate_Click();
    QCOMPARE(driver.titles.last(), QStringLiteral("Edition du projet"));
    QCOMPARE(entries(w), (QStringList {"- Aucun -", "Images"}));
    QCOMPARE(chosen(w), QStringLiteral("Images #%1, 1 actions").arg(key));

    // Edit the action: the details show the new values at once.
    driver.steps.enqueue([](QDialog *d) {
        QCOMPARE(typed(d, "txt_folderfrom"), QStringLiteral("/données/photos/"));
        child<QCheckBox>(*d, "chk_enabled")->click();
        fill(d, {{"txt_filter", "*.png"}});
    });
    w.mnu_editaction_Click();
    QCOMPARE(driver.titles.last(), QStringLiteral("Edition de l'action"));
    QCOMPARE(details(w).mid(0, 2), (QStringList {"NON", "*.png"}));
    QCOMPARE(
        ProjectDb(dir("Tandrel.mdb")).actionsOf(key).front().fileFilter, QStringLiteral("*.png"));

    // Delete the action: No keeps it, Yes removes it and empties the details.
    prompter.answers << QMessageBox::No << QMessageBox::Yes;
    w.mnu_deleteaction_Click();
    QCOMPARE(prompter.shown.value(0).buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(w.data1().rowCount(), 1);
    w.mnu_deleteaction_Click();
    QCOMPARE(w.data1().rowCount(), 0);
    QCOMPARE(details(w), noDetails);
    QCOMPARE(prompter.said(),
        QStringList(2, "Suppression|Confirmez la suppression de l'action sélectionnée?"));

    // Delete the project (with an action again): No keeps it; Yes removes it and its actions.
    ProjectDb(dir("Tandrel.mdb")).addAction(makeAction(key, "*.a"));
    prompter.answers << QMessageBox::No << QMessageBox::Yes;
    w.mnu_deletetemplate_Click();
    QCOMPARE(entries(w).size(), 2);
    w.mnu_deletetemplate_Click();
    QCOMPARE(prompter.said(),
        QStringList(2, "Suppression d'un projet|Confirmez la suppression du projet en cours ?"));
    QCOMPARE(entries(w), QStringList {"- Aucun -"});
    QCOMPARE(chosen(w), QStringLiteral("- Aucun - #0, 0 actions"));
    QVERIFY(ProjectDb(dir("Tandrel.mdb")).allActionsByFilter().empty());
    QVERIFY(driver.steps.isEmpty());
}

void FrmMainTest::aRefusedWriteKeepsTheEditorOpenAndBound()
{
    TempDir dir;
    const qint64 first = addProject(dir, QStringLiteral("Premier"));
    addProject(dir, QStringLiteral("Second"));
    ScriptedPrompter prompter;
    DialogDriver driver;
    frm_main w(prompter);
    QVERIFY(w.Form_Load(dir.path()));
    choose(w, 1);
    QCOMPARE(w.CurrentTemplateNo(), first);

    // While the editor is open another project is chosen and another program locks the file.
    std::unique_ptr<WriteLock> lock;
    QString kept;
    driver.steps.enqueue([&](QDialog *d) {
        choose(w, 2);
        lock = std::make_unique<WriteLock>(dir("Tandrel.mdb"));
        fill(d, {{"txt_filter", "*.doc"}, {"txt_folderfrom", "/a/"}, {"txt_folderto", "/b/"}});
    });
    driver.steps.enqueue([&](QDialog *d) {
        kept = typed(d, "txt_filter") + typed(d, "txt_folderfrom") + typed(d, "txt_folderto");
        lock->release();
        press(d, "cmd_ok");
    });
    w.mnu_newaction_Click();
    QCOMPARE(driver.titles, (QStringList {"Nouvelle action", "Nouvelle action"}));
    QCOMPARE(prompter.shown.value(0).icon, Prompter::Icon::Critical);
    QCOMPARE(prompter.said(false), QStringList {"Erreur"});
    QCOMPARE(kept, QStringLiteral("*.doc/a//b/"));
    QVERIFY(!w.BusyFlag());
    ProjectDb db(dir("Tandrel.mdb"));
    QCOMPARE(int(db.allActionsByFilter().size()), 1);
    QCOMPARE(db.actionsOf(first).at(0).fileFilter, QStringLiteral("*.doc"));

    // A locked file while deleting a project: the error box, and the project stays whole.
    choose(w, 1);
    WriteLock again(dir("Tandrel.mdb"));
    w.mnu_deletetemplate_Click();
    QCOMPARE(prompter.said(false), (QStringList {"Suppression d'un projet", "Erreur"}));
    again.release();
    QCOMPARE(int(db.actionsOf(first).size()), 1);
    QVERIFY(db.project(first).has_value());
}

void FrmMainTest::helpReportDonationAndAbout()
{
    TempDir dir;
    addProject(dir, QStringLiteral("Sauvegarde"));
    ScriptedPrompter prompter;
    QList<QUrl> opened;
    DialogDriver driver;
    frm_main w(prompter, &RunDriver::run, [&](const QUrl &url) { opened << url; });
    QVERIFY(w.Form_Load(dir.path()));

    child<QAction>(w, "Mnu_Aide")->trigger();
    QCOMPARE(prompter.said(false), QStringList {"Comment ça marche ?"});

    // The report of the chosen project: missing, it is named in a box; present, it is opened.
    choose(w, 1);
    child<QAction>(w, "mnu_viewreport")->trigger();
    QCOMPARE(prompter.shown.size(), 1);
    QVERIFY(prompter.said().front().endsWith(dir("Sauvegarde.log")));
    QVERIFY(opened.isEmpty());
    dir.write(QStringLiteral("Sauvegarde.log"), "rapport");
    child<QAction>(w, "mnu_viewreport")->trigger();
    child<QAction>(w, "Mnu_Don")->trigger();
    QCOMPARE(opened, (QList<QUrl> {QUrl::fromLocalFile(dir("Sauvegarde.log")), DonationUrl()}));

    driver.steps.enqueue([](QDialog *d) {
        QVERIFY(qobject_cast<frmAbout *>(d));
        press(d, "cmdOK");
    });
    child<QAction>(w, "mnu_about")->trigger();
    QCOMPARE(driver.titles, QStringList {QStringLiteral("A propos Tandrel")});
    QVERIFY(prompter.shown.isEmpty());
}

void FrmMainTest::minimiseRestoreAndQuit()
{
    TempDir dir;
    addProject(dir, QStringLiteral("Sauvegarde"), {"*.a"});
    ScriptedPrompter prompter;
    ScriptedRun run;
    auto w = std::make_unique<frm_main>(prompter, run.function());
    QVERIFY(w->Form_Load(dir.path()));
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));

    // Without a notification area minimising is an ordinary minimise.
    QVERIFY(!QSystemTrayIcon::isSystemTrayAvailable());
    w->showMaximized();
    w->showMinimized();
    QTRY_VERIFY(w->isMinimized());
    QVERIFY(!w->trayIcon());
    QVERIFY(w->isVisible());
    w->mnu_restoreTDRL_Click();
    QVERIFY(!w->isMinimized() && !w->isMaximized() && w->isVisible());

    // Closing a run window brings back a hidden main window.
    choose(*w, 1);
    prompter.answers << QMessageBox::Yes << QMessageBox::Yes;
    run.released = true;
    w->mnu_simulate_Click();
    QTRY_VERIFY(w->syncWindow() && w->syncWindow()->isFinished());
    w->hide();
    w->syncWindow()->close();
    QTRY_VERIFY(!w->syncWindow());
    QVERIFY(w->isVisible());

    // Quitting during a run: the main window closes at once and the run is stopped with it.
    run.released = false;
    run.returned = false;
    run.started = false;
    w->mnu_simulate_Click();
    QTRY_VERIFY(run.started && w->BusyFlag());
    QPointer<frm_sync> running = w->syncWindow();
    QElapsedTimer clock;
    clock.start();
    child<QAction>(*w, "mnu_exit")->trigger();
    QVERIFY(!w->isVisible());
    QVERIFY(!QApplication::quitOnLastWindowClosed());
    w.reset();
    QVERIFY(running.isNull() && run.returned);
    QVERIFY(clock.elapsed() < 5000);
}

QTEST_MAIN(FrmMainTest)
#include "frm_main_test.moc"
