#include "ini_file.h"
#include "project_db.h"
#include "project_file.h"
#include "temp_dir.h"

#include <QFile>

#include <gtest/gtest.h>

#include <climits>

namespace {

// Values of a file, each named "Section/Key"; "<missing>" for a key that is not there.
QStringList iniValues(const QString &path, const QStringList &keys)
{
    const IniDocument ini(path);
    QStringList out;
    for (const QString &key : keys) {
        out += QStringLiteral("<missing>");
        ini.find(key.section(u'/', 0, 0), key.section(u'/', 1), &out.last());
    }
    return out;
}

// The texts a project file carries for an action, in one line.
QString texts(const Action &a)
{
    return QStringList {a.enabled, a.fileFilter, a.fromFolder, a.toFolder, a.description,
        a.fileDate, a.fileSize, a.op, a.inclSub, a.keepVersions}
        .join(u'|');
}

// An export or import in one line: the project and its count of actions, or the error.
QString summary(const ExchangeResult &r)
{
    return r.ok ? QStringLiteral("%1, %2 actions").arg(r.projectName).arg(r.actions)
                : "error: " + r.error;
}

// A project database and the files to import into it.
struct Importer {
    TempDir dir;
    ProjectDb db {dir("Tandrel.mdb")};
    ExchangeResult last;
    // Imports the file (written first unless content is null), checks the count reported.
    std::vector<Action> imported(const QString &name, const QByteArray &content = {})
    {
        last = ImportProject(db, content.isNull() ? dir(name) : dir.write(name, content));
        EXPECT_TRUE(last.ok) << last.error.toStdString();
        const std::vector<Action> actions = db.actionsOf(last.templateNo);
        EXPECT_EQ(size_t(last.actions), actions.size());
        return actions;
    }
    QString project() const // "name|description"
    {
        const std::optional<Project> p = db.project(last.templateNo);
        return p ? p->name + "|" + p->description : "<none>";
    }
};

} // namespace

TEST(ProjectFile, ChecksTheFileNameAndFindsNamesWithoutRegardToCase)
{
    // Without a dot the whole name is the extension.
    for (const char *name : {"/tmp/Sauvegarde.TDRL", "a.b.TDRL", "/tmp/TDRL"})
        EXPECT_TRUE(IsProjectFileName(name)) << name;
    for (const char *name :
        {"/tmp/Sauvegarde.tdrl", "/tmp/Sauvegarde.TDRL.bak", "/tmp/x.TDRL/", ""})
        EXPECT_FALSE(IsProjectFileName(name)) << name;

    Importer in;
    in.db.addProject("Été Photos", "");
    EXPECT_TRUE(TemplateExists(in.db, "ÉTÉ PHOTOS"));
    EXPECT_FALSE(TemplateExists(in.db, "Été Photos ") || TemplateExists(in.db, "Photos"));
}

// Never below 0, never beyond INT_MAX.
TEST(ProjectFile, ReadsTheActionCountAtTheStartOfTheText)
{
    EXPECT_EQ(ActionCountOf(" 12 actions") + ActionCountOf("-2") + ActionCountOf("abc"), 12);
    EXPECT_EQ(ActionCountOf(QString(400, u'9')), INT_MAX);
}

TEST(ProjectFile, ExportThenImportGivesTheSameProjectAndKeepsOtherSections)
{
    Importer in;
    const std::vector<Action> actions {
        {0, 0, "Lettres d'été « 2026 »", "OUI", "*.doc", "/données/\"origine\"", "/copie", "NON",
            ">", "<>", "AND", "OUI"},
        {0, 0, "", "NON", "*.jpg;*.png", "/a", "/b", "OUI", "", "", ""}};
    const qint64 no = in.db.addProjectWithActions("Données \"été\"", "Sauvegarde à Noël", actions);

    // A larger project exported earlier to the same file: its extra sections stay.
    const QString file = in.dir.write("Données.TDRL",
        "[Main]\r\nTemplateName=Ancien\r\nDescription=vieux\r\nActions=3\r\n"
        "[Action3]\r\nFileFilter=*.old\r\n[Autre]\r\nclé=valeur\r\n");
    EXPECT_EQ(summary(ExportProject(in.db, no, file)), "Données \"été\", 2 actions");
    EXPECT_EQ(
        iniValues(file, {"Main/Actions", "Action3/FileFilter", "Autre/clé", "Action2/Description"}),
        (QStringList {"2", "*.old", "valeur", ""}));

    // Imported back: Action3 is not counted.
    in.db.deleteProject(no);
    const std::vector<Action> stored = in.imported("Données.TDRL");
    EXPECT_EQ(in.project(), "Données \"été\"|Sauvegarde à Noël");
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_EQ(texts(stored[0]), texts(actions[0]));
    EXPECT_EQ(texts(stored[1]), texts(actions[1]));

    EXPECT_FALSE(ExportProject(in.db, in.last.templateNo, in.dir("absent/x.TDRL")).ok);
}

// Encodings and read-only files are the INI reader's; the import's own rules are here.
TEST(ProjectFile, ImportReadsOddFilesWritesEveryValueBackAndRefusesWhatItCannotStore)
{
    Importer in;
    // "3abc" announces three actions; the file holds one, with a duplicate section and key.
    std::vector<Action> stored = in.imported("trois.TDRL",
        "[Main]\nTemplateName=  Trois  \nActions=3abc\n[Action1]\nEnabled=oui\n"
        "FileFilter=*.txt\nFileFilter=*.second\n[Action1]\nToFolder=/ignored\n");
    ASSERT_EQ(stored.size(), 3u);
    EXPECT_EQ(texts(stored[0]), "oui|*.txt||||||||NON"); // stored as read, nothing kept
    EXPECT_EQ(texts(stored[2]), "|||||||||NON");
    // Values read come back trimmed; keys of missing sections are added, empty.
    EXPECT_EQ(iniValues(in.dir("trois.TDRL"),
                  {"Main/TemplateName", "Main/Description", "Action1/ToFolder", "Action3/InclSub",
                      "Action4/InclSub"}),
        (QStringList {"Trois", "", "", "", "<missing>"}));

    // A missing count is added with "0".
    EXPECT_EQ(in.imported("aucune.TDRL", "[Main]\nTemplateName=Aucune\n").size(), 0u);
    EXPECT_EQ(iniValues(in.dir("aucune.TDRL"), {"Main/Actions"}), QStringList {"0"});

    // Refused, creating nothing nor writing actions: no project name, or more actions announced
    // than the file has lines (the bound is its own length, however many sections it holds).
    const size_t before = in.db.projectsByName().size();
    for (const QByteArray &content : {QByteArray("[Main]\nTemplateName=  \nActions=2\n"),
             QByteArray("[Main]\nTemplateName=Énorme\nActions=4")}) {
        EXPECT_FALSE(ImportProject(in.db, in.dir.write("refus.TDRL", content)).ok);
        EXPECT_EQ(iniValues(in.dir("refus.TDRL"), {"Action1/Enabled"}), QStringList {"<missing>"});
    }
    EXPECT_FALSE(ImportProject(in.db, in.dir("absent.TDRL")).ok);
    EXPECT_FALSE(QFile::exists(in.dir("absent.TDRL")));
    EXPECT_EQ(in.db.projectsByName().size(), before);
    EXPECT_EQ(in.imported("vides.TDRL", "[Main]\nTemplateName=Vides\nActions=3").size(), 3u);
    QByteArray many = "[Main]\nTemplateName=Beaucoup\nActions=1500\n";
    for (int i = 1; i <= 1500; ++i)
        many += "[Action" + QByteArray::number(i) + "]\nFileFilter=*." + QByteArray::number(i)
            + "\n";
    const std::vector<Action> imported = in.imported("beaucoup.TDRL", many);
    ASSERT_EQ(imported.size(), 1500u);
    EXPECT_EQ(imported.back().fileFilter, "*.1500");
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
