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

const QStringList noDetails(8, QString());

bool subFoldersTicked(const frm_main &w)
{
    return w.findChild<QCheckBox *>(QStringLiteral("chk_includesubfolders"))->isChecked();
}

QComboBox *combo(const frm_main &w)
{
    return w.findChild<QComboBox *>(QStringLiteral("cmb_template"));
}

// Chooses the list entry at index as a user click does.
void choose(frm_main &w, int index)
{
    combo(w)->setCurrentIndex(index);
    emit combo(w)->activated(index);
}

QStringList entries(const frm_main &w)
{
    QStringList texts;
    for (int i = 0; i < combo(w)->count(); ++i)
        texts << combo(w)->itemText(i);
    return texts;
}

QString said(const ScriptedPrompter::Shown &box)
{
    return box.title + u'|' + box.text;
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

// Drives the modal editors: each step runs on the dialog shown at that moment, once it has
// been on screen long enough to fill itself. A step that leaves the dialog open lets the next
// step act on it again.
class EditorDriver {
public:
    using Step = std::function<void(QDialog *)>;
    QQueue<Step> steps;
    QStringList titles; // the title of each dialog a step ran on

    EditorDriver()
    {
        QObject::connect(&poll_, &QTimer::timeout, [this] {
            auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            if (!dialog || !dialog->isVisible() || steps.isEmpty()) {
                seen_ = nullptr;
                return;
            }
            if (dialog != seen_) {
                seen_ = dialog;
                shown_.start();
            }
            if (shown_.elapsed() < 300) // frm_action fills itself 200 ms after it shows
                return;
            titles << dialog->windowTitle();
            shown_.start();
            steps.dequeue()(dialog);
        });
        poll_.start(10);
    }

private:
    QTimer poll_;
    QPointer<QDialog> seen_;
    QElapsedTimer shown_;
};

void type(QDialog *dialog, const char *box, const QString &text)
{
    dialog->findChild<QLineEdit *>(QString::fromLatin1(box))->setText(text);
}

QString typed(QDialog *dialog, const char *box)
{
    return dialog->findChild<QLineEdit *>(QString::fromLatin1(box))->text();
}

void press(QDialog *dialog, const char *button)
{
    dialog->findChild<QPushButton *>(QString::fromLatin1(button))->click();
}

// Which of the menu items and the button are enabled, as "1" and "0", in the order: import
// export viewreport exit | sync simulate scheduler | newtemplate edittemplate deletetemplate
// exporttoini | newaction editaction deleteaction | about aide don | cmd_sync.
QString states(const frm_main &w)
{
    QString states;
    for (const char *name : {"mnu_import", "mnu_export", "mnu_viewreport", "mnu_exit", "mnu_sync",
             "mnu_simulate", "mnu_scheduler", "mnu_newtemplate", "mnu_edittemplate",
             "mnu_deletetemplate", "mnu_exporttoini", "mnu_newaction", "mnu_editaction",
             "mnu_deleteaction", "mnu_about", "Mnu_Aide", "Mnu_Don", "cmd_sync"})
        states += w.findChild<QObject *>(QString::fromLatin1(name))->property("enabled").toBool()
            ? u'1'
            : u'0';
    return states;
}

QString viewReportText(const frm_main &w)
{
    return w.findChild<QAction *>(QStringLiteral("mnu_viewreport"))->text();
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
    QCOMPARE(combo(w)->currentText(), QStringLiteral("- Aucun -"));
    QCOMPARE(w.CurrentTemplateNo(), 0);
    QCOMPARE(w.data1().rowCount(), 0);
    QCOMPARE(details(w), noDetails);
    QVERIFY(prompter.shown.isEmpty());

    // A file that is no database: the error box, no start, the file left as it was.
    TempDir other;
    const QByteArray garbage("Standard Jet DB\0\x01\x02garbage that is no SQLite file", 48);
    other.write(QStringLiteral("Tandrel.mdb"), garbage);
    frm_main refused(prompter);
    QVERIFY(!refused.Form_Load(other.path()));
    QCOMPARE(prompter.shown.size(), 1);
    QCOMPARE(prompter.shown.front().icon, Prompter::Icon::Critical);
    QVERIFY2(said(prompter.shown.front()).startsWith("Erreur|Erreur: 26\nDescription: "),
        qPrintable(prompter.shown.front().text));
    QFile file(other("Tandrel.mdb"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), garbage);
}

void FrmMainTest::browsingProjectsAndActions()
{
    TempDir dir;
    addProject(dir, QStringLiteral("Zeta"));
    const qint64 ete = addProject(
        dir, QStringLiteral("l'été"), {"*.jpg", "*.b", "*.a"}, QStringLiteral("Vacances \"100%\""));
    const qint64 firstDouble = addProject(dir, QStringLiteral("Double"));
    addProject(dir, QStringLiteral("Double"));
    ScriptedPrompter prompter;
    frm_main w(prompter);
    QVERIFY(w.Form_Load(dir.path()));
    QCOMPARE(entries(w), (QStringList {"- Aucun -", "Double", "Double", "l'été", "Zeta"}));

    // Either entry of a doubled name chooses the first project of that name.
    choose(w, 2);
    QCOMPARE(w.CurrentTemplateNo(), firstDouble);

    choose(w, 3);
    QCOMPARE(w.CurrentTemplateNo(), ete);
    QCOMPARE(combo(w)->toolTip(), QStringLiteral("Vacances \"100%\""));
    QCOMPARE(details(w),
        (QStringList {"OUI", "*.jpg", "/données/origine/", "/media/clé/", "copie de *.jpg", ">",
            "<>", "OR"}));
    QVERIFY(subFoldersTicked(w)); // "oui" reads as true
    // The indicator cannot be changed by a click.
    w.findChild<QCheckBox *>(QStringLiteral("chk_includesubfolders"))->click();
    QVERIFY(subFoldersTicked(w));

    // Navigation bar and table follow the browser; actions come in the order they were added.
    auto *bar = w.findChild<NavigationBar *>(QStringLiteral("Data1Bar"));
    auto *table = w.findChild<QTableWidget *>(QStringLiteral("tbl_actions"));
    QCOMPARE(table->rowCount(), 3);
    QCOMPARE(table->item(0, 1)->text(), QStringLiteral("*.jpg"));
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
    QCOMPARE(labelText(w, "lbl_filter"), QStringLiteral("*.jpg"));
    table->setCurrentCell(1, 3);
    QCOMPARE(w.data1().currentIndex(), 1);
    QCOMPARE(labelText(w, "lbl_filter"), QStringLiteral("*.b"));

    // While busy, moving leaves the details empty.
    w.setBusyFlag(true);
    w.data1().moveNext();
    QCOMPARE(details(w), noDetails);
    QVERIFY(!subFoldersTicked(w));
    w.setBusyFlag(false);
    w.data1().moveFirst();
    QCOMPARE(labelText(w, "lbl_filter"), QStringLiteral("*.jpg"));

    // A project without actions: nothing to show.
    choose(w, 1);
    QCOMPARE(w.data1().rowCount(), 0);
    QCOMPARE(details(w), noDetails);
    QVERIFY(!subFoldersTicked(w));

    // Back to no project.
    choose(w, 3);
    choose(w, 0);
    QCOMPARE(w.CurrentTemplateNo(), 0);
    QCOMPARE(w.data1().rowCount(), 0);
    QVERIFY(combo(w)->toolTip().isEmpty());
    QCOMPARE(details(w), noDetails);

    // Another program removes a project: choosing it falls back to no project, silently.
    {
        ProjectDb other(dir("Tandrel.mdb"));
        other.deleteProject(other.projectsNamed(QStringLiteral("Zeta")).front().templateNo);
    }
    choose(w, 4);
    QCOMPARE(w.CurrentTemplateNo(), 0);
    QCOMPARE(combo(w)->currentText(), QStringLiteral("- Aucun -"));
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
    QuestionAnswerer answerer;
    frm_main w(prompter, run.function());
    QVERIFY(w.Form_Load(dir.path()));
    QCOMPARE(menuTree(w),
        (QStringList {
            "&Fichier: Importer un projet, Exporter le projet, ---, Voir '- Aucun -.log', ---, "
            "&Quitter",
            "Synchronisation: &Synchroniser >>, ---, Simuler la synchronisation, ---, "
            "Synchronisation avec &programmateur",
            "&Projet: &Nouveau Projet, &Editer le projet, Supprimer le projet, ---, "
            "Exporter vers un fichier .INI",
            "Actions: Nouvelle action, Editer l'action, Supprimer l'action",
            "Aide: A propos ..., ---, Comment ça marche ?, Faire un don...",
        }));
    QCOMPARE(itemTexts(w.findChild<QMenu *>(QStringLiteral("cap_sysmenu"))),
        (QStringList {"Restore TDRL", "---", "Exit TDRL"}));
    for (QAction *item : w.findChildren<QAction *>())
        QVERIFY2(item->shortcut().isEmpty(), qPrintable(item->objectName()));

    // "- Aucun -": nothing to run; the commands set the run mode and do nothing more.
    w.Timer1_Timer();
    QCOMPARE(states(w), QStringLiteral("1001-001-1000-000-111-0").remove(u'-'));
    w.mnu_simulate_Click();
    QCOMPARE(w.RunMode(), RunMode::Simulate);
    w.cmd_sync_Click();
    QCOMPARE(w.RunMode(), RunMode::Synchronize);
    QVERIFY(prompter.shown.isEmpty());

    // A project without actions: the run commands say so.
    choose(w, 2);
    w.Timer1_Timer();
    QCOMPARE(states(w), QStringLiteral("1011-001-1110-100-111-0").remove(u'-'));
    QCOMPARE(viewReportText(w), QStringLiteral("Voir 'Vide.log'"));
    w.mnu_sync_Click();
    w.mnu_simulate_Click();
    QCOMPARE(prompter.shown.size(), 2);
    for (const auto &box : prompter.shown)
        QCOMPARE(said(box),
            QStringLiteral(
                "Erreur|Pas d'action définie! Créez une nouvelle action puis réessayez !"));

    choose(w, 1); // one action: the timer follows by itself
    const QString withActions = QStringLiteral("1111-111-1111-111-111-1").remove(u'-');
    QTRY_COMPARE(states(w), withActions);
    QCOMPARE(viewReportText(w), QStringLiteral("Voir 'Avec.log'"));

    // Busy: frozen, except the report item, which follows the list at once.
    w.setBusyFlag(true);
    choose(w, 0);
    QTest::qWait(300);
    QCOMPARE(states(w), QStringLiteral("1101-111-1111-111-111-1").remove(u'-'));
    QCOMPARE(viewReportText(w), QStringLiteral("Voir '- Aucun -.log'"));
    w.setBusyFlag(false);
    QTRY_COMPARE(states(w), QStringLiteral("1001-001-1000-000-111-0").remove(u'-'));

    // A simulation is confirmed by a question, not by the dialog; No starts nothing.
    choose(w, 1);
    QTRY_COMPARE(states(w), withActions);
    prompter.shown.clear();
    prompter.answers.enqueue(QMessageBox::No);
    w.mnu_simulate_Click();
    QCOMPARE(prompter.shown.size(), 1);
    QCOMPARE(prompter.shown.front().icon, Prompter::Icon::Question);
    QCOMPARE(said(prompter.shown.front()),
        QStringLiteral(
            "Simulate|Confirmez la synchronisation des fichiers avec les actions définies ?"));
    QCOMPARE(prompter.shown.front().buttons, QMessageBox::Yes | QMessageBox::No);
    QVERIFY(!w.syncWindow());
    w.mnu_simulate_Click(); // Yes
    QTRY_VERIFY(w.syncWindow() && w.syncWindow()->isFinished());
    QCOMPARE(run.lastRequest().mode, RunMode::Simulate);
    QCOMPARE(answerer.opened, 0);
}
void FrmMainTest::synchronisationGoesThroughTheConfirmation()
{
    TempDir dir;
    const qint64 key = addProject(dir, QStringLiteral("Sauvegarde"), {"*.a", "*.b"});
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
    ProjectDb(dir("Tandrel.mdb")).addAction(makeAction(key, "*.c"));
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
        Action action = makeAction(db.addProject(QStringLiteral("Bout"), QString()), "*.*");
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

void FrmMainTest::maintenanceFromNewProjectToItsDeletion()
{
    TempDir dir;
    ScriptedPrompter prompter;
    EditorDriver driver;
    frm_main w(prompter);
    QVERIFY(w.Form_Load(dir.path()));

    // No project chosen: no action editor, a message instead.
    w.mnu_newaction_Click();
    QCOMPARE(prompter.shown.size(), 1);
    QCOMPARE(said(prompter.shown.front()), QStringLiteral("Erreur|Sélectionnez un projet SVP.!"));
    QVERIFY(driver.titles.isEmpty());
    // Nothing chosen: edit and delete do nothing, silently.
    for (auto click : {&frm_main::mnu_edittemplate_Click, &frm_main::mnu_deletetemplate_Click,
             &frm_main::mnu_editaction_Click, &frm_main::mnu_deleteaction_Click})
        (w.*click)();
    QCOMPARE(prompter.shown.size(), 1);
    prompter.shown.clear();

    // The editor refuses an empty name; OK again with a name creates and chooses the project.
    driver.steps.enqueue([](QDialog *d) { press(d, "cmd_ok"); });
    driver.steps.enqueue([](QDialog *d) {
        type(d, "txt_name", QStringLiteral("  Photos été "));
        type(d, "txt_description", QStringLiteral("vers la clé"));
        press(d, "cmd_ok");
    });
    w.mnu_newtemplate_Click();
    QCOMPARE(driver.titles, (QStringList {"Nouveau projet", "Nouveau projet"}));
    QCOMPARE(prompter.shown.size(), 1);
    QCOMPARE(prompter.shown.front().text, QStringLiteral("Nom du projet SVP!"));
    QCOMPARE(entries(w), (QStringList {"- Aucun -", "Photos été"}));
    QCOMPARE(combo(w)->currentText(), QStringLiteral("Photos été"));
    QCOMPARE(combo(w)->toolTip(), QStringLiteral("vers la clé"));
    const qint64 key = w.CurrentTemplateNo();
    QVERIFY(key != 0);

    // Cancel writes nothing.
    driver.steps.enqueue([](QDialog *d) {
        type(d, "txt_filter", QStringLiteral("*.jpg"));
        press(d, "cmd_cancel");
    });
    w.mnu_newaction_Click();
    QCOMPARE(w.data1().rowCount(), 0);

    driver.steps.enqueue([](QDialog *d) {
        type(d, "txt_filter", QStringLiteral("*.jpg"));
        type(d, "txt_folderfrom", QStringLiteral("/données/photos/"));
        type(d, "txt_folderto", QStringLiteral("/media/clé/"));
        type(d, "txt_description", QStringLiteral("photos"));
        press(d, "cmd_ok");
    });
    w.mnu_newaction_Click();
    QCOMPARE(driver.titles.last(), QStringLiteral("Nouvelle action"));
    QCOMPARE(w.data1().rowCount(), 1);
    QVERIFY(!w.BusyFlag());
    QCOMPARE(details(w),
        (QStringList {
            "OUI", "*.jpg", "/données/photos/", "/media/clé/", "photos", ">", "<>", "OR"}));

    // Rename the project: its action goes with it.
    driver.steps.enqueue([](QDialog *d) {
        QCOMPARE(typed(d, "txt_name"), QStringLiteral("Photos été"));
        type(d, "txt_name", QStringLiteral("Images"));
        press(d, "cmd_ok");
    });
    w.mnu_edittemplate_Click();
    QCOMPARE(driver.titles.last(), QStringLiteral("Edition du projet"));
    QCOMPARE(entries(w), (QStringList {"- Aucun -", "Images"}));
    QCOMPARE(w.CurrentTemplateNo(), key);
    QCOMPARE(w.data1().rowCount(), 1);

    // Edit the action: the details show the new values at once.
    driver.steps.enqueue([](QDialog *d) {
        QCOMPARE(typed(d, "txt_folderfrom"), QStringLiteral("/données/photos/"));
        type(d, "txt_filter", QStringLiteral("*.png"));
        d->findChild<QCheckBox *>(QStringLiteral("chk_enabled"))->click();
        press(d, "cmd_ok");
    });
    w.mnu_editaction_Click();
    QCOMPARE(driver.titles.last(), QStringLiteral("Edition de l'action"));
    QCOMPARE(details(w).mid(0, 2), (QStringList {"NON", "*.png"}));
    QCOMPARE(
        ProjectDb(dir("Tandrel.mdb")).actionsOf(key).front().fileFilter, QStringLiteral("*.png"));

    // Delete the action: No keeps it, Yes removes it and empties the details.
    prompter.shown.clear();
    prompter.answers.enqueue(QMessageBox::No);
    w.mnu_deleteaction_Click();
    QCOMPARE(said(prompter.shown.front()),
        QStringLiteral("Suppression|Confirmez la suppression de l'action sélectionnée?"));
    QCOMPARE(prompter.shown.front().buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(w.data1().rowCount(), 1);
    prompter.answers.enqueue(QMessageBox::Yes);
    w.mnu_deleteaction_Click();
    QCOMPARE(w.data1().rowCount(), 0);
    QCOMPARE(details(w), QStringList(8, QString()));

    // Delete the project (with an action again): No keeps it; Yes removes it and its actions.
    ProjectDb(dir("Tandrel.mdb")).addAction(makeAction(key, "*.a"));
    prompter.shown.clear();
    prompter.answers.enqueue(QMessageBox::No);
    w.mnu_deletetemplate_Click();
    QCOMPARE(said(prompter.shown.front()),
        QStringLiteral("Suppression d'un projet|Confirmez la suppression du projet en cours ?"));
    QCOMPARE(entries(w).size(), 2);
    prompter.answers.enqueue(QMessageBox::Yes);
    w.mnu_deletetemplate_Click();
    QCOMPARE(entries(w), QStringList {"- Aucun -"});
    QCOMPARE(w.CurrentTemplateNo(), 0);
    QCOMPARE(w.data1().rowCount(), 0);
    ProjectDb db(dir("Tandrel.mdb"));
    QVERIFY(db.actionsOf(key).empty());
    QVERIFY(db.allActionsByFilter().empty());
    QVERIFY(driver.steps.isEmpty());
}

void FrmMainTest::aRefusedWriteKeepsTheEditorOpenAndBound()
{
    TempDir dir;
    const qint64 first = addProject(dir, QStringLiteral("Premier"));
    addProject(dir, QStringLiteral("Second"));
    ScriptedPrompter prompter;
    EditorDriver driver;
    frm_main w(prompter);
    QVERIFY(w.Form_Load(dir.path()));
    choose(w, 1);
    QCOMPARE(w.CurrentTemplateNo(), first);

    // While the editor is open another project is chosen and another program locks the file.
    std::unique_ptr<WriteLock> lock;
    QString kept;
    driver.steps.enqueue([&](QDialog *d) {
        choose(w, 2);
        type(d, "txt_filter", QStringLiteral("*.doc"));
        type(d, "txt_folderfrom", QStringLiteral("/a/"));
        type(d, "txt_folderto", QStringLiteral("/b/"));
        lock = std::make_unique<WriteLock>(dir("Tandrel.mdb"));
        press(d, "cmd_ok");
    });
    driver.steps.enqueue([&](QDialog *d) {
        kept = typed(d, "txt_filter") + typed(d, "txt_folderfrom") + typed(d, "txt_folderto");
        lock->release();
        press(d, "cmd_ok");
    });
    w.mnu_newaction_Click();
    QCOMPARE(driver.titles, (QStringList {"Nouvelle action", "Nouvelle action"}));
    QCOMPARE(prompter.shown.size(), 1);
    QCOMPARE(prompter.shown.front().icon, Prompter::Icon::Critical);
    QCOMPARE(prompter.shown.front().title, QStringLiteral("Erreur"));
    QCOMPARE(kept, QStringLiteral("*.doc/a//b/"));
    QVERIFY(!w.BusyFlag());
    ProjectDb db(dir("Tandrel.mdb"));
    const std::vector<Action> stored = db.actionsOf(first);
    QCOMPARE(int(stored.size()), 1);
    QCOMPARE(stored.front().fileFilter, QStringLiteral("*.doc"));
    QCOMPARE(int(db.allActionsByFilter().size()), 1);

    // A locked file while deleting a project: the error box, and the project stays whole.
    choose(w, 1);
    prompter.shown.clear();
    WriteLock again(dir("Tandrel.mdb"));
    w.mnu_deletetemplate_Click();
    QCOMPARE(prompter.shown.size(), 2); // the question, then the error box
    QCOMPARE(prompter.shown.last().title, QStringLiteral("Erreur"));
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
    EditorDriver driver;
    frm_main w(prompter, &RunDriver::run, [&](const QUrl &url) { opened << url; });
    QVERIFY(w.Form_Load(dir.path()));

    w.findChild<QAction *>(QStringLiteral("Mnu_Aide"))->trigger();
    QCOMPARE(prompter.shown.size(), 1);
    QCOMPARE(prompter.shown.front().title, QStringLiteral("Comment ça marche ?"));

    choose(w, 1);
    w.findChild<QAction *>(QStringLiteral("mnu_viewreport"))->trigger();
    QCOMPARE(prompter.shown.size(), 2);
    QVERIFY(prompter.shown.last().text.endsWith(dir("Sauvegarde.log")));
    QVERIFY(opened.isEmpty());
    dir.write(QStringLiteral("Sauvegarde.log"), "rapport");
    w.findChild<QAction *>(QStringLiteral("mnu_viewreport"))->trigger();
    QCOMPARE(opened, QList<QUrl> {QUrl::fromLocalFile(dir("Sauvegarde.log"))});

    w.findChild<QAction *>(QStringLiteral("Mnu_Don"))->trigger();
    QCOMPARE(opened.last(), DonationUrl());

    driver.steps.enqueue([](QDialog *d) {
        QVERIFY(qobject_cast<frmAbout *>(d));
        press(d, "cmdOK");
    });
    w.findChild<QAction *>(QStringLiteral("mnu_about"))->trigger();
    QCOMPARE(driver.titles, QStringList {QStringLiteral("A propos Tandrel")});
    QCOMPARE(prompter.shown.size(), 2);
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
    QVERIFY(!w->isMinimized());
    QVERIFY(!w->isMaximized());
    QVERIFY(w->isVisible());

    // Closing a run window brings back a hidden main window.
    choose(*w, 1);
    prompter.answers.enqueue(QMessageBox::Yes);
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
    prompter.answers.enqueue(QMessageBox::Yes);
    w->mnu_simulate_Click();
    QTRY_VERIFY(run.started && w->BusyFlag());
    QPointer<frm_sync> running = w->syncWindow();
    QElapsedTimer clock;
    clock.start();
    w->findChild<QAction *>(QStringLiteral("mnu_exit"))->trigger();
    QVERIFY(!w->isVisible());
    QVERIFY(!QApplication::quitOnLastWindowClosed());
    w.reset();
    QVERIFY(running.isNull());
    QVERIFY(run.returned);
    QVERIFY(clock.elapsed() < 5000);
}

QTEST_MAIN(FrmMainTest)
#include "frm_main_test.moc"
