#include "../old_database.h"
#include "cli_process.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

// tandrel-cli opens a database made before actions kept versions as the window does: upgraded
// in place, and listed as before.
TEST(CliUpgrade, AnOldDatabaseIsUpgradedAndListed)
{
    TempDir app;
    WriteOldDatabase(app("Tandrel.mdb"));
    ASSERT_EQ(StoredKeepVersions(app("Tandrel.mdb")), "<none>");

    const CliResult result = RunCli({"--app-dir", app.path(), "list"});
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_TRUE(result.out.startsWith("Ancien")) << result.out.toStdString();
    EXPECT_EQ(StoredKeepVersions(app("Tandrel.mdb")), "NON/NON");
}
