#include "frm_main.h"
#include "navigation_bar.h"
#include "project_db.h"
#include "scripted_prompter.h"
#include "temp_dir.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QTableWidget>
#include <QTest>
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

QTEST_MAIN(FrmMainTest)
#include "frm_main_test.moc"
