#include "../as_nobody.h"
#include "../old_database.h"
#include "project_db.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

QStringList texts(const std::vector<Action> &actions)
{
    QStringList rows;
    for (const Action &a : actions)
        rows << QStringList {a.description, a.enabled, a.fileFilter, a.fromFolder, a.toFolder,
            a.inclSub, a.fileDate, a.fileSize, a.op, a.keepVersions}
                    .join(u'|');
    return rows;
}

} // namespace

// A database made before actions kept versions is upgraded when it is opened: every action
// keeps nothing and every other value stays. Read-only (to "nobody": root writes anywhere), it
// opens all the same, untouched, and reads the same.
TEST(SchemaUpgrade, AnOldDatabaseIsUpgradedInPlaceUnlessReadOnly)
{
    TempDir dir;
    const QString path = dir("Tandrel.mdb"), readOnly = dir.mkdir("lecture") + "/Tandrel.mdb";
    WriteOldDatabase(path);
    WriteOldDatabase(readOnly);
    for (const QString &folder : {dir.path(), dir("lecture")})
        ::chmod(QFile::encodeName(folder).constData(), 0755);
    ::chmod(QFile::encodeName(readOnly).constData(), 0444);
    const QByteArray before = readFile(readOnly);

    ProjectDb db(path);
    const QStringList upgraded = texts(db.actionsOf(1));
    EXPECT_EQ(upgraded,
        (QStringList {"docs|OUI|*.*|/a|/b|OUI|>|<>|OR|NON", "|NON|*.txt|/c|/d|NON||>|AND|NON"}));
    EXPECT_TRUE(AsNobody([&] { return texts(ProjectDb(readOnly).actionsOf(1)) == upgraded; }));
    EXPECT_EQ(readFile(readOnly), before);

    Action action = db.actionsOf(1).front();
    action.keepVersions = "OUI";
    db.updateAction(action);
    EXPECT_EQ(ProjectDb(path).actionsOf(1).front().keepVersions, "OUI");
}
