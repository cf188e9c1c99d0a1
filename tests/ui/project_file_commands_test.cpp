#include "frm_main.h"
#include "ini_file.h"
#include "project_db.h"
#include "scripted_prompter.h"
#include "temp_dir.h"

#include <QComboBox>
#include <QFile>
#include <QTest>

namespace {

QString said(const ScriptedPrompter::Shown &box)
{
    return box.title + u'|' + box.text;
}

QString currentName(const frm_main &w)
{
    return w.findChild<QComboBox *>(QStringLiteral("cmb_template"))->currentText();
}

qint64 addProject(ProjectDb &db, const QString &name, int actions)
{
    const qint64 key = db.addProject(name, QStringLiteral("desc ") + name);
    for (int i = 0; i < actions; ++i) {
        Action a;
        a.templateNo = key;
        a.enabled = QStringLiteral("OUI");
        a.fileFilter = QStringLiteral("*.%1").arg(i);
        a.fromFolder = QStringLiteral("/données/");
        a.toFolder = QStringLiteral("/clé/");
        a.op = QStringLiteral("OR");
        db.addAction(a);
    }
    return key;
}

// Chooses name in the list, as a click does.
void choose(frm_main &w, const QString &name)
{
    auto *list = w.findChild<QComboBox *>(QStringLiteral("cmb_template"));
    list->setCurrentIndex(list->findText(name));
    emit list->activated(list->currentIndex());
}

} // namespace

class ProjectFileCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void exportThenImportThroughTheWindow();
    void refusalsAndFailuresAreTold();
    void replacingAProjectOfTheSameName();
    void theCompanionRunFile();
};

void ProjectFileCommandsTest::exportThenImportThroughTheWindow()
{
    TempDir dir;
    {
        ProjectDb db(dir("Tandrel.mdb"));
        addProject(db, QStringLiteral("Été"), 2);
    }
    ScriptedPrompter prompter;
    frm_main w(prompter);
    QVERIFY(w.Form_Load(dir.path()));
    choose(w, QStringLiteral("Été"));
    const QString file = dir.mkdir(QStringLiteral("mes échanges")) + QStringLiteral("/été.TDRL");

    w.mnu_export_Click(); // cancelled: nothing written, nothing said
    QVERIFY(!QFile::exists(file) && prompter.shown.isEmpty());
    QCOMPARE(prompter.fileDialogs.size(), 1);
    const auto &save = prompter.fileDialogs.front();
    QVERIFY(save.save);
    QCOMPARE(save.title, QStringLiteral("*.TDRL (Projet Tandrel)"));
    QCOMPARE(save.folder, dir.path());
    QCOMPARE(save.fileName, QStringLiteral("Été.TDRL"));
    QCOMPARE(save.defaultSuffix, QStringLiteral("TDRL"));

    prompter.files.enqueue(file);
    w.mnu_export_Click();
    QCOMPARE(prompter.shown.size(), 1);
    QCOMPARE(said(prompter.shown.front()),
        "Information|Projet exporté avec succès vers :\r" + file + "\r\rNom : Été, actions#: 2");
    QVERIFY(!w.BusyFlag());
    QCOMPARE(currentName(w), QStringLiteral("Été"));

    // Import into another installation.
    TempDir other;
    frm_main second(prompter);
    QVERIFY(second.Form_Load(other.path()));
    prompter.shown.clear();
    prompter.files.enqueue(file);
    second.mnu_import_Click();
    const auto &open = prompter.fileDialogs.back();
    QVERIFY(!open.save);
    QCOMPARE(open.title, QStringLiteral("*.TDRL - (Projet Tandrel)"));
    QCOMPARE(open.folder, other.path());
    QCOMPARE(open.fileName, QStringLiteral("*.TDRL"));
    QCOMPARE(prompter.shown.size(), 1);
    QCOMPARE(said(prompter.shown.front()),
        "Information|Projet importé avec succès depuis :\r" + file + "\r\rNom : Été, actions#: 2");
    QCOMPARE(currentName(second), QStringLiteral("Été"));
    QCOMPARE(second.data1().rowCount(), 2);
    QCOMPARE(second.data1().currentIndex(), 0);
    QCOMPARE(second.data1().rows().at(1).fileFilter, QStringLiteral("*.1"));
    QCOMPARE(second.data1().rows().at(1).fromFolder, QStringLiteral("/données/"));
    QVERIFY(!second.BusyFlag());
}

void ProjectFileCommandsTest::refusalsAndFailuresAreTold()
{
    TempDir dir;
    ScriptedPrompter prompter;
    frm_main w(prompter);
    QVERIFY(w.Form_Load(dir.path()));
    const QString noName = dir.write(QStringLiteral("sans nom.TDRL"), "[Main]\nActions=1\n");
    const QString lower = dir.write(QStringLiteral("p.tdrl"), "[Main]\nTemplateName=p\n");
    prompter.files << lower << dir("absent.TDRL") << noName;
    w.mnu_import_Click();
    w.mnu_import_Click();
    w.mnu_import_Click();
    QCOMPARE(prompter.shown.size(), 3);
    for (const auto &box : prompter.shown)
        QCOMPARE(box.icon, Prompter::Icon::Critical);
    QCOMPARE(said(prompter.shown.at(0)), QStringLiteral("Erreur|Erreur dans le nom du projet!"));
    QCOMPARE(
        said(prompter.shown.at(1)), "Erreur|Ne peut ouvrir le fichier : " + dir("absent.TDRL"));
    QVERIFY(said(prompter.shown.at(2)).startsWith(QStringLiteral("Erreur|")));
    QVERIFY(prompter.shown.at(2).text.contains(noName));
    QVERIFY(ProjectDb(dir("Tandrel.mdb")).projectsByName().empty());

    // Export: a name that is not a project file name, then a folder that does not exist.
    {
        ProjectDb db(dir("Tandrel.mdb"));
        addProject(db, QStringLiteral("P"), 1);
    }
    w.LoadTemplates();
    choose(w, QStringLiteral("P"));
    prompter.shown.clear();
    prompter.files << dir("P.TDRL.txt") << dir("nulle part/P.TDRL");
    w.mnu_export_Click();
    w.mnu_export_Click();
    QCOMPARE(prompter.shown.size(), 2);
    QCOMPARE(
        said(prompter.shown.at(0)), QStringLiteral("Erreur|Erreur dans le nom du fichier projet!"));
    QCOMPARE(prompter.shown.at(1).icon, Prompter::Icon::Critical);
    QVERIFY(prompter.shown.at(1).text.contains(dir("nulle part/P.TDRL")));
    QVERIFY(!QFile::exists(dir("P.TDRL.txt")));
    QVERIFY(!w.BusyFlag());
}

void ProjectFileCommandsTest::replacingAProjectOfTheSameName()
{
    TempDir dir;
    const QString file = dir.write(QStringLiteral("neuf.TDRL"),
        "[Main]\nTemplateName=Neuf\nDescription=importé\nActions=1\n[Action1]\nFileFilter=*.n\n");
    qint64 old = 0;
    {
        ProjectDb db(dir("Tandrel.mdb"));
        old = addProject(db, QStringLiteral("NEUF"), 3);
    }
    ScriptedPrompter prompter;
    frm_main w(prompter);
    QVERIFY(w.Form_Load(dir.path()));

    // No to the replacement; then Yes and No to the deletion: nothing changes.
    prompter.files << file << file;
    prompter.answers << QMessageBox::No << QMessageBox::Yes << QMessageBox::No;
    w.mnu_import_Click();
    QCOMPARE(prompter.shown.size(), 1);
    QCOMPARE(prompter.shown.front().icon, Prompter::Icon::Warning);
    QCOMPARE(prompter.shown.front().buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(said(prompter.shown.front()),
        QStringLiteral("Remplacement de projet|Projet de même nom : Neuf déjà existant!\r\r"
                       "Remplacer le projet existant?"));
    w.mnu_import_Click();
    QCOMPARE(prompter.shown.size(), 3);
    QCOMPARE(prompter.shown.at(2).title, QStringLiteral("Suppression d'un projet"));
    QCOMPARE(currentName(w), frm_main::NoProject);
    {
        ProjectDb db(dir("Tandrel.mdb"));
        QCOMPARE(db.projectsByName().size(), 1u);
        QCOMPARE(db.actionsOf(old).size(), 3u);
    }

    // Yes then Yes: the old project and its actions go, the file's project comes.
    prompter.shown.clear();
    prompter.files << file;
    w.mnu_import_Click();
    QCOMPARE(prompter.shown.size(), 3);
    QCOMPARE(said(prompter.shown.at(2)),
        "Information|Projet importé avec succès depuis :\r" + file + "\r\rNom : Neuf, actions#: 1");
    QCOMPARE(currentName(w), QStringLiteral("Neuf"));
    ProjectDb db(dir("Tandrel.mdb"));
    QCOMPARE(db.projectsByName().size(), 1u);
    QCOMPARE(db.projectsByName().front().description, QStringLiteral("importé"));
    QVERIFY(db.actionsOf(old).empty());
    QCOMPARE(w.data1().rows().at(0).fileFilter, QStringLiteral("*.n"));
}

void ProjectFileCommandsTest::theCompanionRunFile()
{
    TempDir dir;
    {
        ProjectDb db(dir("Tandrel.mdb"));
        addProject(db, QStringLiteral("Nuit"), 1);
    }
    ScriptedPrompter prompter;
    frm_main w(prompter);
    QVERIFY(w.Form_Load(dir.path()));
    w.mnu_exporttoini_Click(); // "- Aucun -": nothing at all
    QVERIFY(prompter.shown.isEmpty());
    choose(w, QStringLiteral("Nuit"));

    prompter.answers << QMessageBox::No;
    w.mnu_exporttoini_Click();
    QCOMPARE(prompter.shown.size(), 1);
    QCOMPARE(said(prompter.shown.front()),
        QStringLiteral("Création d'un fichier .INI|Confirmez la création d'un fichier .INI pour "
                       "le projet en cours : Nuit ?"));
    QVERIFY(!QFile::exists(dir("TDRL_Exe.ini")));

    prompter.shown.clear();
    prompter.answers << QMessageBox::Yes << QMessageBox::No;
    w.mnu_exporttoini_Click();
    QCOMPARE(prompter.shown.size(), 3);
    QCOMPARE(said(prompter.shown.at(1)),
        QStringLiteral("Sauvegarde du rapport|Voulez vous sauvegarder le rapport <TDRL> avant de "
                       "quitter?"));
    QCOMPARE(said(prompter.shown.at(2)),
        "Création du fichier INI |Fichier INI crée sous : " + dir.path()
            + "TDRL_Exe.ini\rProjet : Nuit\r\rNota : Renommer le fichier TDRL_Exe.ini en "
              "TDRL_Exe.exe.");
    const IniDocument ini(dir("TDRL_Exe.ini"));
    QString name, report;
    QVERIFY(ini.find(QStringLiteral("AutoRunTemplate"), QStringLiteral("Name"), &name));
    QVERIFY(ini.find(QStringLiteral("AutoRunTemplate"), QStringLiteral("ShowReport"), &report));
    QCOMPARE(name, QStringLiteral("Nuit"));
    QCOMPARE(report, QStringLiteral("NON"));
}

QTEST_MAIN(ProjectFileCommandsTest)
#include "project_file_commands_test.moc"
