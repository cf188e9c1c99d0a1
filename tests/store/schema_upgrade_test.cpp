#include "../as_nobody.h"
#include "../old_database.h"
#include "project_db.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

// Every row of both tables, as SQLite gives them to another program.
QStringList dump(const QString &path)
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    QStringList rows;
    for (const char *sql : {"SELECT * FROM Templates", "SELECT * FROM Actions"}) {
        sqlite3_stmt *stmt = nullptr;
        sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr);
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            QStringList row;
            for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
                const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(stmt, c));
                row << QString::fromLatin1(sqlite3_column_name(stmt, c)) + '='
                        + (text ? QString::fromUtf8(text) : QStringLiteral("NULL"));
            }
            rows << row.join(u'|');
        }
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
    return rows;
}

std::vector<QString> keptFlags(const std::vector<Action> &actions)
{
    std::vector<QString> flags;
    for (const Action &action : actions)
        flags.push_back(action.keepVersions);
    return flags;
}

} // namespace

// A database made before actions kept versions is upgraded when opened: the column is there,
// "NON" for every action, every other value as it was; the choice is then stored and read back.
TEST(SchemaUpgrade, AnOldDatabaseGetsTheColumnAndNothingElseChanges)
{
    TempDir dir;
    const QString path = dir("Tandrel.mdb");
    WriteOldDatabase(path);
    const QStringList before = dump(path);
    {
        ProjectDb db(path);
        EXPECT_EQ(keptFlags(db.actionsOf(1)), (std::vector<QString> {"NON", "NON"}));
    }
    QStringList expected = before;
    for (qsizetype row = 1; row < expected.size(); ++row)
        expected[row] += QStringLiteral("|KeepVersions=NON");
    EXPECT_EQ(dump(path), expected);

    ProjectDb again(path);
    Action action = again.actionsOf(1).back();
    action.keepVersions = QStringLiteral("OUI");
    again.updateAction(action);
    action.keepVersions = QStringLiteral("OUI");
    again.addAction(action);
    EXPECT_EQ(
        keptFlags(ProjectDb(path).actionsOf(1)), (std::vector<QString> {"NON", "OUI", "OUI"}));
}

// A read-only old database cannot be upgraded: it still opens, every action keeps nothing, and
// the file stays as it was. Root writes to read-only files, so "nobody" opens it.
TEST(SchemaUpgrade, AReadOnlyOldDatabaseOpensAsItIs)
{
    TempDir dir;
    const QString path = dir("Tandrel.mdb");
    WriteOldDatabase(path);
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0444), 0);
    const QByteArray before = readFile(path);

    const int code = ExitCodeAsNobody([&] {
        try {
            const std::vector<Action> actions = ProjectDb(path).actionsOf(1);
            return keptFlags(actions) == std::vector<QString> {"NON", "NON"} ? 0 : 1;
        } catch (const std::exception &) {
            return 2;
        }
    });
    EXPECT_EQ(code, 0) << "3: could not open it as an unprivileged user";
    EXPECT_EQ(readFile(path), before);
}
