#include "frm_main.h"
#include "project_db.h"
#include "sample_projects.h"
#include "scripted_prompter.h"
#include "temp_dir.h"

#include <QComboBox>
#include <QFile>
#include <QTest>

namespace {

// The file dialogs opened, as "save|title|folder|file name|default suffix" ("open|..." for an
// open dialog).
QStringList dialogs(const ScriptedPrompter &prompter)
{
    QStringList texts;
    for (const auto &d : prompter.fileDialogs)
        texts << (d.save ? "save|" : "open|") + d.title + u'|' + d.folder + u'|' + d.fileName + u'|'
                + d.defaultSuffix;
    return texts;
}

QString currentName(const frm_main &w)
{
    return w.findChild<QComboBox *>(QStringLiteral("cmb_template"))->currentText();
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
    QCOMPARE(dialogs(prompter),
        QStringList {"save|*.TDRL (Projet Tandrel)|" + dir.path() + "|Été.TDRL|TDRL"});
    prompter.files.enqueue(file);
    w.mnu_export_Click();
    QCOMPARE(prompter.said(),
        QStringList {"Information|Projet exporté avec succès vers :\r" + file
            + "\r\rNom : Été, actions#: 2"});
    QVERIFY(!w.BusyFlag());
    QCOMPARE(currentName(w), QStringLiteral("Été"));

    // Import into another installation: the project comes with its actions and is chosen.
    TempDir other;
    frm_main second(prompter);
    QVERIFY(second.Form_Load(other.path()));
    prompter.files.enqueue(file);
    second.mnu_import_Click();
    QCOMPARE(
        dialogs(prompter).last(), "open|*.TDRL - (Projet Tandrel)|" + other.path() + "|*.TDRL|");
    QCOMPARE(prompter.said(),
        QStringList {"Information|Projet importé avec succès depuis :\r" + file
            + "\r\rNom : Été, actions#: 2"});
    QCOMPARE(currentName(second), QStringLiteral("Été"));
    QCOMPARE(browserOf(second).rowCount(), 2);
    QCOMPARE(browserOf(second).currentIndex(), 0);
    QCOMPARE(browserOf(second).rows().at(1).fileFilter + browserOf(second).rows().at(1).fromFolder,
        QStringLiteral("*.1/données/origine/"));
    QVERIFY(!second.BusyFlag());
}

void ProjectFileCommandsTest::refusalsAndFailuresAreTold()
{
    // Import: a lower-case extension, a missing file, a file without a project name.
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
    // The refusal says why: the extension is there, in lower case.
    QVERIFY2(boxes[0].startsWith("Erreur|Erreur dans le nom du projet!\r\r")
            && boxes[0].contains("majuscules"),
        qPrintable(boxes[0]));
    QCOMPARE(boxes[1], "Erreur|Ne peut ouvrir le fichier : " + dir("absent.TDRL"));
    QVERIFY(boxes[2].startsWith(QStringLiteral("Erreur|")) && boxes[2].contains(noName));
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
    QCOMPARE(boxes.size(), 2);
    QVERIFY(boxes[0].startsWith(QStringLiteral("Erreur|Erreur dans le nom du fichier projet!")));
    QVERIFY(boxes[1].contains(dir("nulle part/P.TDRL")));
    QVERIFY(!QFile::exists(dir("P.TDRL.txt")));
    QVERIFY(!w.BusyFlag());
}

void ProjectFileCommandsTest::replacingAProjectOfTheSameName()
{
    TempDir dir;
    const QString file = dir.write(QStringLiteral("neuf.TDRL"),
        "[Main]\nTemplateName=Neuf\nDescription=importé\nActions=1\n[Action1]\nFileFilter=*.n\n");
    const qint64 old = addProject(dir, QStringLiteral("NEUF"), {"*.0", "*.1", "*.2"});
    ScriptedPrompter prompter;
    frm_main w(prompter);
    QVERIFY(w.Form_Load(dir.path()));
    const QString replace = QStringLiteral("Remplacement de projet|Projet de même nom : Neuf déjà "
                                           "existant!\r\rRemplacer le projet existant?");
    const QString deletion
        = QStringLiteral("Suppression d'un projet|Confirmez la suppression du projet en cours ?");

    // No to the replacement; then Yes and No to the deletion: nothing changes.
    prompter.files << file << file << file;
    prompter.answers << QMessageBox::No << QMessageBox::Yes << QMessageBox::No;
    w.mnu_import_Click();
    QCOMPARE(prompter.shown.value(0).icon, Prompter::Icon::Warning);
    QCOMPARE(prompter.shown.value(0).buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(prompter.said(), QStringList {replace});
    w.mnu_import_Click();
    QCOMPARE(prompter.said(), (QStringList {replace, deletion}));
    QCOMPARE(currentName(w), QStringLiteral("- Aucun -"));
    {
        ProjectDb db(dir("Tandrel.mdb"));
        QCOMPARE(db.projectsByName().size(), 1u);
        QCOMPARE(db.actionsOf(old).size(), 3u);
    }

    // Yes then Yes: the old project and its actions go, the file's project comes.
    w.mnu_import_Click();
    QCOMPARE(prompter.said(),
        (QStringList {replace, deletion,
            "Information|Projet importé avec succès depuis :\r" + file
                + "\r\rNom : Neuf, actions#: 1"}));
    QCOMPARE(currentName(w), QStringLiteral("Neuf"));
    ProjectDb db(dir("Tandrel.mdb"));
    QCOMPARE(db.projectsByName().size(), 1u);
    QCOMPARE(db.projectsByName().front().description, QStringLiteral("importé"));
    QVERIFY(db.actionsOf(old).empty());
    QCOMPARE(browserOf(w).rows().at(0).fileFilter, QStringLiteral("*.n"));
}

void ProjectFileCommandsTest::theCompanionRunFile()
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
    const QString question = QStringLiteral("Création d'un fichier .INI|Confirmez la création d'un "
                                            "fichier .INI pour le projet en cours : Nuit ?");
    QCOMPARE(prompter.said(),
        (QStringList {question, question,
            "Sauvegarde du rapport|Voulez vous sauvegarder le rapport <TDRL> avant de quitter?",
            "Création du fichier INI |Fichier INI crée sous : " + dir.path()
                + "TDRL_Exe.ini\rProjet : Nuit\r\rNota : Renommer le fichier TDRL_Exe.ini en "
                  "TDRL_Exe.exe."}));
    QCOMPARE(readFile(dir("TDRL_Exe.ini")),
        QByteArray("[AutoRunTemplate]\r\nName=Nuit\r\nShowReport=NON\r\n"));
}

QTEST_MAIN(ProjectFileCommandsTest)
#include "project_file_commands_test.moc"
