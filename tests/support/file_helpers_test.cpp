#include "file_helpers.h"
#include "temp_dir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <sys/stat.h>

TEST(FileExists, FindsOnlyNormalFilesAndHonoursWildcardsInTheLastComponent)
{
    TempDir dir;
    const QString plain = dir.write("plain.txt");
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir("pipe.txt")).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(plain, dir("link.txt")));
    ASSERT_TRUE(QFile::link(dir("gone.txt"), dir("dangling.txt")));
    dir.write(".hidden.txt");
    dir.mkdir("folder.txt");
    ASSERT_TRUE(QFile::setPermissions(plain, QFileDevice::ReadOwner)); // read-only is normal

    EXPECT_TRUE(FileExists(plain));
    EXPECT_TRUE(FileExists(dir("link.txt")));
    // Without a wildcard the name is exact: "PLAIN.TXT" is another file here.
    for (const char *name : {".hidden.txt", "folder.txt", "pipe.txt", "dangling.txt", "missing.txt",
             "plain.txt/", "PLAIN.TXT"})
        EXPECT_FALSE(FileExists(dir(name))) << name;
    EXPECT_FALSE(FileExists("/dev/null"));
    EXPECT_FALSE(FileExists(QString()));

    // The folder and the name are joined with nothing between them.
    dir.write("sub/b.txt");
    dir.write("subplain.txt");
    EXPECT_TRUE(FileExists("b.txt", dir("sub/")));
    EXPECT_TRUE(FileExists("plain.txt", dir("sub"))); // names subplain.txt
    EXPECT_FALSE(FileExists("b.txt", dir("sub")));
    EXPECT_TRUE(FileExists("*.TXT", dir("sub/")));

    dir.write("docs/report.txt");
    dir.write("docs/ab.dat");
    dir.write("docs/été.log");
    dir.write("docs/.secret.cfg");
    dir.mkdir("docs/folder.bin");
    dir.write("empty/.only-hidden");
    const QString docs = dir("docs/");
    for (const char *pattern : {"*.TXT", "REPORT.*", "a?.dat", "É*.LOG", "?té.log"})
        EXPECT_TRUE(FileExists(docs + pattern)) << pattern;
    // No match at all, or only a hidden file, a folder or a pipe.
    for (const char *pattern : {"a?.txt", "???.dat", "*.doc", "*.cfg", "*.bin"})
        EXPECT_FALSE(FileExists(docs + pattern)) << pattern;
    EXPECT_FALSE(FileExists(dir("pipe.*")));
    EXPECT_FALSE(FileExists(dir("empty/*")));
    EXPECT_FALSE(FileExists(dir("d*/report.txt"))); // only the last component is a pattern
}

TEST(FolderAndMakeDir, FindAndCreateFoldersWithoutMovingTheCurrentDirectory)
{
    TempDir dir;
    const QString before = QDir::currentPath();
    const QString file = dir.write("file.txt");
    ASSERT_TRUE(QFile::link(dir.mkdir("folder"), dir("link")));
    for (const QString &folder : {dir("folder/"), dir("link")})
        EXPECT_TRUE(FolderExists(folder)) << folder.toStdString();
    for (const QString &other : {QString(), file, dir("missing"), file + "/below"})
        EXPECT_FALSE(FolderExists(other)) << other.toStdString();

    // Every missing level is made, an existing one is kept with its content; a level taken by a
    // file blocks, quietly.
    dir.write("a/keep.txt", "content");
    for (const char *path : {"a/b/c", "a/n/o", "t1/t2/", "d//e"}) {
        MakeDir(dir(path));
        EXPECT_TRUE(QFileInfo(dir(path)).isDir()) << path;
    }
    EXPECT_EQ(QFileInfo(dir("a/keep.txt")).size(), 7);
    MakeDir(file + "/x/y");
    EXPECT_TRUE(QFileInfo(file).isFile());
    EXPECT_FALSE(QFileInfo::exists(file + "/x"));
    MakeDir(QString());
    EXPECT_EQ(QDir::currentPath(), before);

    // A relative path goes below the current directory, which stays where it was.
    ASSERT_TRUE(QDir::setCurrent(dir("t1")));
    MakeDir(QStringLiteral("r1/r2"));
    const QString current = QDir::current().canonicalPath();
    QDir::setCurrent(before);
    EXPECT_TRUE(QFileInfo(dir("t1/r1/r2")).isDir());
    EXPECT_EQ(current, QDir(dir("t1")).canonicalPath());
}

TEST(PathText, AddBackslashAndGetExtensionHandleTheEdges)
{
    using Texts = std::vector<std::pair<QString, QString>>;
    for (const auto &[path, ended] : Texts {{"", ""}, {"   ", ""}, {"/", "/"},
             {"/tmp/x/", "/tmp/x/"}, {" /mes données ", " /mes données /"}})
        EXPECT_EQ(AddBackslash(path), ended) << path.toStdString();
    // Without a dot the whole name; with the dot asked for, the dot in front.
    for (const auto &[name, extension] :
        Texts {{"projet", "projet"}, {"a.b.c", "c"}, {"nom.", ""}, {"/v1.2/fichier", "2/fichier"}})
        EXPECT_EQ(GetExtension(name, false), extension) << name.toStdString();
    EXPECT_EQ(GetExtension("Projet.TdRl", true), ".TdRl");
    EXPECT_EQ(GetExtension("nom.", true), ".");
}
