#include "app_dir.h"
#include "app_id.h"
#include "temp_dir.h"

#include <QFileInfo>

#include <gtest/gtest.h>

TEST(ResolveAppDir, PrefersAWritableProgramFolderElseFallsBackToThePerUserFolder)
{
    TempDir dir;
    const QString exeDir = dir.mkdir("bin");
    const QString file = dir.write("program-file");
    const QString perUser = dir("home/.local/share/Tandrel");

    EXPECT_EQ(ResolveAppDir(exeDir + "/", perUser), exeDir + "/");
    EXPECT_FALSE(QFileInfo::exists(perUser)); // not created when not needed

    // A program folder that does not exist, or is a file, cannot hold the database.
    for (const QString &unusable : {dir("missing"), file + "/sub", QString()})
        EXPECT_EQ(ResolveAppDir(unusable, perUser), perUser + "/") << unusable.toStdString();
    EXPECT_TRUE(QFileInfo(perUser).isDir());
    EXPECT_FALSE(QFileInfo::exists(dir("missing")));

    // Neither usable: no folder at all.
    EXPECT_EQ(ResolveAppDir(dir("missing"), file + "/data"), QString());
    EXPECT_TRUE(QFileInfo(file).isFile());
}

// An installed program (its desktop entry beside it) never writes beside itself, even as root.
TEST(ResolveAppDir, AnInstalledProgramUsesThePerUserFolder)
{
    TempDir dir;
    const QString bin = dir.mkdir("usr/bin");
    const QString perUser = dir("home/.local/share/Tandrel");
    dir.write("usr/share/applications/other.desktop");
    EXPECT_EQ(ResolveAppDir(bin, perUser), bin + "/");

    dir.write("usr/share/applications/" + AppId() + ".desktop");
    EXPECT_EQ(ResolveAppDir(bin, perUser), perUser + "/");
    EXPECT_EQ(ResolveAppDir(bin + "/", perUser), perUser + "/");
}
