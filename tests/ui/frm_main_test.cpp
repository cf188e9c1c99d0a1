#include "app_id.h"
#include "autostart_entry.h"
#include "main_window_driver.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QTableWidget>
#include <QTest>

namespace {

// Which of the menu items and the button are enabled, as "1" and "0", in the groups below.
QString states(const frm_main &w)
{
    QString states;
    for (const char *name : {"mnu_import", "mnu_export", "mnu_viewreport", "mnu_exit", "-",
             "mnu_sync", "mnu_simulate", "mnu_scheduler", "-", "mnu_newtemplate",
             "mnu_edittemplate", "mnu_deletetemplate", "mnu_exporttoini", "-", "mnu_newaction",
             "mnu_editaction", "mnu_deleteaction", "-", "cmd_sync"})
        states += *name == '-' ? u'-' : child(w, name)->property("enabled").toBool() ? u'1' : u'0';
    return states;
}

} // namespace

class FrmMainTest : public QObject {
    Q_OBJECT

private slots:
    void browsingProjectsAndActions()
    {
        OpenMainWindow o({{"Zeta", {}}, {"l'été", {"*.jpg"}}, {"Double", {}}, {"Double", {}}});
        frm_main &w = o.window;
        QCOMPARE(entries(w), (QStringList {"- Aucun -", "Double", "Double", "l'été", "Zeta"}));

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
        QCOMPARE(child<QTableWidget>(w, "tbl_actions")->item(0, 8)->text(), shown);
    }

    void menusAndRunCommandsFollowTheProject()
    {
        OpenMainWindow o({{"Avec", {"*.a"}}, {"Vide", {}}});
        frm_main &w = o.window;
        o.run.released = true;
        // A project without actions: the run commands say so.
        choose(w, 2);
        w.Timer1_Timer();
        QCOMPARE(states(w), QStringLiteral("1011-001-1110-100-0"));
        w.mnu_simulate_Click();
        QCOMPARE(o.prompter.said(false), QStringList {"Erreur"});
        choose(w, 1); // one action: the timer follows by itself
        QTRY_COMPARE(states(w), QStringLiteral("1111-111-1111-111-1"));

        // A simulation is confirmed by a question, not by the dialog; No starts nothing.
        o.prompter.answers.enqueue(QMessageBox::No);
        w.mnu_simulate_Click();
        QVERIFY(!runWindow());
        w.mnu_simulate_Click(); // Yes
        QTRY_VERIFY(runWindow() && runWindow()->isFinished());
        QCOMPARE(o.run.lastRequest().mode, RunMode::Simulate);
        QVERIFY(o.driver.titles.isEmpty());
    }

    void synchronisationGoesThroughTheConfirmation()
    {
        OpenMainWindow o({{"Sauvegarde", {"*.a", "*.b"}}});
        frm_main &w = o.window;
        DialogDriver &driver = o.driver;
        choose(w, 1);
        w.Timer1_Timer();

        // The dialog's option counts only with OK; Annuler or the title bar start nothing.
        driver.steps << DialogDriver::answer(true, false) << [](QDialog *d) { d->close(); }
                     << DialogDriver::answer(true, true);
        w.mnu_sync_Click();
        w.mnu_sync_Click();
        QVERIFY(!runWindow());
        w.mnu_sync_Click();
        QPointer<frm_sync> first = runWindow();
        QVERIFY(first);
        QTRY_VERIFY(w.BusyFlag());
        const RunRequest request = o.run.lastRequest();
        QCOMPARE(request.mode, RunMode::Synchronize);
        QVERIFY(request.showAllInReport);
        QCOMPARE(request.actions.back().fileFilter, QStringLiteral("*.b"));

        // Never two runs at once, and the button leaves the running window alone. Nothing changes
        // projects, actions or the database meanwhile: not the menu, not a double click on a row.
        w.cmd_sync_Click();
        w.mnu_sync_Click();
        w.mnu_deleteaction_Click();
        w.mnu_deletetemplate_Click();
        auto *table = child<QTableWidget>(w, "tbl_actions");
        const QPoint row = table->visualRect(table->model()->index(0, 1)).center();
        QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, row);
        QTest::qWait(50);
        QVERIFY(driver.titles.size() == 3 && o.prompter.shown.isEmpty());
        QVERIFY(first->isVisible() && !first->CancelRequested());
        QCOMPARE(o.run.runs.load(), 1);
        QCOMPARE(states(w), QStringLiteral("0111-111-0001-000-1"));

        // At the end the browser is re-read: an action added meanwhile shows up.
        o.db().addAction(SampleAction(o.keys[0], "*.c"));
        o.run.released = true;
        QTRY_VERIFY(first->isFinished());
        QVERIFY(!w.BusyFlag());
        QCOMPARE(browserOf(w).rowCount(), 3);
        QTRY_COMPARE(states(w), QStringLiteral("1111-111-1111-111-1"));
    }

    // Quitting during a run is tried on a real desktop.
    void escStopsTheRun()
    {
        OpenMainWindow o({{"Sauvegarde", {"*.a"}}});
        frm_main &w = o.window;
        w.show();
        choose(w, 1);
        w.mnu_simulate_Click();
        QTRY_VERIFY(runWindow() && runWindow()->isRunning());
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QTest::keyClick(&w, Qt::Key_Escape);
        QTRY_VERIFY(runWindow()->isFinished());
        QVERIFY(runWindow()->CancelRequested());
    }

    // What the entry holds is the support layer's; here the item's wiring.
    void theItemWritesRemovesAndFollowsTheEntry()
    {
        TempDir config;
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
        const QString entry = config("autostart/" + AppId() + ".desktop");
        config.write("autostart", "un fichier"); // no folder can be made there
        OpenMainWindow o;
        auto *item = child<QAction>(o.window, "mnu_autostart");
        item->trigger();
        QVERIFY(!item->isChecked());
        QCOMPARE(o.prompter.said(false), QStringList {"Erreur"});

        QVERIFY(QFile::remove(config("autostart")));
        item->trigger();
        QVERIFY(item->isChecked() && AutostartEnabled(entry));
        item->trigger();
        QVERIFY(!item->isChecked() && !QFile::exists(entry));

        // Switched off meanwhile in the desktop's settings: unchecked when the menu opens next.
        item->trigger();
        config.write("autostart/" + AppId() + ".desktop", readFile(entry) + "Hidden=true\n");
        emit child<QMenu>(o.window, "cap_file")->aboutToShow();
        QVERIFY(!item->isChecked());
    }
};

QTEST_MAIN(FrmMainTest)
#include "frm_main_test.moc"
