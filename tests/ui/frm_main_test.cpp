#include "desktop_links.h"
#include "frm_about.h"
#include "main_window_driver.h"
#include "navigation_bar.h"
#include "scripted_prompter.h"
#include "scripted_run.h"

#include <QAction>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QSystemTrayIcon>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>

namespace {

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

} // namespace

class FrmMainTest : public QObject {
    Q_OBJECT

private slots:
    void browsingProjectsAndActions();
    void menusAndRunCommandsFollowTheProject();
    void synchronisationGoesThroughTheConfirmation();
    void aRealRunCopiesTheTree();
    void helpReportDonationAndAbout();
    void minimiseRestoreAndQuit();
};

void FrmMainTest::browsingProjectsAndActions()
{
    // A first start creates the database and shows no project.
    TempDir empty;
    ScriptedPrompter prompter;
    frm_main fresh(prompter);
    QVERIFY(fresh.Form_Load(empty.path()));
    QVERIFY(QFile::exists(empty("Tandrel.mdb")));
    QCOMPARE(chosen(fresh), QStringLiteral("- Aucun - #0, 0 actions"));
    QCOMPARE(entries(fresh), QStringList {"- Aucun -"});
    QCOMPARE(details(fresh), noDetails);

    TempDir dir;
    const qint64 zeta = addProject(dir, QStringLiteral("Zeta"));
    const QStringList filters {"*.jpg", "*.b", "*.a"};
    const qint64 ete
        = addProject(dir, QStringLiteral("l'été"), filters, QStringLiteral("Vacances \"100%\""));
    const qint64 firstDouble = addProject(dir, QStringLiteral("Double"));
    addProject(dir, QStringLiteral("Double"));
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
    QCOMPARE(projectList(w)->toolTip(), QStringLiteral("Vacances \"100%\""));
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
    QCOMPARE(browserOf(w).currentIndex(), 1);
    QCOMPARE(filter(w), QStringLiteral("*.b"));

    // While busy, moving leaves the details empty.
    w.setBusyFlag(true);
    browserOf(w).moveNext();
    QCOMPARE(details(w), noDetails);
    w.setBusyFlag(false);
    browserOf(w).moveFirst();
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
    QVERIFY(projectList(w)->toolTip().isEmpty());

    // Another program removes a project: choosing it falls back to no project, silently.
    ProjectDb(dir("Tandrel.mdb")).deleteProject(zeta);
    choose(w, 4);
    QCOMPARE(chosen(w), QStringLiteral("- Aucun - #0, 0 actions"));
    QCOMPARE(browserOf(w).rowSource(), RowSource::blank());
    QVERIFY(prompter.shown.isEmpty());

    // A text of any length is stored, and shown cut: laying it out whole could exhaust memory.
    Action huge = SampleAction(firstDouble, "*.x");
    huge.description = QString(20'000'000, u'é');
    ProjectDb(dir("Tandrel.mdb")).addAction(huge);
    choose(w, 1);
    const QString shown = child<QLabel>(w, "lbl_description")->text();
    QVERIFY(shown.size() < 10'000 && huge.description.startsWith(shown.chopped(1)));
    QCOMPARE(child<QTableWidget>(w, "tbl_actions")->item(0, 8)->text(), shown);
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
    // "- Aucun -": nothing to run; the run commands do nothing.
    w.Timer1_Timer();
    const QString noProject = QStringLiteral("1001-001-1000-000-111-0 Voir '- Aucun -.log'");
    QCOMPARE(states(w), noProject);
    w.mnu_simulate_Click();
    w.cmd_sync_Click();
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
    QVERIFY(!runWindow());
    w.mnu_simulate_Click(); // Yes
    QTRY_VERIFY(runWindow() && runWindow()->isFinished());
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
    w.Timer1_Timer();

    // The dialog's option counts only with OK; Annuler starts nothing.
    driver.steps << DialogDriver::answer(true, false) << DialogDriver::answer(true, true);
    w.mnu_sync_Click();
    QCOMPARE(driver.questions, 1);
    QVERIFY(!runWindow());
    w.mnu_sync_Click();
    QPointer<frm_sync> first = runWindow();
    QVERIFY(first && first->isVisible());
    QTRY_VERIFY(w.BusyFlag());
    const RunRequest request = run.lastRequest();
    QCOMPARE(request.projectName + u'|' + request.appDir, "Sauvegarde|" + dir.path());
    QCOMPARE(request.mode, RunMode::Synchronize);
    QVERIFY(request.showAllInReport);
    QCOMPARE(int(request.actions.size()), 2);
    QCOMPARE(request.actions[1].fileFilter, QStringLiteral("*.b"));

    // Never two runs at once, and the button leaves the running window alone. Nothing changes
    // projects, actions or the database meanwhile: not the menu, not a double click on a row.
    w.cmd_sync_Click();
    w.mnu_sync_Click();
    w.mnu_simulate_Click();
    w.mnu_deleteaction_Click();
    w.mnu_deletetemplate_Click();
    auto *table = child<QTableWidget>(w, "tbl_actions");
    const QPoint row = table->visualRect(table->model()->index(0, 1)).center();
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, row);
    QTest::qWait(50);
    QCOMPARE(driver.questions, 2);
    QVERIFY(driver.titles.size() == 2 && prompter.shown.isEmpty());
    QVERIFY(first->isVisible() && !first->CancelRequested());
    QCOMPARE(run.runs.load(), 1);
    const QString running = QStringLiteral("0111-111-0001-000-111-1 Voir 'Sauvegarde.log'");
    QCOMPARE(states(w), running);

    // At the end the browser is re-read: an action added meanwhile shows up.
    ProjectDb(dir("Tandrel.mdb")).addAction(SampleAction(key, "*.c"));
    run.released = true;
    QTRY_VERIFY(first->isFinished());
    QVERIFY(!w.BusyFlag());
    QCOMPARE(browserOf(w).rowCount(), 3);
    QCOMPARE(filter(w), QStringLiteral("*.a"));
    QTRY_COMPARE(states(w), QStringLiteral("1111-111-1111-111-111-1 Voir 'Sauvegarde.log'"));
    // A double click on a row opens its editor.
    driver.steps.enqueue([](QDialog *d) { press(d, "cmd_cancel"); });
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, row);
    QCOMPARE(driver.titles.value(2), QStringLiteral("Edition de l'action"));

    // The menu leaves a finished window open beside the new one; the button closes them all
    // before asking.
    w.mnu_simulate_Click();
    QPointer<frm_sync> second = runWindow(first);
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

void FrmMainTest::aRealRunCopiesTheTree()
{
    TempDir dir;
    dir.write(QStringLiteral("origine/a.txt"), "premier");
    dir.write(QStringLiteral("origine/sous/b.txt"), "second fichier");
    dir.mkdir(QStringLiteral("destination"));
    Action action = SampleAction(addProject(dir, QStringLiteral("Bout")), "*.*");
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
    QPointer<frm_sync> window = runWindow();
    QVERIFY(window);
    QTRY_COMPARE_WITH_TIMEOUT(window->windowTitle(), QStringLiteral("Terminé!"), 60000);
    QVERIFY(!w.BusyFlag());
    QVERIFY(prompter.shown.isEmpty());

    // The program's own engine ran: the tree is copied and the report file written.
    QCOMPARE(readFile(dir("destination/sous/b.txt")), QByteArray("second fichier"));
    QVERIFY(QFile::exists(dir("Bout.log")));
}

void FrmMainTest::helpReportDonationAndAbout()
{
    TempDir dir;
    addProject(dir, QStringLiteral("Sauvegarde"));
    ScriptedPrompter prompter;
    QList<QUrl> opened;
    DialogDriver driver;
    frm_main w(
        prompter, &RunDriver::run, [&](const QUrl &url, const OpenFailed &) { opened << url; });
    QVERIFY(w.Form_Load(dir.path()));

    // Each item reaches its command: the help box, the chosen project's report, the donation
    // page and the about box.
    child<QAction>(w, "Mnu_Aide")->trigger();
    QCOMPARE(prompter.said(false), QStringList {"Comment ça marche ?"});
    choose(w, 1);
    dir.write(QStringLiteral("Sauvegarde.log"), "rapport");
    child<QAction>(w, "mnu_viewreport")->trigger();
    child<QAction>(w, "Mnu_Don")->trigger();
    QCOMPARE(opened, (QList<QUrl> {QUrl::fromLocalFile(dir("Sauvegarde.log")), DonationUrl()}));
    driver.steps.enqueue([](QDialog *d) {
        QVERIFY(qobject_cast<frmAbout *>(d));
        press(d, "cmdOK");
    });
    child<QAction>(w, "mnu_about")->trigger();
    QCOMPARE(driver.titles.size(), 1);
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
    QVERIFY(!w->findChild<QSystemTrayIcon *>());
    QVERIFY(w->isVisible());
    w->mnu_restoreTDRL_Click();
    QVERIFY(!w->isMinimized() && !w->isMaximized() && w->isVisible());

    // Closing a run window brings back a hidden main window.
    choose(*w, 1);
    prompter.answers << QMessageBox::Yes << QMessageBox::Yes;
    run.released = true;
    w->mnu_simulate_Click();
    QTRY_VERIFY(runWindow() && runWindow()->isFinished());
    w->hide();
    runWindow()->close();
    QTRY_VERIFY(w->isVisible());

    // ESC stops a run from the main window too.
    run.released = false;
    w->mnu_simulate_Click();
    QTRY_VERIFY(runWindow() && runWindow()->isRunning());
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    QTest::keyClick(w.get(), Qt::Key_Escape);
    QTRY_VERIFY(runWindow()->isFinished());
    QCOMPARE(runWindow()->windowTitle(), QStringLiteral("User canceled!"));

    // Quitting during a run: the main window closes at once and the run is stopped with it.
    run.released = false;
    run.returned = false;
    run.started = false;
    w->mnu_simulate_Click();
    QTRY_VERIFY(run.started && w->BusyFlag());
    QPointer<frm_sync> running = runWindow();
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
