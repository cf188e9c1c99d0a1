#include "file_helpers.h"
#include "temp_dir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

bool isFolder(const QString &path)
{
    return QFileInfo(path).isDir();
}

bool makeFifo(const QString &path)
{
    return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
}

} // namespace

TEST(FileExists, FindsOnlyNormalFiles)
{
    TempDir dir;
    const QString plain = dir.write("plain.txt");
    ASSERT_TRUE(makeFifo(dir("pipe.txt")));
    ASSERT_TRUE(QFile::link(plain, dir("link.txt")));
    ASSERT_TRUE(QFile::link(dir("gone.txt"), dir("dangling.txt")));

    EXPECT_TRUE(FileExists(plain));
    EXPECT_TRUE(FileExists(dir("link.txt")));
    EXPECT_FALSE(FileExists(dir.write(".hidden.txt")));
    EXPECT_FALSE(FileExists(dir.mkdir("folder.txt")));
    EXPECT_FALSE(FileExists(dir("pipe.txt")));
    EXPECT_FALSE(FileExists("/dev/null"));
    EXPECT_FALSE(FileExists(dir("dangling.txt")));
    EXPECT_FALSE(FileExists(dir("missing.txt")));
    EXPECT_FALSE(FileExists(plain + "/"));
    EXPECT_FALSE(FileExists(QString()));
    // Without a wildcard the name is exact: "A.TXT" and "a.txt" are two files here.
    EXPECT_FALSE(FileExists(dir("PLAIN.TXT")));
    ASSERT_TRUE(QFile::setPermissions(plain, QFileDevice::ReadOwner));
    EXPECT_TRUE(FileExists(plain)); // read-only is still normal

    // The folder and the name are joined with nothing between them.
    dir.write("sub/b.txt");
    dir.write("subplain.txt");
    EXPECT_TRUE(FileExists("b.txt", dir("sub/")));
    EXPECT_TRUE(FileExists("plain.txt", dir("sub"))); // names subplain.txt
    EXPECT_FALSE(FileExists("b.txt", dir("sub")));
    EXPECT_TRUE(FileExists("*.TXT", dir("sub/")));
}

TEST(FileExists, HonoursWildcardsInTheLastComponent)
{
    TempDir dir;
    dir.write("docs/report.txt");
    dir.write("docs/ab.dat");
    dir.write("docs/été.log");
    dir.write("docs/.secret.cfg");
    dir.mkdir("docs/folder.bin");
    ASSERT_TRUE(makeFifo(dir("docs/pipe.fifo")));
    dir.write("empty/.only-hidden");
    const QString docs = dir("docs/");

    for (const char *pattern : {"*.txt", "*.TXT", "REPORT.*", "a?.dat", "É*.LOG", "?té.log", "*"})
        EXPECT_TRUE(FileExists(docs + pattern)) << pattern;
    // No match at all, or only a hidden file, a folder or a pipe.
    for (const char *pattern : {"a?.txt", "???.dat", "*.doc", "*.cfg", "*.bin", "*.fifo"})
        EXPECT_FALSE(FileExists(docs + pattern)) << pattern;
    EXPECT_FALSE(FileExists(dir("empty/*")));
    EXPECT_FALSE(FileExists(dir("missing/*.txt")));
    EXPECT_FALSE(FileExists(dir("d*/report.txt"))); // only the last component is a pattern
}

TEST(FolderExists, AnswersWithoutMovingTheCurrentDirectory)
{
    TempDir dir;
    const QString folder = dir.mkdir("folder");
    const QString file = dir.write("file.txt");
    ASSERT_TRUE(QFile::link(folder, dir("link")));
    const QString before = QDir::currentPath();

    EXPECT_FALSE(FolderExists(QString()));
    EXPECT_TRUE(FolderExists(folder));
    EXPECT_TRUE(FolderExists(folder + "/"));
    EXPECT_TRUE(FolderExists(dir("link")));
    EXPECT_FALSE(FolderExists(file));
    EXPECT_FALSE(FolderExists(dir("missing")));
    EXPECT_FALSE(FolderExists(file + "/below"));
    EXPECT_EQ(QDir::currentPath(), before);
}

TEST(MakeDir, CreatesEveryMissingLevelAndSkipsFailures)
{
    TempDir dir;
    const QString before = QDir::currentPath();
    MakeDir(dir("a/b/c"));
    EXPECT_TRUE(isFolder(dir("a/b/c")));
    MakeDir(dir("t1/t2/"));
    EXPECT_TRUE(isFolder(dir("t1/t2")));
    MakeDir(dir("d//e"));
    EXPECT_TRUE(isFolder(dir("d/e")));

    // An existing level is kept with its content.
    dir.write("m/keep.txt", "content");
    MakeDir(dir("m/n/o"));
    EXPECT_TRUE(isFolder(dir("m/n/o")));
    EXPECT_EQ(QFileInfo(dir("m/keep.txt")).size(), 7);

    // A level taken by a file blocks what lies below it, quietly.
    dir.write("blocked", "file");
    MakeDir(dir("blocked/x/y"));
    EXPECT_TRUE(QFileInfo(dir("blocked")).isFile());
    EXPECT_FALSE(QFileInfo::exists(dir("blocked/x")));
    MakeDir(QString());
    EXPECT_EQ(QDir::currentPath(), before);

    // A relative path goes below the current directory, which stays where it was.
    ASSERT_TRUE(QDir::setCurrent(dir("t1")));
    MakeDir(QStringLiteral("r1/r2"));
    const bool created = isFolder(dir("t1/r1/r2"));
    const QString current = QDir::current().canonicalPath();
    QDir::setCurrent(before);
    EXPECT_TRUE(created);
    EXPECT_EQ(current, QDir(dir("t1")).canonicalPath());
}

TEST(AddBackslash, AppendsOneSeparatorToNonBlankPaths)
{
    EXPECT_EQ(AddBackslash(QString()), QString());
    EXPECT_EQ(AddBackslash("   "), QString());
    EXPECT_EQ(AddBackslash("/"), "/");
    EXPECT_EQ(AddBackslash("/tmp/x"), "/tmp/x/");
    EXPECT_EQ(AddBackslash("/tmp/x/"), "/tmp/x/");
    EXPECT_EQ(AddBackslash(" /mes données "), " /mes données /");
}

TEST(GetExtension, TakesWhatFollowsTheLastDot)
{
    EXPECT_EQ(GetExtension("projet.TDRL", false), "TDRL");
    EXPECT_EQ(GetExtension("Projet.TdRl", true), ".TdRl");
    EXPECT_EQ(GetExtension("projet", false), "projet");
    EXPECT_EQ(GetExtension("a.b.c", true), ".c");
    EXPECT_EQ(GetExtension("nom.", false), "");
    EXPECT_EQ(GetExtension("nom.", true), ".");
    EXPECT_EQ(GetExtension("/v1.2/fichier", false), "2/fichier");
}
