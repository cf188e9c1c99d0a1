#include "project_db.h"
#include "project_file.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

// Each action's choice goes out to a project file and comes back; a file made before the
// choice existed imports with it off.
TEST(KeepVersionsKey, ExportedAndImportedWithEachAction)
{
    TempDir dir;
    ProjectDb db(dir("Tandrel.mdb"));
    const qint64 key = db.addProject("Clé", "");
    for (const char *keep : {"OUI", "NON"}) {
        Action action {0, key, "", "OUI", "*.*", "/a", "/b", "OUI", ">", "<>", "OR"};
        action.keepVersions = keep;
        db.addAction(action);
    }
    ASSERT_TRUE(ExportProject(db, key, dir("Clé.TDRL")).ok);
    dir.write("Ancien.TDRL", "[Main]\nTemplateName=Ancien\nActions=1\n[Action1]\nEnabled=OUI\n");
    QStringList flags;
    for (const QString file : {"Clé.TDRL", "Ancien.TDRL"})
        for (const Action &action : db.actionsOf(ImportProject(db, dir(file)).templateNo))
            flags << action.keepVersions;
    EXPECT_EQ(flags, (QStringList {"OUI", "NON", "NON"}));
}
