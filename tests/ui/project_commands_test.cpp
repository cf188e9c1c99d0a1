#include "main_window_driver.h"

#include <QFile>
#include <QTest>

#include <sqlite3.h>

namespace {

// Another connection holding the database file locked for writing until it is closed (which rolls
// back), as a second program would.
sqlite3 *lockForWriting(const QString &file)
{
    sqlite3 *db = nullptr;
    sqlite3_open(QFile::encodeName(file).constData(), &db);
    sqlite3_exec(db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr); // the refusal below proves it
    return db;
}

} // namespace

class ProjectCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void maintenanceFromNewProjectToItsDeletion()
    {
        OpenMainWindow o;
        frm_main &w = o.window;
        // No project chosen: a message, and no action editor to answer.
        o.driver.steps << [](QDialog *d) { press(d, "cmd_cancel"); };
        w.mnu_newaction_Click();
        QVERIFY(o.driver.titles.isEmpty());
        o.driver.steps.clear();
        // A blank name is refused, the editor staying open; the name is stored trimmed.
        o.driver.steps << [](QDialog *d) {
            fill(d, {{"txt_name", "   "}});
        } << [](QDialog *d) {
            fill(d, {{"txt_name", "  Photos été "}, {"txt_description", "vers la clé"}});
        };
        w.mnu_newtemplate_Click();
        QCOMPARE(o.prompter.said(false), QStringList(2, "Erreur"));
        QCOMPARE(projectList(w)->currentText() + u'|' + projectList(w)->toolTip(),
            QStringLiteral("Photos été|vers la clé"));
        const qint64 key = w.CurrentTemplateNo();

        o.driver.steps.enqueue([](QDialog *d) {
            fill(d, {{"txt_filter", "*.jpg"}, {"txt_folderfrom", "/a/"}, {"txt_folderto", "/b/"}});
        });
        w.mnu_newaction_Click();
        // Rename the project: its action goes with it.
        o.driver.steps.enqueue([](QDialog *d) { fill(d, {{"txt_name", "Images"}}); });
        w.mnu_edittemplate_Click();
        QCOMPARE(chosen(w), QStringLiteral("Images #%1, 1 actions").arg(key));
        o.driver.steps.enqueue([](QDialog *d) { fill(d, {{"txt_filter", "*.png"}}); });
        w.mnu_editaction_Click();
        QCOMPARE(child<QLabel>(w, "lbl_filter")->text(), QStringLiteral("*.png"));

        // Deleting asks first, No being the default: No keeps, Yes removes (the project with its
        // actions).
        o.prompter.answers << QMessageBox::No << QMessageBox::Yes;
        w.mnu_deleteaction_Click();
        QCOMPARE(browserOf(w).rowCount(), 1);
        w.mnu_deleteaction_Click();
        QCOMPARE(browserOf(w).rowCount(), 0);
        o.db().addAction(SampleAction(key, "*.a"));
        o.prompter.answers << QMessageBox::No << QMessageBox::Yes;
        w.mnu_deletetemplate_Click();
        QCOMPARE(entries(w).size(), 2);
        w.mnu_deletetemplate_Click();
        QCOMPARE(entries(w), QStringList {"- Aucun -"});
        for (const auto &box : std::as_const(o.prompter.shown))
            QCOMPARE(box.defaultButton, QMessageBox::No);
    }

    void aRefusedWriteKeepsTheEditorOpenAndBound()
    {
        OpenMainWindow o({{"Premier", {}}, {"Second", {}}});
        frm_main &w = o.window;
        const qint64 first = o.keys[0];
        const QString file = o.dir("Tandrel.mdb");
        choose(w, 1);

        // While the editor is open another project is chosen and another program locks the file.
        sqlite3 *lock = nullptr;
        QString kept;
        o.driver.steps.enqueue([&](QDialog *d) {
            choose(w, 2);
            lock = lockForWriting(file);
            fill(d, {{"txt_filter", "*.doc"}, {"txt_folderfrom", "/a/"}, {"txt_folderto", "/b/"}});
        });
        o.driver.steps.enqueue([&](QDialog *d) {
            for (const char *box : {"txt_filter", "txt_folderfrom", "txt_folderto"})
                kept += child<QLineEdit>(*d, box)->text();
            sqlite3_close_v2(lock);
            press(d, "cmd_ok");
        });
        w.mnu_newaction_Click();
        QCOMPARE(o.prompter.said(false), QStringList {"Erreur"});
        QCOMPARE(kept, QStringLiteral("*.doc/a//b/"));
        ProjectDb db = o.db();
        QCOMPARE(int(db.allActionsByFilter().size()), 1);
        QCOMPARE(db.actionsOf(first).at(0).fileFilter, QStringLiteral("*.doc"));

        // Another program replaces the project while its action editor is open: the save says so,
        // stores nothing, and the list is read again.
        choose(w, 1);
        o.driver.steps.enqueue([&](QDialog *d) {
            db.addProjectWithActions(QStringLiteral("Premier"), QString(), {}, {first});
            fill(
                d, {{"txt_filter", "*.perdu"}, {"txt_folderfrom", "/a/"}, {"txt_folderto", "/b/"}});
        });
        w.mnu_newaction_Click();
        QCOMPARE(o.prompter.said(false), QStringList {"Erreur"});
        QCOMPARE(chosen(w), QStringLiteral("- Aucun - #0, 0 actions"));
    }

    void exportThenImportThroughTheWindow()
    {
        OpenMainWindow o({{"Été", {"*.0", "*.1"}}});
        choose(o.window, 1);
        const QString file
            = o.dir.mkdir(QStringLiteral("mes échanges")) + QStringLiteral("/été.TDRL");
        o.prompter.files << file << o.dir("nulle part/P.TDRL");
        o.window.mnu_export_Click();
        QVERIFY(o.prompter.said().value(0).contains(file));

        // Import into another installation: the project comes with its actions and is chosen.
        OpenMainWindow other;
        other.prompter.files << file
                             << o.dir.write(QStringLiteral("sans nom.TDRL"), "[Main]\nActions=1\n");
        other.window.mnu_import_Click();
        QCOMPARE(chosen(other.window), QStringLiteral("Été #1, 2 actions"));

        // The file checks are the exchange layer's: here one refused import, one failed export.
        other.window.mnu_import_Click();
        o.window.mnu_export_Click();
        QCOMPARE(other.prompter.said(false), (QStringList {"Information", "Erreur"}));
        QCOMPARE(o.prompter.said(false), QStringList {"Erreur"});
        QCOMPARE(other.db().projectsByName().size(), 1u);

        // The companion run file: Yes writes it (its text is the exchange layer's), with the
        // answer to the report question.
        o.prompter.answers << QMessageBox::Yes << QMessageBox::No;
        o.window.mnu_exporttoini_Click();
        QVERIFY(readFile(o.dir("TDRL_Exe.ini")).contains("ShowReport=NON"));
    }

    void replacingAProjectOfTheSameName()
    {
        OpenMainWindow o({{"NEUF", {"*.0", "*.1", "*.2"}}});
        const QString file = o.dir.write(QStringLiteral("neuf.TDRL"),
            "[Main]\nTemplateName=Neuf\nActions=1\n[Action1]\nFileFilter=*.n\n");

        // No to the replacement; then Yes and No to the deletion: nothing changes.
        o.prompter.files << file << file << file;
        o.prompter.answers << QMessageBox::No << QMessageBox::Yes << QMessageBox::No;
        o.window.mnu_import_Click();
        o.window.mnu_import_Click();
        QCOMPARE(o.db().actionsOf(o.keys[0]).size(), 3u);

        // Yes then Yes: the old project and its actions go, the file's project comes.
        o.window.mnu_import_Click();
        QCOMPARE(o.db().projectsByName().size(), 1u);
        QVERIFY(o.db().actionsOf(o.keys[0]).empty());
        QCOMPARE(child<QLabel>(o.window, "lbl_filter")->text(), QStringLiteral("*.n"));
    }
};

QTEST_MAIN(ProjectCommandsTest)
#include "project_commands_test.moc"
