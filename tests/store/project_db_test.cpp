#include "db_error.h"
#include "foreign_database.h"
#include "project_db.h"
#include "temp_dir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

// Runs SQL on the file as another program would; the first column of the last row, if any.
QString rawSql(const QString &path, const char *sql)
{
    sqlite3 *db = nullptr;
    sqlite3_open(QFile::encodeName(path).constData(), &db);
    QString last;
    const auto keep = [](void *out, int, char **values, char **) {
        *static_cast<QString *>(out) = QString::fromUtf8(values[0] ? values[0] : "");
        return 0;
    };
    EXPECT_EQ(sqlite3_exec(db, sql, keep, &last, nullptr), SQLITE_OK) << sql;
    sqlite3_close(db);
    return last;
}

Action makeAction(qint64 templateNo, const QString &tag)
{
    return {0, templateNo, "desc " + tag, "en " + tag, "*." + tag, "/from/" + tag, "/to/" + tag,
        "sub " + tag, "date " + tag, "size " + tag, "op " + tag};
}

// Every column of each action, one line per action, so that swapped columns show at once.
std::vector<std::string> rows(const std::vector<Action> &actions)
{
    std::vector<std::string> out;
    for (const Action &a : actions)
        out.push_back(QStringList {QString::number(a.actionNo), QString::number(a.templateNo),
            a.description, a.enabled, a.fileFilter, a.fromFolder, a.toFolder, a.inclSub, a.fileDate,
            a.fileSize, a.op}
                          .join(u'|')
                          .toStdString());
    return out;
}

// One member of each project, in order.
template <class T> std::vector<T> each(const std::vector<Project> &projects, T Project::*member)
{
    std::vector<T> out;
    for (const Project &p : projects)
        out.push_back(p.*member);
    return out;
}

// A project as "name|description"; "<none>" when there is none.
QString shown(const std::optional<Project> &p)
{
    return p ? p->name + '|' + p->description : QStringLiteral("<none>");
}

} // namespace

TEST(ProjectDb, RefusesFilesThatAreNotItsDatabaseAndLeavesThemUntouched)
{
    TempDir dir;
    // A missing folder is not created, a folder is no file.
    EXPECT_THROW(ProjectDb {dir("no-such-folder/Tandrel.mdb")}, DbError);
    EXPECT_FALSE(QFileInfo::exists(dir("no-such-folder")));
    EXPECT_THROW(ProjectDb {dir.mkdir("a-folder.mdb")}, DbError);

    // Other files are refused and left untouched. A real database big enough to span many pages.
    {
        ProjectDb db(dir("full.mdb"));
        for (int i = 0; i < 200; ++i)
            db.addProject(QString::number(i), QString(500, u'x'));
    }
    // Same size, tables intact, but the page after the schema overwritten.
    QByteArray damaged = readFile(dir("full.mdb"));
    ASSERT_GT(damaged.size(), 64 * 1024);
    damaged.replace(4096, 4096, QByteArray(4096, '\x5a'));
    const auto sqliteFile = [&](const QString &name, const QString &sql) {
        return rawSql(dir(name), sql.toUtf8().constData()), readFile(dir(name));
    };
    const std::vector<std::pair<QString, QByteArray>> cases = {
        {"empty.mdb", QByteArray()},
        {"damaged.mdb", damaged},
        {"missing-column.mdb",
            sqliteFile("column.src", // all but Actions.Operator
                "CREATE TABLE Templates (TemplateNo, Name, Description);"
                "CREATE TABLE Actions (ActionNo, TemplateNo, Description, Enabled, FileFilter, "
                "FromFolder, ToFolder, InclSub, FileDate, FileSize);")},
        {"trigger.mdb", (WriteForeignDatabase(dir("trigger.src")), readFile(dir("trigger.src")))},
    };
    for (const auto &[name, bytes] : cases) {
        SCOPED_TRACE(name.toStdString());
        const QString file = dir.write("refused/" + name, bytes);
        EXPECT_THROW(ProjectDb {file}, DbError);
        EXPECT_EQ(readFile(file), bytes);
        EXPECT_EQ(QDir(dir("refused")).entryList(QDir::Files | QDir::Hidden),
            QStringList {name}); // no journal or side file left behind
        QFile::remove(file);
    }
}

TEST(ProjectDb, ReportsALockedFileAndWorksAgainOnceItIsFree)
{
    TempDir dir;
    const QString path = dir("Tandrel.mdb");
    ProjectDb db(path);
    const qint64 key = db.addProject("verrouillé", QString());
    db.addAction(makeAction(key, "txt"));

    sqlite3 *other = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(path).constData(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    EXPECT_THROW(ProjectDb {path}, DbError);
    EXPECT_THROW(db.deleteProject(key), DbError);
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);

    // The failed deletion left no transaction behind: the next one goes through whole.
    db.deleteProject(key);
    EXPECT_EQ(shown(db.project(key)), "<none>");
    EXPECT_EQ(rawSql(path, "SELECT count(*) FROM Actions"), "0");
    EXPECT_EQ(db.addProject("libre", QString()), key + 1);
}

TEST(ProjectDb, StoresAwkwardNamesAndFindsProjectsByExactName)
{
    TempDir dir;
    ProjectDb db(dir("Tandrel.mdb"));
    for (const QString name : {"l'été", "100% sûr", "'; DROP TABLE Templates; --"}) {
        const qint64 key = db.addProject(name, name + " (description)");
        EXPECT_EQ(shown(db.project(key)), name + "|" + name + " (description)");
        EXPECT_EQ(each(db.projectsNamed(name), &Project::templateNo), std::vector<qint64> {key});
    }
    EXPECT_TRUE(db.projectsNamed("100% s").empty()); // "%" is no wildcard

    // Exact names only, duplicates in key order.
    db.addProject("Sauvegarde", "un");
    db.addProject("Sauvegarde ", "trois");
    db.addProject("Sauvegarde", "quatre");
    EXPECT_EQ(each(db.projectsNamed("Sauvegarde"), &Project::description),
        (std::vector<QString> {"un", "quatre"}));
    EXPECT_TRUE(db.projectsNamed("SAUVEGARDE").empty());
}

// Rows another program wrote: keys past 16 bits, NULL texts.
TEST(ProjectDb, WorksWithKeysBeyondSixteenBitsAndReadsNullsAsEmptyTexts)
{
    TempDir dir;
    const QString path = dir("Tandrel.mdb");
    ProjectDb db(path);
    rawSql(path,
        "INSERT INTO Templates VALUES (40000, 'grand', 'clé'), (7, NULL, NULL);"
        "INSERT INTO Actions (TemplateNo) VALUES (7);");
    EXPECT_EQ(db.addProject("suivant", QString()), 40001);
    EXPECT_EQ(shown(db.project(7)), "|");
    EXPECT_EQ(rows(db.actionsOf(7)), std::vector<std::string> {"1|7" + std::string(9, '|')});
}

TEST(ProjectDb, KeepsActionsInOrderAndNeverMovesThemToAnotherProject)
{
    TempDir dir;
    const QString path = dir("Tandrel.mdb");
    ProjectDb db(path);
    const qint64 one = db.addProject("un", QString());
    const qint64 two = db.addProject("deux", QString());
    std::vector<Action> ofOne, ofTwo;
    for (const char *tag : {"zz", "aa", "mm"}) {
        ofOne.push_back(makeAction(one, QString::fromLatin1(tag)));
        ofOne.back().actionNo = db.addAction(ofOne.back());
        ofTwo.push_back(makeAction(two, QString::fromLatin1(tag) + "2"));
        ofTwo.back().actionNo = db.addAction(ofTwo.back());
    }
    EXPECT_EQ(rows(db.actionsOf(one)), rows(ofOne));
    EXPECT_EQ(rows(db.actionsOf(two)), rows(ofTwo));

    // An update rewrites its project's row in its place; naming another project changes nothing.
    Action edited = makeAction(two, "new");
    edited.actionNo = ofOne[1].actionNo;
    db.updateAction(edited);
    EXPECT_EQ(rows(db.actionsOf(two)), rows(ofTwo));
    edited.templateNo = one;
    db.updateAction(edited);
    ofOne[1] = edited;
    db.deleteAction(ofOne[0]);
    ofOne.erase(ofOne.begin());
    EXPECT_EQ(rows(db.actionsOf(one)), rows(ofOne));
    EXPECT_EQ(rows(db.actionsOf(two)), rows(ofTwo));

    // Renaming a project keeps its actions; deleting it removes them and only them.
    db.updateProject(one, "un bis", "nouvelle description");
    EXPECT_EQ(shown(db.project(one)) + QString::number(db.actionsOf(one).size()),
        "un bis|nouvelle description2");
    db.deleteProject(one);
    EXPECT_EQ(shown(db.project(one)), "<none>");
    EXPECT_EQ(rawSql(path, "SELECT count(*) FROM Actions"), "3");

    // A write to a project deleted meanwhile is refused inside its transaction.
    EXPECT_THROW(db.addAction(makeAction(one, "lost")), ProjectGone);
    EXPECT_THROW(db.updateProject(one, "revenu", QString()), ProjectGone);
    EXPECT_EQ(rawSql(path, "SELECT count(*) FROM Actions")
            + rawSql(path, "SELECT count(*) FROM Templates"),
        "31");
}
