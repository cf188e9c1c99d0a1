#include "../as_nobody.h"
#include "../old_database.h"
#include "project_db.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

// An old database is upgraded when opened: nothing kept, other values stay, the choice can be
// saved. Read-only (to "nobody"), it opens all the same.
TEST(SchemaUpgrade, AnOldDatabaseIsUpgradedInPlaceUnlessReadOnly)
{
    TempDir dir;
    const QString path = dir("Tandrel.mdb"), readOnly = dir("Lecture.mdb");
    WriteOldDatabase(path);
    WriteOldDatabase(readOnly);
    ::chmod(QFile::encodeName(dir.path()).constData(), 0755); // for "nobody" to read only

    ProjectDb db(path);
    Action action = db.actionsOf(1).back();
    EXPECT_EQ(action.keepVersions + action.fileFilter + action.fileSize, "NON*.txt>");
    EXPECT_TRUE(AsNobody([&] { return ProjectDb(readOnly).actionsOf(1).size() == 2; }));
    action.keepVersions = "OUI";
    db.updateAction(action);
    EXPECT_EQ(ProjectDb(path).actionsOf(1).back().keepVersions, "OUI");
}
