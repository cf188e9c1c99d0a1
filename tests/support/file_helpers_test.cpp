#include "file_helpers.h"
#include "temp_dir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <sys/stat.h>

// The program asks for whole paths: of project files and reports.
TEST(FileAndFolderExists, FindOnlyNormalFilesAndFolders)
{
    TempDir dir;
    const QString plain = dir.write("plain.txt");
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir("pipe.txt")).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(plain, dir("link.txt")));
    ASSERT_TRUE(QFile::link(dir("gone.txt"), dir("dangling.txt")));
    ASSERT_TRUE(QFile::link(dir.mkdir("folder.txt"), dir("folder-link")));
    ASSERT_TRUE(QFile::setPermissions(plain, QFileDevice::ReadOwner)); // read-only is normal
    for (const char *name : {"plain.txt", "link.txt"})
        EXPECT_TRUE(FileExists(dir(name)) && !FolderExists(dir(name))) << name;
    for (const char *name : {"folder.txt", "pipe.txt", "dangling.txt", "plain.txt/", "PLAIN.TXT"})
        EXPECT_FALSE(FileExists(dir(name))) << name;
    EXPECT_TRUE(FolderExists(dir("folder-link")) && FolderExists(dir("folder.txt/")));
    for (const QString &other : {QString(), dir("missing"), plain + "/below"})
        EXPECT_FALSE(FileExists(other) || FolderExists(other)) << other.toStdString();
}

// A blank folder must never become the root folder.
TEST(PathText, AddBackslashHandlesTheEdges)
{
    for (const auto &[path, ended] : std::vector<std::pair<QString, QString>> {{"", ""},
             {"   ", ""}, {"/", "/"}, {"/tmp/x/", "/tmp/x/"}, {" /mes données ", " /mes données /"}})
        EXPECT_EQ(AddBackslash(path), ended) << path.toStdString();
}
