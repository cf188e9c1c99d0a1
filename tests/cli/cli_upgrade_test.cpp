#include "../old_database.h"
#include "cli_process.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

// tandrel-cli upgrades a database made before actions kept versions, as the window does.
TEST(CliUpgrade, AnOldDatabaseIsUpgradedAndListed)
{
    TempDir app;
    WriteOldDatabase(app("Tandrel.mdb"));
    const CliResult result = RunCli({"--app-dir", app.path(), "list"});
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_TRUE(result.out.startsWith("Ancien")) << result.out.toStdString();
    EXPECT_TRUE(RunSql(app("Tandrel.mdb"), "SELECT KeepVersions FROM Actions"));
}
