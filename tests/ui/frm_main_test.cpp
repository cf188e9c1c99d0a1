#include "desktop_links.h"
#include "frm_about.h"
#include "frm_action.h"
#include "main_window_driver.h"
#include "navigation_bar.h"

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
    const QStringList filters {"*.jpg", "*.b", "*.a"};
    OpenMainWindow o({{"Zeta", {}}, {"l'été", filters}, {"Double", {}}, {"Double", {}}});
    frm_main &w = o.window;
    QVERIFY(o.loaded);
    QCOMPARE(entries(w), (QStringList {"- Aucun -", "Double", "Double", "l'été", "Zeta"}));

    // Either entry of a doubled name chooses the first project of that name.
    choose(w, 2);
    QCOMPARE(w.CurrentTemplateNo(), o.keys[2]);

    // The details show the current action; the sub-folder box ("oui" reads as ticked) cannot be
    // changed by a click. The list's tool tip is the project's description.
    o.db().updateProject(o.keys[1], QStringLiteral("l'été"), QStringLiteral("Vacances"));
    choose(w, 3);
    QCOMPARE(w.CurrentTemplateNo(), o.keys[1]);
    QCOMPARE(projectList(w)->toolTip(), QStringLiteral("Vacances"));
    child<QCheckBox>(w, "chk_includesubfolders")->click();
    QCOMPARE(details(w),
        (QStringList {"OUI", "*.jpg", "/données/origine/", "/media/clé/", "copie de *.jpg", ">",
            "<>", "OR", "sous-dossiers"}));

    // Navigation bar and table follow the browser; actions come in the order they were added.
    auto *bar = child<NavigationBar>(w, "Data1Bar");
    auto *table = child<QTableWidget>(w, "tbl_actions");
    QCOMPARE(table->rowCount(), 3);
    const std::pair<QToolButton *, int> moves[] = {{bar->nextButton(), 1}, {bar->lastButton(), 2},
        {bar->nextButton(), 2} /* stays on the last row */, {bar->firstButton(), 0},
        {bar->previousButton(), 0}};
    for (const auto &[button, row] : moves) {
        button->click();
        QCOMPARE(filter(w), filters[row]);
        QCOMPARE(table->currentRow(), row);
    }
    table->setCurrentCell(1, 3);
    QCOMPARE(filter(w), QStringLiteral("*.b"));

    // While busy, moving leaves the details empty.
    w.setBusyFlag(true);
    browserOf(w).moveNext();
    QCOMPARE(details(w), noDetails);
    w.setBusyFlag(false);

    // A project without actions, then no project: nothing to show.
    for (int index : {1, 0}) {
        choose(w, 3);
        choose(w, index);
        QCOMPARE(chosen(w),
            index ? QString("Double #%1, 0 actions").arg(o.keys[2])
                  : QString("- Aucun - #0, 0 actions"));
        QCOMPARE(details(w), noDetails);
    }
    QVERIFY(projectList(w)->toolTip().isEmpty());

    // Another program removes a project: choosing it falls back to no project, silently.
    o.db().deleteProject(o.keys[0]);
    choose(w, 4);
    QCOMPARE(chosen(w), QStringLiteral("- Aucun - #0, 0 actions"));
    QVERIFY(o.prompter.shown.isEmpty());

    // A text of any length is stored, and shown cut: laying it out whole could exhaust memory.
    Action huge = SampleAction(o.keys[2], "*.x");
    huge.description = QString(20'000'000, u'é');
    o.db().addAction(huge);
    choose(w, 1);
    const QString shown = child<QLabel>(w, "lbl_description")->text();
    QVERIFY(shown.size() < 10'000 && huge.description.startsWith(shown.chopped(1)));
    QCOMPARE(table->item(0, 8)->text(), shown);
}

void FrmMainTest::menusAndRunCommandsFollowTheProject()
{
    OpenMainWindow o({{"Avec", {"*.a"}}, {"Vide", {}}});
    frm_main &w = o.window;
    o.run.released = true;
    // "- Aucun -": nothing to run; the run commands do nothing.
    w.Timer1_Timer();
    const QString noProject = QStringLiteral("1001-001-1000-000-111-0 Voir '- Aucun -.log'");
    QCOMPARE(states(w), noProject);
    w.mnu_simulate_Click();
    w.cmd_sync_Click();
    QVERIFY(o.prompter.shown.isEmpty());

    // A project without actions: the run commands say so.
    choose(w, 2);
    w.Timer1_Timer();
    QCOMPARE(states(w), QStringLiteral("1011-001-1110-100-111-0 Voir 'Vide.log'"));
    w.mnu_sync_Click();
    w.mnu_simulate_Click();
    QCOMPARE(o.prompter.said(false), QStringList(2, "Erreur"));

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
    o.prompter.answers.enqueue(QMessageBox::No);
    w.mnu_simulate_Click();
    QCOMPARE(o.prompter.said().size(), 1);
    QVERIFY(!runWindow());
    w.mnu_simulate_Click(); // Yes
    QTRY_VERIFY(runWindow() && runWindow()->isFinished());
    QCOMPARE(o.run.lastRequest().mode, RunMode::Simulate);
    QCOMPARE(o.driver.questions, 0);
}

void FrmMainTest::synchronisationGoesThroughTheConfirmation()
{
    OpenMainWindow o({{"Sauvegarde", {"*.a", "*.b"}}});
    frm_main &w = o.window;
    DialogDriver &driver = o.driver;
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
    const RunRequest request = o.run.lastRequest();
    QCOMPARE(request.projectName + u'|' + request.appDir, "Sauvegarde|" + o.dir.path());
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
    QVERIFY(driver.titles.size() == 2 && o.prompter.shown.isEmpty());
    QVERIFY(first->isVisible() && !first->CancelRequested());
    QCOMPARE(o.run.runs.load(), 1);
    QCOMPARE(states(w), QStringLiteral("0111-111-0001-000-111-1 Voir 'Sauvegarde.log'"));

    // At the end the browser is re-read: an action added meanwhile shows up.
    o.db().addAction(SampleAction(o.keys[0], "*.c"));
    o.run.released = true;
    QTRY_VERIFY(first->isFinished());
    QVERIFY(!w.BusyFlag());
    QCOMPARE(browserOf(w).rowCount(), 3);
    QTRY_COMPARE(states(w), QStringLiteral("1111-111-1111-111-111-1 Voir 'Sauvegarde.log'"));
    // A double click on a row opens its editor.
    driver.steps.enqueue([](QDialog *d) { press(d, "cmd_cancel"); });
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, row);
    QCOMPARE(driver.titles.value(2), frm_action::EditTitle);

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
    OpenMainWindow o({}, &RunDriver::run);
    o.dir.write(QStringLiteral("origine/sous/b.txt"), "second fichier");
    o.dir.mkdir(QStringLiteral("destination"));
    Action action = SampleAction(addProject(o.dir, QStringLiteral("Bout")), "*.*");
    action.fromFolder = o.dir("origine");
    action.toFolder = o.dir("destination");
    o.db().addAction(action);
    o.window.LoadTemplates();
    o.driver.steps.enqueue(DialogDriver::answer(false, true));
    choose(o.window, 1);
    o.window.Timer1_Timer();
    child<QPushButton>(o.window, "cmd_sync")->click();
    QPointer<frm_sync> window = runWindow();
    QVERIFY(window);
    QTRY_VERIFY_WITH_TIMEOUT(window->isFinished(), 60000);
    QVERIFY(!o.window.BusyFlag());
    QVERIFY(o.prompter.shown.isEmpty());

    // The program's own engine ran: the tree is copied and the report file written.
    QCOMPARE(readFile(o.dir("destination/sous/b.txt")), QByteArray("second fichier"));
    QVERIFY(QFile::exists(o.dir("Bout.log")));
}

void FrmMainTest::helpReportDonationAndAbout()
{
    OpenMainWindow o({{"Sauvegarde", {}}});
    frm_main &w = o.window;

    // Each item reaches its command: the help box, the chosen project's report, the donation
    // page and the about box.
    child<QAction>(w, "Mnu_Aide")->trigger();
    QCOMPARE(o.prompter.said().size(), 1);
    choose(w, 1);
    o.dir.write(QStringLiteral("Sauvegarde.log"), "rapport");
    child<QAction>(w, "mnu_viewreport")->trigger();
    child<QAction>(w, "Mnu_Don")->trigger();
    QCOMPARE(o.opened, (QList<QUrl> {QUrl::fromLocalFile(o.dir("Sauvegarde.log")), DonationUrl()}));
    o.driver.steps.enqueue([](QDialog *d) {
        QVERIFY(qobject_cast<frmAbout *>(d));
        press(d, "cmdOK");
    });
    child<QAction>(w, "mnu_about")->trigger();
    QCOMPARE(o.driver.titles.size(), 1);
    QVERIFY(o.prompter.shown.isEmpty());
}

void FrmMainTest::minimiseRestoreAndQuit()
{
    TempDir dir;
    addProject(dir, QStringLiteral("Sauvegarde"), {"*.a"});
    ScriptedPrompter prompter;
    ScriptedRun run; // outlives the window
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
    QVERIFY(runWindow()->CancelRequested());

    // Quitting during a run: the main window closes at once and the run is stopped with it.
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
