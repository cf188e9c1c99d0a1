#include "frm_main.h"
#include "frm_question.h"
#include "navigation_bar.h"
#include "project_db.h"
#include "scripted_prompter.h"
#include "scripted_run.h"
#include "temp_dir.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QQueue>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace {

QString labelText(const frm_main &w, const char *name)
{
    return w.findChild<QLabel *>(QString::fromLatin1(name))->text();
}

// The eight detail labels in the order enabled, filter, from, to, description, date, size, op.
QStringList details(const frm_main &w)
{
    QStringList texts;
    for (const char *name : {"lbl_enabled", "lbl_filter", "lbl_fromfolder", "lbl_tofolder",
             "lbl_description", "lbl_filedate", "lbl_filesize", "lbl_operator"})
        texts << labelText(w, name);
    return texts;
}

bool subFoldersTicked(const frm_main &w)
{
    return w.findChild<QCheckBox *>(QStringLiteral("chk_includesubfolders"))->isChecked();
}

// Chooses the list entry at index as a user click does.
void choose(frm_main &w, int index)
{
    auto *combo = w.findChild<QComboBox *>(QStringLiteral("cmb_template"));
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

QStringList entries(const frm_main &w)
{
    auto *combo = w.findChild<QComboBox *>(QStringLiteral("cmb_template"));
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i)
        texts << combo->itemText(i);
    return texts;
}

Action makeAction(qint64 project, const QString &filter, const QString &inclSub)
{
    Action a;
    a.templateNo = project;
    a.description = QStringLiteral("copie de ") + filter;
    a.enabled = QStringLiteral("OUI");
    a.fileFilter = filter;
    a.fromFolder = QStringLiteral("/données/origine/");
    a.toFolder = QStringLiteral("/media/clé/");
    a.inclSub = inclSub;
    a.fileDate = QStringLiteral(">");
    a.fileSize = QStringLiteral("<>");
    a.op = QStringLiteral("OR");
    return a;
}

// Which of mnu_sync, mnu_simulate, cmd_sync and mnu_scheduler are enabled, as "1" and "0".
QString runCommands(const frm_main &w)
{
    QString states;
    for (const char *name : {"mnu_sync", "mnu_simulate", "cmd_sync", "mnu_scheduler"}) {
        const QObject *item = w.findChild<QObject *>(QString::fromLatin1(name));
        states += item->property("enabled").toBool() ? u'1' : u'0';
    }
    return states;
}

// Answers every run confirmation dialog that opens: from the script when there is one
// (tick the option or not, then OK or Annuler), otherwise with Annuler.
class QuestionAnswerer {
public:
    struct Answer {
        bool tick = false;
        bool ok = false;
        std::function<void()> whenShown;
    };
    QQueue<Answer> answers;
    int opened = 0;

    QuestionAnswerer()
    {
        QObject::connect(&poll_, &QTimer::timeout, [this] {
            auto *dialog = qobject_cast<frm_question *>(QApplication::activeModalWidget());
            if (!dialog || !dialog->isVisible() || dialog == answered_)
                return;
            answered_ = dialog;
            ++opened;
            const Answer answer = answers.isEmpty() ? Answer {} : answers.dequeue();
            if (answer.whenShown)
                answer.whenShown();
            if (answer.tick)
                dialog->findChild<QCheckBox *>(QStringLiteral("chk_showallinreport"))->click();
            dialog
                ->findChild<QPushButton *>(
                    answer.ok ? QStringLiteral("cmd_ok") : QStringLiteral("cmd_cancel"))
                ->click();
        });
        poll_.start(5);
    }

private:
    QTimer poll_;
    QPointer<frm_question> answered_;
};

} // namespace

class FrmMainTest : public QObject {
    Q_OBJECT

private slots:
    void startsOnAnEmptyDatabase();
    void choosingAProjectShowsItsActions();
    void navigationAndTableFollowTheBrowser();
    void busyFlagLeavesTheDetailsEmpty();
    void aVanishedOrDuplicateNameFallsBackAsStored();
    void aFileThatIsNotADatabaseStopsTheStart();
    void runCommandsNeedAProjectWithActions();
    void synchronisationGoesThroughTheConfirmation();
    void aRealRunCopiesTheTreeAndWritesTheReport();
};

void FrmMainTest::startsOnAnEmptyDatabase()
{
    TempDir dir;
    ScriptedPrompter prompter;
    frm_main w(prompter);
    QVERIFY(w.Form_Load(dir.path()));

    QVERIFY(QFile::exists(dir("Tandrel.mdb")));
    QCOMPARE(w.windowTitle(), QStringLiteral("Tandrel"));
    QCOMPARE(w.findChild<QGroupBox *>(QStringLiteral("Frame1"))->title(),
        QStringLiteral("Sélection des projets"));
    QCOMPARE(
        w.findChild<QGroupBox *>(QStringLiteral("Frame2"))->title(), QStringLiteral("Actions"));
    QStringList captions;
    for (QLabel *caption : w.findChildren<QLabel *>(QStringLiteral("Label5")))
        captions << caption->text();
    QCOMPARE(captions,
        (QStringList {"Activé", "Filtre des fichiers", "Dossier origine :", "Dossier destination :",
            "Description :", "Date", "Taille", "Operation :"}));
    QCOMPARE(w.findChild<QCheckBox *>(QStringLiteral("chk_includesubfolders"))->text(),
        QStringLiteral("Inclure les sous-dossiers"));
    QCOMPARE(entries(w), QStringList {"- Aucun -"});
    QCOMPARE(w.findChild<QComboBox *>(QStringLiteral("cmb_template"))->currentText(),
        QStringLiteral("- Aucun -"));
    QCOMPARE(w.CurrentTemplateNo(), 0);
    QCOMPARE(w.data1().rowCount(), 0);
    QCOMPARE(details(w), QStringList(8, QString()));
    QVERIFY(prompter.shown.isEmpty());
}

void FrmMainTest::choosingAProjectShowsItsActions()
{
    TempDir dir;
    qint64 ete = 0;
    {
        ProjectDb db(dir("Tandrel.mdb"));
        db.addProject(QStringLiteral("Zeta"), QString());
        ete = db.addProject(QStringLiteral("l'été"), QStringLiteral("Vacances \"100%\""));
        db.addProject(QStringLiteral("Alpha"), QString());
        Action first = makeAction(ete, QStringLiteral("*.jpg"), QStringLiteral("oui"));
        db.addAction(first);
        db.addAction(makeAction(ete, QStringLiteral("*.doc"), QStringLiteral("NON")));
    }
    ScriptedPrompter prompter;
    frm_main w(prompter);
    QVERIFY(w.Form_Load(dir.path()));
    QCOMPARE(entries(w), (QStringList {"- Aucun -", "Alpha", "l'été", "Zeta"}));

    choose(w, 2);
    QCOMPARE(w.CurrentTemplateNo(), ete);
    QCOMPARE(w.findChild<QComboBox *>(QStringLiteral("cmb_template"))->toolTip(),
        QStringLiteral("Vacances \"100%\""));
    QCOMPARE(w.data1().rowCount(), 2);
    QCOMPARE(details(w),
        (QStringList {"OUI", "*.jpg", "/données/origine/", "/media/clé/", "copie de *.jpg", ">",
            "<>", "OR"}));
    QVERIFY(subFoldersTicked(w)); // "oui" reads as true

    // The indicator cannot be changed by a click.
    w.findChild<QCheckBox *>(QStringLiteral("chk_includesubfolders"))->click();
    QVERIFY(subFoldersTicked(w));

    // A project without actions: nothing to show.
    choose(w, 3);
    QCOMPARE(w.data1().rowCount(), 0);
    QCOMPARE(details(w), QStringList(8, QString()));
    QVERIFY(!subFoldersTicked(w));

    // Back to no project.
    choose(w, 2);
    choose(w, 0);
    QCOMPARE(w.CurrentTemplateNo(), 0);
    QCOMPARE(w.data1().rowCount(), 0);
    QVERIFY(w.findChild<QComboBox *>(QStringLiteral("cmb_template"))->toolTip().isEmpty());
    QCOMPARE(details(w), QStringList(8, QString()));
    QVERIFY(prompter.shown.isEmpty());
}

void FrmMainTest::navigationAndTableFollowTheBrowser()
{
    TempDir dir;
    {
        ProjectDb db(dir("Tandrel.mdb"));
        const qint64 key = db.addProject(QStringLiteral("Sauvegarde"), QString());
        for (const char *filter : {"*.c", "*.b", "*.a"})
            db.addAction(makeAction(key, QString::fromLatin1(filter), QStringLiteral("NON")));
    }
    ScriptedPrompter prompter;
    frm_main w(prompter);
    QVERIFY(w.Form_Load(dir.path()));
    choose(w, 1);
    auto *bar = w.findChild<NavigationBar *>(QStringLiteral("Data1Bar"));
    auto *table = w.findChild<QTableWidget *>(QStringLiteral("tbl_actions"));
    QCOMPARE(table->rowCount(), 3);
    // Actions come in the order they were added, not by filter.
    QCOMPARE(table->item(0, 1)->text(), QStringLiteral("*.c"));
    QCOMPARE(table->currentRow(), 0);

    bar->nextButton()->click();
    QCOMPARE(labelText(w, "lbl_filter"), QStringLiteral("*.b"));
    QCOMPARE(table->currentRow(), 1);
    bar->lastButton()->click();
    bar->nextButton()->click(); // stays on the last row
    QCOMPARE(labelText(w, "lbl_filter"), QStringLiteral("*.a"));
    QCOMPARE(table->currentRow(), 2);
    bar->firstButton()->click();
    bar->previousButton()->click();
    QCOMPARE(labelText(w, "lbl_filter"), QStringLiteral("*.c"));

    table->setCurrentCell(1, 3);
    QCOMPARE(w.data1().currentIndex(), 1);
    QCOMPARE(labelText(w, "lbl_filter"), QStringLiteral("*.b"));
}

void FrmMainTest::busyFlagLeavesTheDetailsEmpty()
{
    TempDir dir;
    {
        ProjectDb db(dir("Tandrel.mdb"));
        const qint64 key = db.addProject(QStringLiteral("P"), QString());
        db.addAction(makeAction(key, QStringLiteral("*.a"), QStringLiteral("OUI")));
        db.addAction(makeAction(key, QStringLiteral("*.b"), QStringLiteral("OUI")));
    }
    ScriptedPrompter prompter;
    frm_main w(prompter);
    QVERIFY(w.Form_Load(dir.path()));
    choose(w, 1);
    w.setBusyFlag(true);
    w.data1().moveNext();
    QCOMPARE(details(w), QStringList(8, QString()));
    QVERIFY(!subFoldersTicked(w));
    w.setBusyFlag(false);
    w.data1().moveFirst();
    QCOMPARE(labelText(w, "lbl_filter"), QStringLiteral("*.a"));
}

void FrmMainTest::aVanishedOrDuplicateNameFallsBackAsStored()
{
    TempDir dir;
    qint64 firstDouble = 0;
    {
        ProjectDb db(dir("Tandrel.mdb"));
        firstDouble = db.addProject(QStringLiteral("Double"), QStringLiteral("premier"));
        db.addProject(QStringLiteral("Double"), QStringLiteral("second"));
        db.addProject(QStringLiteral("Partira"), QString());
    }
    ScriptedPrompter prompter;
    frm_main w(prompter);
    QVERIFY(w.Form_Load(dir.path()));
    QCOMPARE(entries(w), (QStringList {"- Aucun -", "Double", "Double", "Partira"}));

    // Either entry of a doubled name chooses the first project of that name.
    choose(w, 2);
    QCOMPARE(w.CurrentTemplateNo(), firstDouble);

    // Another program removes a project: choosing it falls back to no project, silently.
    {
        ProjectDb other(dir("Tandrel.mdb"));
        other.deleteProject(other.projectsNamed(QStringLiteral("Partira")).front().templateNo);
    }
    choose(w, 3);
    QCOMPARE(w.CurrentTemplateNo(), 0);
    QCOMPARE(w.findChild<QComboBox *>(QStringLiteral("cmb_template"))->currentText(),
        QStringLiteral("- Aucun -"));
    QCOMPARE(w.data1().rowSource(), RowSource::blank());
    QVERIFY(prompter.shown.isEmpty());
}

void FrmMainTest::aFileThatIsNotADatabaseStopsTheStart()
{
    TempDir dir;
    const QByteArray garbage("Standard Jet DB\0\x01\x02garbage that is no SQLite file", 48);
    dir.write(QStringLiteral("Tandrel.mdb"), garbage);
    ScriptedPrompter prompter;
    frm_main w(prompter);
    QVERIFY(!w.Form_Load(dir.path()));

    QCOMPARE(prompter.shown.size(), 1);
    const auto &box = prompter.shown.front();
    QCOMPARE(box.icon, Prompter::Icon::Critical);
    QCOMPARE(box.title, QStringLiteral("Erreur"));
    QVERIFY2(
        box.text.startsWith(QStringLiteral("Erreur: 26\nDescription: ")), qPrintable(box.text));
    QFile file(dir("Tandrel.mdb"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), garbage);
}

void FrmMainTest::runCommandsNeedAProjectWithActions()
{
    TempDir dir;
    {
        ProjectDb db(dir("Tandrel.mdb"));
        const qint64 key = db.addProject(QStringLiteral("Avec"), QString());
        db.addAction(makeAction(key, QStringLiteral("*.a"), QStringLiteral("OUI")));
        db.addProject(QStringLiteral("Sans"), QString());
    }
    ScriptedPrompter prompter;
    ScriptedRun run;
    run.released = true;
    QuestionAnswerer answerer;
    frm_main w(prompter, run.function());
    QVERIFY(w.Form_Load(dir.path()));
    QStringList items;
    for (QAction *item : w.menuBar()->findChild<QMenu *>(QStringLiteral("cap_sync"))->actions())
        items << (item->isSeparator() ? QStringLiteral("---") : item->objectName());
    QCOMPARE(items, (QStringList {"mnu_sync", "---", "mnu_simulate", "---", "mnu_scheduler"}));

    // "- Aucun -": nothing to run; the commands set the run mode and do nothing more.
    QCOMPARE(runCommands(w), QStringLiteral("0000"));
    w.mnu_simulate_Click();
    QCOMPARE(w.RunMode(), RunMode::Simulate);
    w.cmd_sync_Click();
    QCOMPARE(w.RunMode(), RunMode::Synchronize);
    QVERIFY(prompter.shown.isEmpty());

    choose(w, 1);
    QTRY_COMPARE(runCommands(w), QStringLiteral("1110")); // the timer keeps them by itself
    choose(w, 2);
    w.Timer1_Timer();
    QCOMPARE(runCommands(w), QStringLiteral("0000"));
    w.mnu_sync_Click();
    w.mnu_simulate_Click();
    QCOMPARE(prompter.shown.size(), 2);
    for (const auto &box : prompter.shown)
        QCOMPARE(box.title + u'|' + box.text,
            QStringLiteral(
                "Erreur|Pas d'action définie! Créez une nouvelle action puis réessayez !"));

    // While busy the states stay as they were.
    w.setBusyFlag(true);
    choose(w, 1);
    w.Timer1_Timer();
    QCOMPARE(runCommands(w), QStringLiteral("0000"));
    w.setBusyFlag(false);
    w.Timer1_Timer();
    QCOMPARE(runCommands(w), QStringLiteral("1110"));

    // A simulation is confirmed by a question, not by the dialog; No starts nothing.
    prompter.shown.clear();
    prompter.answers.enqueue(QMessageBox::No);
    w.mnu_simulate_Click();
    QCOMPARE(prompter.shown.size(), 1);
    QCOMPARE(prompter.shown.front().icon, Prompter::Icon::Question);
    QCOMPARE(prompter.shown.front().title + u'|' + prompter.shown.front().text,
        QStringLiteral(
            "Simulate|Confirmez la synchronisation des fichiers avec les actions définies ?"));
    QCOMPARE(prompter.shown.front().buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(w.RunMode(), RunMode::Simulate);
    QVERIFY(!w.syncWindow());
    w.mnu_simulate_Click(); // Yes
    QTRY_VERIFY(w.syncWindow() && w.syncWindow()->isFinished());
    QCOMPARE(run.lastRequest().mode, RunMode::Simulate);
    QCOMPARE(answerer.opened, 0);
}

void FrmMainTest::synchronisationGoesThroughTheConfirmation()
{
    TempDir dir;
    qint64 key = 0;
    {
        ProjectDb db(dir("Tandrel.mdb"));
        key = db.addProject(QStringLiteral("Sauvegarde"), QString());
        db.addAction(makeAction(key, QStringLiteral("*.a"), QStringLiteral("OUI")));
        db.addAction(makeAction(key, QStringLiteral("*.b"), QStringLiteral("NON")));
    }
    ScriptedPrompter prompter;
    ScriptedRun run;
    QuestionAnswerer answerer;
    frm_main w(prompter, run.function());
    QVERIFY(w.Form_Load(dir.path()));
    choose(w, 1);

    answerer.answers.enqueue({true, false, {}}); // ticked, then Annuler
    w.mnu_sync_Click();
    QCOMPARE(answerer.opened, 1);
    QVERIFY(!w.ShowAllInReport());
    QVERIFY(!w.syncWindow());

    answerer.answers.enqueue({true, true, {}});
    w.mnu_sync_Click();
    QVERIFY(w.ShowAllInReport());
    QPointer<frm_sync> first = w.syncWindow();
    QVERIFY(first && first->isVisible());
    QTRY_VERIFY(w.BusyFlag());
    const RunRequest request = run.lastRequest();
    QCOMPARE(request.projectName, QStringLiteral("Sauvegarde"));
    QCOMPARE(request.appDir, dir.path());
    QCOMPARE(request.mode, RunMode::Synchronize);
    QVERIFY(request.showAllInReport);
    QCOMPARE(int(request.actions.size()), 2);
    QCOMPARE(request.actions[1].fileFilter, QStringLiteral("*.b"));

    // Never two runs at once; the running window refuses to close.
    w.cmd_sync_Click();
    w.mnu_sync_Click();
    w.mnu_simulate_Click();
    QTest::qWait(50);
    QCOMPARE(answerer.opened, 2);
    QVERIFY(prompter.shown.isEmpty());
    QVERIFY(first->isVisible());
    QCOMPARE(run.runs.load(), 1);

    // At the end the browser is re-read: an action added meanwhile shows up.
    ProjectDb(dir("Tandrel.mdb")).addAction(makeAction(key, "*.c", QStringLiteral("NON")));
    run.released = true;
    QTRY_VERIFY(first->isFinished());
    QVERIFY(!w.BusyFlag());
    QCOMPARE(w.data1().rowCount(), 3);
    QCOMPARE(labelText(w, "lbl_filter"), QStringLiteral("*.a"));

    // The menu leaves a finished window open beside the new one; the button closes them all
    // before asking.
    w.mnu_simulate_Click();
    QPointer<frm_sync> second = w.syncWindow();
    QTRY_VERIFY(second && second != first && second->isFinished());
    QVERIFY(first->isVisible());
    bool openAtQuestion = true;
    answerer.answers.enqueue({false, false, [&] {
                                  openAtQuestion = (first && first->isVisible())
                                      || (second && second->isVisible());
                              }});
    w.cmd_sync_Click();
    QCOMPARE(answerer.opened, 3);
    QVERIFY(!openAtQuestion);
    QTRY_VERIFY(first.isNull() && second.isNull());
}

void FrmMainTest::aRealRunCopiesTheTreeAndWritesTheReport()
{
    TempDir dir;
    dir.write(QStringLiteral("origine/a.txt"), "premier");
    dir.write(QStringLiteral("origine/sous/b.txt"), "second fichier");
    dir.mkdir(QStringLiteral("destination"));
    {
        ProjectDb db(dir("Tandrel.mdb"));
        Action action = makeAction(db.addProject(QStringLiteral("Bout"), QString()),
            QStringLiteral("*.*"), QStringLiteral("OUI"));
        action.fromFolder = dir("origine");
        action.toFolder = dir("destination");
        db.addAction(action);
    }
    ScriptedPrompter prompter;
    QuestionAnswerer answerer;
    answerer.answers.enqueue({false, true, {}});
    frm_main w(prompter);
    QVERIFY(w.Form_Load(dir.path()));
    choose(w, 1);
    w.Timer1_Timer();
    w.findChild<QPushButton *>(QStringLiteral("cmd_sync"))->click();
    QPointer<frm_sync> window = w.syncWindow();
    QVERIFY(window);
    QTRY_COMPARE_WITH_TIMEOUT(window->windowTitle(), QStringLiteral("Terminé!"), 60000);
    QVERIFY(!w.BusyFlag());
    QVERIFY(prompter.shown.isEmpty());

    for (const auto &[name, content] :
        {std::pair {"a.txt", "premier"}, std::pair {"sous/b.txt", "second fichier"}}) {
        QFile copy(dir("destination/") + QString::fromLatin1(name));
        QVERIFY2(copy.open(QIODevice::ReadOnly), name);
        QCOMPARE(copy.readAll(), QByteArray(content));
    }
    const QAbstractItemModel *list
        = window->findChild<QAbstractItemView *>(QStringLiteral("List1"))->model();
    QCOMPARE(list->index(list->rowCount() - 1, 0).data().toString(),
        QStringLiteral("     Rapport enregistré dans le fichier : Bout.log"));
    QFile report(dir("Bout.log"));
    QVERIFY(report.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(report.readAll());
    QVERIFY2(text.contains(QStringLiteral("(Projet : Bout)")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("Total copié = 2 Fichiers")), qPrintable(text));
    QVERIFY(!text.contains(QStringLiteral("Rapport enregistré")));
}

QTEST_MAIN(FrmMainTest)
#include "frm_main_test.moc"
