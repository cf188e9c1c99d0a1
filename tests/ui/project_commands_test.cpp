#include "main_window_driver.h"
#include "project_file.h"

#include <QFile>
#include <QTest>

#include <sqlite3.h>

namespace {

// Another connection holding the database file locked for writing until release(), as a second
// program would.
class WriteLock {
public:
    explicit WriteLock(const QString &file)
    {
        sqlite3_open(QFile::encodeName(file).constData(), &db_);
        QVERIFY(sqlite3_exec(db_, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) == SQLITE_OK);
    }
    ~WriteLock() { release(); }
    void release()
    {
        sqlite3_close_v2(std::exchange(db_, nullptr)); // rolls back
    }

private:
    sqlite3 *db_ = nullptr;
};

} // namespace

class ProjectCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void maintenanceFromNewProjectToItsDeletion();
    void aRefusedWriteKeepsTheEditorOpenAndBound();
    void exportThenImportThroughTheWindow();
    void refusalsAndFailuresAreTold();
    void replacingAProjectOfTheSameName();
    void theCompanionRunFile();
};

void ProjectCommandsTest::maintenanceFromNewProjectToItsDeletion()
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
    QCOMPARE(prompter.said(false), QStringList {"Erreur"});
    QVERIFY(driver.titles.isEmpty());

    // A new project is created and chosen.
    driver.steps.enqueue([](QDialog *d) {
        fill(d, {{"txt_name", "  Photos été "}, {"txt_description", "vers la clé"}});
    });
    w.mnu_newtemplate_Click();
    QCOMPARE(entries(w), (QStringList {"- Aucun -", "Photos été"}));
    QCOMPARE(projectList(w)->currentText() + u'|' + projectList(w)->toolTip(),
        QStringLiteral("Photos été|vers la clé"));
    const qint64 key = w.CurrentTemplateNo();
    QVERIFY(key != 0);

    // A new action is added and shown.
    driver.steps.enqueue([](QDialog *d) {
        fill(d,
            {{"txt_filter", "*.jpg"}, {"txt_folderfrom", "/données/photos/"},
                {"txt_folderto", "/media/clé/"}, {"txt_description", "photos"}});
    });
    w.mnu_newaction_Click();
    QCOMPARE(browserOf(w).rowCount(), 1);
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
    QCOMPARE(entries(w), (QStringList {"- Aucun -", "Images"}));
    QCOMPARE(chosen(w), QStringLiteral("Images #%1, 1 actions").arg(key));

    // Edit the action: the details show the new values at once.
    driver.steps.enqueue([](QDialog *d) {
        QCOMPARE(typed(d, "txt_folderfrom"), QStringLiteral("/données/photos/"));
        child<QCheckBox>(*d, "chk_enabled")->click();
        fill(d, {{"txt_filter", "*.png"}});
    });
    w.mnu_editaction_Click();
    QCOMPARE(details(w).mid(0, 2), (QStringList {"NON", "*.png"}));
    QCOMPARE(
        ProjectDb(dir("Tandrel.mdb")).actionsOf(key).front().fileFilter, QStringLiteral("*.png"));

    // Delete the action: No (also the default button) keeps it, Yes removes it and empties the
    // details. The question names the action.
    prompter.answers << QMessageBox::No << QMessageBox::Yes;
    w.mnu_deleteaction_Click();
    QCOMPARE(prompter.shown.value(0).buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(prompter.shown.value(0).defaultButton, QMessageBox::No);
    QCOMPARE(browserOf(w).rowCount(), 1);
    w.mnu_deleteaction_Click();
    QCOMPARE(browserOf(w).rowCount(), 0);
    QCOMPARE(details(w), noDetails);
    const QStringList asked = prompter.said();
    QVERIFY(asked.size() == 2 && asked[1].endsWith("*.png : /données/photos/ → /media/clé/"));

    // Delete the project (with an action again): No keeps it; Yes removes it and its actions.
    ProjectDb(dir("Tandrel.mdb")).addAction(SampleAction(key, "*.a"));
    prompter.answers << QMessageBox::No << QMessageBox::Yes;
    w.mnu_deletetemplate_Click();
    QCOMPARE(entries(w).size(), 2);
    QCOMPARE(prompter.shown.value(0).defaultButton, QMessageBox::No);
    w.mnu_deletetemplate_Click();
    QCOMPARE(prompter.said().size(), 2);
    QCOMPARE(entries(w), QStringList {"- Aucun -"});
    QCOMPARE(chosen(w), QStringLiteral("- Aucun - #0, 0 actions"));
    QVERIFY(ProjectDb(dir("Tandrel.mdb")).allActionsByFilter().empty());
    QVERIFY(driver.steps.isEmpty());
}

void ProjectCommandsTest::aRefusedWriteKeepsTheEditorOpenAndBound()
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
    QCOMPARE(driver.titles.size(), 2);
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
    QCOMPARE(prompter.said(false).value(1), QStringLiteral("Erreur"));
    again.release();
    QCOMPARE(int(db.actionsOf(first).size()), 1);
    QVERIFY(db.project(first).has_value());

    // Another program replaces the project while its action editor is open: the save says so,
    // stores nothing, closes the editor, and the list is read again.
    driver.steps.enqueue([&](QDialog *d) {
        db.addProjectWithActions(QStringLiteral("Premier"), QString(), {}, {first});
        fill(d, {{"txt_filter", "*.perdu"}, {"txt_folderfrom", "/a/"}, {"txt_folderto", "/b/"}});
    });
    w.mnu_newaction_Click();
    QCOMPARE(prompter.said(false), QStringList {"Erreur"});
    QVERIFY(driver.steps.isEmpty());
    QCOMPARE(chosen(w), QStringLiteral("- Aucun - #0, 0 actions"));
    QCOMPARE(entries(w), (QStringList {"- Aucun -", "Premier", "Second"}));
    QVERIFY(db.allActionsByFilter().empty());
}

void ProjectCommandsTest::exportThenImportThroughTheWindow()
{
    TempDir dir;
    addProject(dir, QStringLiteral("Été"), {"*.0", "*.1"});
    ScriptedPrompter prompter;
    frm_main w(prompter);
    QVERIFY(w.Form_Load(dir.path()));
    choose(w, QStringLiteral("Été"));
    const QString file = dir.mkdir(QStringLiteral("mes échanges")) + QStringLiteral("/été.TDRL");

    // The save dialog proposes the project's name in the program's folder; cancelled, nothing
    // is written and nothing said.
    w.mnu_export_Click();
    QVERIFY(!QFile::exists(file) && prompter.shown.isEmpty());
    QCOMPARE(prompter.fileDialogs.value(0).folder + prompter.fileDialogs.value(0).fileName,
        dir("Été.TDRL"));
    prompter.files.enqueue(file);
    w.mnu_export_Click();
    QVERIFY(prompter.said().value(0).contains(file));
    QCOMPARE(projectList(w)->currentText(), QStringLiteral("Été"));

    // Import into another installation: the project comes with its actions and is chosen.
    TempDir other;
    frm_main second(prompter);
    QVERIFY(second.Form_Load(other.path()));
    prompter.files.enqueue(file);
    second.mnu_import_Click();
    QCOMPARE(prompter.fileDialogs.last().folder, other.path());
    QCOMPARE(prompter.said(false), QStringList {"Information"});
    QCOMPARE(chosen(second), QStringLiteral("Été #1, 2 actions"));
    QCOMPARE(filter(second), QStringLiteral("*.0"));
}

void ProjectCommandsTest::refusalsAndFailuresAreTold()
{
    // Import: a lower-case extension, a missing file, a file without a project name; each
    // refusal says why.
    TempDir dir;
    ScriptedPrompter prompter;
    frm_main w(prompter);
    QVERIFY(w.Form_Load(dir.path()));
    const QString noName = dir.write(QStringLiteral("sans nom.TDRL"), "[Main]\nActions=1\n");
    prompter.files << dir.write(QStringLiteral("p.tdrl"), "[Main]\nTemplateName=p\n")
                   << dir("absent.TDRL") << noName;
    for (int i = 0; i < 3; ++i)
        w.mnu_import_Click();
    for (const auto &box : std::as_const(prompter.shown))
        QCOMPARE(box.icon, Prompter::Icon::Critical);
    QStringList boxes = prompter.said();
    QCOMPARE(boxes.size(), 3);
    QVERIFY2(boxes[0].contains(ProjectFileNameProblem(dir("p.tdrl"))), qPrintable(boxes[0]));
    QVERIFY(boxes[1].contains(dir("absent.TDRL")) && boxes[2].contains(noName));
    QVERIFY(ProjectDb(dir("Tandrel.mdb")).projectsByName().empty());

    // Export: a name that is not a project file name, then a folder that does not exist.
    addProject(dir, QStringLiteral("P"), {"*.0"});
    w.LoadTemplates();
    choose(w, QStringLiteral("P"));
    prompter.files << dir("P.TDRL.txt") << dir("nulle part/P.TDRL");
    w.mnu_export_Click();
    w.mnu_export_Click();
    QCOMPARE(prompter.shown.value(1).icon, Prompter::Icon::Critical);
    boxes = prompter.said();
    QVERIFY(boxes.size() == 2 && boxes[1].contains(dir("nulle part/P.TDRL")));
    QVERIFY(!QFile::exists(dir("P.TDRL.txt")));
    QVERIFY(!w.BusyFlag());
}

void ProjectCommandsTest::replacingAProjectOfTheSameName()
{
    TempDir dir;
    const QString file = dir.write(QStringLiteral("neuf.TDRL"),
        "[Main]\nTemplateName=Neuf\nDescription=importé\nActions=1\n[Action1]\nFileFilter=*.n\n");
    const qint64 old = addProject(dir, QStringLiteral("NEUF"), {"*.0", "*.1", "*.2"});
    ScriptedPrompter prompter;
    frm_main w(prompter);
    QVERIFY(w.Form_Load(dir.path()));

    // No to the replacement; then Yes and No to the deletion: nothing changes.
    prompter.files << file << file << file;
    prompter.answers << QMessageBox::No << QMessageBox::Yes << QMessageBox::No;
    w.mnu_import_Click();
    QCOMPARE(prompter.shown.value(0).icon, Prompter::Icon::Warning);
    QVERIFY(prompter.said().value(0).contains(QStringLiteral("Neuf")));
    w.mnu_import_Click();
    QCOMPARE(prompter.said().size(), 2);
    QCOMPARE(projectList(w)->currentText(), QStringLiteral("- Aucun -"));
    {
        ProjectDb db(dir("Tandrel.mdb"));
        QCOMPARE(db.projectsByName().size(), 1u);
        QCOMPARE(db.actionsOf(old).size(), 3u);
    }

    // Yes then Yes: the old project and its actions go, the file's project comes.
    w.mnu_import_Click();
    QCOMPARE(prompter.said(false).value(2), QStringLiteral("Information"));
    QCOMPARE(projectList(w)->currentText(), QStringLiteral("Neuf"));
    ProjectDb db(dir("Tandrel.mdb"));
    QCOMPARE(db.projectsByName().size(), 1u);
    QCOMPARE(db.projectsByName().front().description, QStringLiteral("importé"));
    QVERIFY(db.actionsOf(old).empty());
    QCOMPARE(browserOf(w).rows().at(0).fileFilter, QStringLiteral("*.n"));
}

void ProjectCommandsTest::theCompanionRunFile()
{
    TempDir dir;
    addProject(dir, QStringLiteral("Nuit"), {"*.0"});
    ScriptedPrompter prompter;
    frm_main w(prompter);
    QVERIFY(w.Form_Load(dir.path()));
    w.mnu_exporttoini_Click(); // "- Aucun -": nothing at all
    QVERIFY(prompter.shown.isEmpty());
    choose(w, QStringLiteral("Nuit"));

    // No writes nothing; Yes writes the file, with the answer to the report question.
    prompter.answers << QMessageBox::No << QMessageBox::Yes << QMessageBox::No;
    w.mnu_exporttoini_Click();
    QVERIFY(!QFile::exists(dir("TDRL_Exe.ini")));
    w.mnu_exporttoini_Click();
    QCOMPARE(prompter.said().size(), 4);
    QCOMPARE(readFile(dir("TDRL_Exe.ini")),
        QByteArray("[AutoRunTemplate]\r\nName=Nuit\r\nShowReport=NON\r\n"));
}

QTEST_MAIN(ProjectCommandsTest)
#include "project_commands_test.moc"
