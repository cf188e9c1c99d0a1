#include "ini_file.h"
#include "project_db.h"
#include "project_file.h"
#include "temp_dir.h"

#include <QFile>

#include <gtest/gtest.h>

#include <climits>
#include <sys/stat.h>

namespace {

QString iniValue(const QString &path, const QString &section, const QString &key)
{
    QString value = QStringLiteral("<missing>");
    IniDocument(path).find(section, key, &value);
    return value;
}

Action makeAction(const QString &filter, const QString &description)
{
    Action action;
    action.enabled = "OUI";
    action.fileFilter = filter;
    action.fromFolder = "/données/\"origine\"";
    action.toFolder = "/copie";
    action.description = description;
    action.fileDate = ">";
    action.fileSize = "<>";
    action.op = "AND";
    action.inclSub = "NON";
    return action;
}

void expectSameTexts(const Action &a, const Action &b)
{
    EXPECT_EQ(a.enabled, b.enabled);
    EXPECT_EQ(a.fileFilter, b.fileFilter);
    EXPECT_EQ(a.fromFolder, b.fromFolder);
    EXPECT_EQ(a.toFolder, b.toFolder);
    EXPECT_EQ(a.description, b.description);
    EXPECT_EQ(a.fileDate, b.fileDate);
    EXPECT_EQ(a.fileSize, b.fileSize);
    EXPECT_EQ(a.op, b.op);
    EXPECT_EQ(a.inclSub, b.inclSub);
}

} // namespace

TEST(ProjectFile, ChecksTheFileNameAndFindsNamesWithoutRegardToCase)
{
    EXPECT_TRUE(IsProjectFileName("/tmp/Sauvegarde.TDRL"));
    EXPECT_TRUE(IsProjectFileName("a.b.TDRL"));
    EXPECT_FALSE(IsProjectFileName("/tmp/Sauvegarde.tdrl"));
    EXPECT_FALSE(IsProjectFileName("/tmp/Sauvegarde.TDRL.bak"));
    EXPECT_TRUE(IsProjectFileName("/tmp/TDRL")); // no dot: the whole name is the extension
    EXPECT_FALSE(IsProjectFileName("/tmp/x.TDRL/"));
    EXPECT_FALSE(IsProjectFileName(""));

    TempDir dir;
    ProjectDb db(dir("Tandrel.mdb"));
    db.addProject("Été Photos", "");
    EXPECT_TRUE(TemplateExists(db, "été photos"));
    EXPECT_TRUE(TemplateExists(db, "ÉTÉ PHOTOS"));
    EXPECT_FALSE(TemplateExists(db, "Été Photos ")); // no trimming
    EXPECT_FALSE(TemplateExists(db, "Photos"));
}

TEST(ProjectFile, ReadsTheActionCountAtTheStartOfTheText)
{
    EXPECT_EQ(ActionCountOf("3"), 3);
    EXPECT_EQ(ActionCountOf("3abc"), 3);
    EXPECT_EQ(ActionCountOf(" 12 actions"), 12);
    EXPECT_EQ(ActionCountOf("abc"), 0);
    EXPECT_EQ(ActionCountOf(""), 0);
    EXPECT_EQ(ActionCountOf("-2"), 0);
    EXPECT_EQ(ActionCountOf("+4"), 4);
    EXPECT_EQ(ActionCountOf("2.5"), 2); // halves go to the even neighbour
    EXPECT_EQ(ActionCountOf("3.5"), 4);
    EXPECT_EQ(ActionCountOf("2.51"), 3);
    EXPECT_EQ(ActionCountOf("0.5"), 0);
    EXPECT_EQ(ActionCountOf("5."), 5);
    EXPECT_EQ(ActionCountOf(".6x"), 1);
    EXPECT_EQ(ActionCountOf("."), 0);
    EXPECT_EQ(ActionCountOf("2147483647"), INT_MAX);
    EXPECT_EQ(ActionCountOf("2147483648"), INT_MAX);
    EXPECT_EQ(ActionCountOf(QString(400, u'9')), INT_MAX);
    EXPECT_EQ(ActionCountOf("-" + QString(400, u'9')), 0);
}

TEST(ProjectFile, ExportThenImportGivesTheSameProjectAndKeepsOtherSections)
{
    TempDir dir;
    ProjectDb db(dir("Tandrel.mdb"));
    const std::vector<Action> actions {
        makeAction("*.doc", "Lettres d'été « 2026 »"), makeAction("*.jpg;*.png", "")};
    const qint64 no = db.addProjectWithActions("Données \"été\"", "Sauvegarde à Noël", actions);

    // A larger project exported earlier to the same file: its extra sections stay.
    const QString file = dir.write("Données.TDRL",
        "[Main]\r\nTemplateName=Ancien\r\nDescription=vieux\r\nActions=3\r\n"
        "[Action3]\r\nFileFilter=*.old\r\n[Autre]\r\nclé=valeur\r\n");
    const ExchangeResult exported = ExportProject(db, no, file);
    ASSERT_TRUE(exported.ok) << exported.error.toStdString();
    EXPECT_EQ(exported.projectName, "Données \"été\"");
    EXPECT_EQ(exported.actions, 2);
    EXPECT_EQ(iniValue(file, "Main", "Actions"), "2");
    EXPECT_EQ(iniValue(file, "Action3", "FileFilter"), "*.old");
    EXPECT_EQ(iniValue(file, "Autre", "clé"), "valeur");
    EXPECT_EQ(iniValue(file, "Action2", "Description"), "");
    const QByteArray text = readFile(file);
    // The keys of one action stand in their order.
    EXPECT_LT(text.indexOf("[Action1]\r\nEnabled=OUI\r\nFileFilter=*.doc\r\nFromFolder="),
        text.indexOf("[Action2]"));
    EXPECT_GE(text.indexOf("[Action1]\r\nEnabled=OUI\r\nFileFilter=*.doc\r\nFromFolder="), 0);
    EXPECT_GE(text.indexOf("FileDate=>\r\nFileSize=<>\r\nOperator=AND\r\nInclSub=NON"), 0);

    db.deleteProject(no);
    const ExchangeResult imported = ImportProject(db, file);
    ASSERT_TRUE(imported.ok) << imported.error.toStdString();
    EXPECT_EQ(imported.projectName, "Données \"été\"");
    EXPECT_EQ(imported.actions, 2); // Action3 is not counted
    const std::optional<Project> project = db.project(imported.templateNo);
    ASSERT_TRUE(project);
    EXPECT_EQ(project->name, "Données \"été\"");
    EXPECT_EQ(project->description, "Sauvegarde à Noël");
    const std::vector<Action> stored = db.actionsOf(imported.templateNo);
    ASSERT_EQ(stored.size(), 2u);
    expectSameTexts(stored.at(0), actions.at(0));
    expectSameTexts(stored.at(1), actions.at(1));

    // A file that cannot be written is reported, naming it.
    const ExchangeResult refused = ExportProject(db, imported.templateNo, dir("absent/x.TDRL"));
    EXPECT_FALSE(refused.ok);
    EXPECT_TRUE(refused.error.startsWith("Impossible d'écrire le fichier "))
        << refused.error.toStdString();
    EXPECT_TRUE(refused.error.contains(dir("absent/x.TDRL")));
    EXPECT_FALSE(QFile::exists(dir("absent/x.TDRL")));
}

TEST(ProjectFile, ImportReadsOddCountsAndWritesEveryValueReadBack)
{
    TempDir dir;
    ProjectDb db(dir("Tandrel.mdb"));

    // "3abc" announces three actions; the file holds one, with a duplicate section and key.
    const QString three = dir.write("trois.TDRL",
        "[Main]\nTemplateName=  Trois  \nActions=3abc\n"
        "[Action1]\nEnabled=oui\nFileFilter=*.txt\nFileFilter=*.second\n"
        "[Action1]\nToFolder=/ignored\n");
    ExchangeResult result = ImportProject(db, three);
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_EQ(result.projectName, "Trois");
    std::vector<Action> stored = db.actionsOf(result.templateNo);
    ASSERT_EQ(stored.size(), 3u);
    EXPECT_EQ(stored.at(0).enabled, "oui"); // stored as read
    EXPECT_EQ(stored.at(0).fileFilter, "*.txt");
    EXPECT_EQ(stored.at(0).toFolder, "");
    EXPECT_EQ(stored.at(2).fileFilter, "");
    // Values read come back trimmed; keys of missing sections are added, empty.
    EXPECT_EQ(iniValue(three, "Main", "TemplateName"), "Trois");
    EXPECT_EQ(iniValue(three, "Main", "Description"), "");
    EXPECT_EQ(iniValue(three, "Action1", "ToFolder"), "");
    EXPECT_EQ(iniValue(three, "Action3", "InclSub"), "");
    EXPECT_EQ(iniValue(three, "Action4", "InclSub"), "<missing>");

    // Letters only: no action, and the key keeps what was read.
    const QString letters
        = dir.write("lettres.TDRL", "[Main]\nTemplateName=Lettres\nActions=abc\n");
    result = ImportProject(db, letters);
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(result.actions, 0);
    EXPECT_TRUE(db.actionsOf(result.templateNo).empty());
    // A missing count is added with "0".
    const QString none = dir.write("aucune.TDRL", "[Main]\nTemplateName=Aucune\n");
    result = ImportProject(db, none);
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(result.actions, 0);
    EXPECT_EQ(iniValue(none, "Main", "Actions"), "0");

    const QString half = dir.write("demi.TDRL", "[Main]\nTemplateName=Demi\nActions=2.5\n");
    EXPECT_EQ(ImportProject(db, half).actions, 2);
    const QString negative
        = dir.write("negatif.TDRL", "[Main]\nTemplateName=Négatif\nActions=-2\n");
    result = ImportProject(db, negative);
    ASSERT_TRUE(result.ok);
    EXPECT_TRUE(db.actionsOf(result.templateNo).empty());

    // The limit is accepted, one more is refused and creates nothing.
    const size_t before = db.projectsByName().size();
    const QString huge = dir.write("enorme.TDRL",
        "[Main]\nTemplateName=Énorme\nActions=" + QByteArray::number(MaxImportedActions + 1));
    result = ImportProject(db, huge);
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.error.contains(huge)) << result.error.toStdString();
    const QString beyond
        = dir.write("int.TDRL", "[Main]\nTemplateName=Énorme\nActions=99999999999");
    EXPECT_FALSE(ImportProject(db, beyond).ok);
    EXPECT_EQ(db.projectsByName().size(), before);
    EXPECT_EQ(iniValue(beyond, "Action1", "Enabled"), "<missing>");
    const QString most = dir.write(
        "max.TDRL", "[Main]\nTemplateName=Max\nActions=" + QByteArray::number(MaxImportedActions));
    result = ImportProject(db, most);
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_EQ(db.actionsOf(result.templateNo).size(), static_cast<size_t>(MaxImportedActions));
}

TEST(ProjectFile, RefusesAFileWithoutNameAndImportsReadOnlyAndWindowsFiles)
{
    TempDir dir;
    ProjectDb db(dir("Tandrel.mdb"));

    const QString unnamed = dir.write("sansnom.TDRL", "[Main]\nTemplateName=  \nActions=2\n");
    ExchangeResult result = ImportProject(db, unnamed);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.error,
        "Le fichier " + unnamed
            + " ne contient pas de nom de projet (clé TemplateName de la section Main).");
    const QString noMain = dir.write("vide.TDRL", "[Autre]\nx=1\n");
    EXPECT_FALSE(ImportProject(db, noMain).ok);
    EXPECT_TRUE(db.projectsByName().empty());

    result = ImportProject(db, dir("absent.TDRL"));
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.error, "Ne peut ouvrir le fichier : " + dir("absent.TDRL"));
    EXPECT_FALSE(QFile::exists(dir("absent.TDRL")));

    // Read-only: imported all the same, file left as it was. A 300-character value stays whole.
    const QByteArray longValue(300, 'v');
    const QByteArray content = "[Main]\r\nTemplateName=Lecture seule\r\nActions=1\r\n"
                               "[Action1]\r\nFromFolder=/"
        + longValue + "\r\n";
    const QString readOnly = dir.write("lecture.TDRL", content);
    ASSERT_EQ(::chmod(QFile::encodeName(readOnly).constData(), 0444), 0);
    result = ImportProject(db, readOnly);
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    std::vector<Action> stored = db.actionsOf(result.templateNo);
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored.at(0).fromFolder, "/" + QString::fromLatin1(longValue));
    EXPECT_EQ(readFile(readOnly), content);

    // Windows-1252 bytes: "Données", "Été".
    const QString windows = dir.write("windows.TDRL",
        "[Main]\r\nTemplateName=Donn\xe9"
        "es\r\nDescription=\xc9t\xe9\r\nActions=1\r\n[Action1]\r\nFromFolder=C:\\Donn\xe9"
        "es\r\n");
    result = ImportProject(db, windows);
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_EQ(db.project(result.templateNo)->name, "Données");
    EXPECT_EQ(db.project(result.templateNo)->description, "Été");
    EXPECT_EQ(db.actionsOf(result.templateNo).at(0).fromFolder, "C:\\Données");
}

TEST(ProjectFile, WritesTheCompanionRunFile)
{
    TempDir dir;
    dir.write("TDRL_Exe.ini", "[Autre]\r\nx=1\r\n[AutoRunTemplate]\r\nName=Ancien\r\n");
    ASSERT_TRUE(WriteCompanionFile(dir.path(), "Photos d'été", false));
    ASSERT_TRUE(WriteCompanionFile(dir.path(), "Lettres", true));
    EXPECT_EQ(readFile(dir("TDRL_Exe.ini")),
        "[Autre]\r\nx=1\r\n[AutoRunTemplate]\r\nName=Lettres\r\nShowReport=OUI\r\n");
    EXPECT_FALSE(WriteCompanionFile(dir("absent/"), "Lettres", true));
}
