#include "safe_copy.h"
#include "temp_dir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

QByteArray bytes(const QString &path)
{
    return QFile::encodeName(path);
}

QStringList everything(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

} // namespace

// A copy replaces the old one whole, with the origin's time and mode.
TEST(SafeCopy, ReplacesWholeAndKeepsTimeAndMode)
{
    TempDir dir;
    const QString from = dir.write("a/data.bin", QByteArray(300'000, 'n'));
    const QString to = dir.write("b/data.bin", "old");
    ASSERT_EQ(::chmod(bytes(from).constData(), 0640), 0);
    const struct timespec times[2] = {{1'500'000'000, 0}, {1'500'000'000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, bytes(from).constData(), times, 0), 0);
    // A temporary file left by a killed run is taken over, not kept.
    dir.write("b/.data.bin.tandrel-tmp", "half");

    EXPECT_EQ(SafeCopy(bytes(from), bytes(to)), 0);
    EXPECT_EQ(readFile(to), QByteArray(300'000, 'n'));
    struct stat st { };
    ASSERT_EQ(::stat(bytes(to).constData(), &st), 0);
    EXPECT_EQ(st.st_mtim.tv_sec, 1'500'000'000);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(everything(dir("b")), QStringList {"data.bin"});

    // The temporary name is hidden beside the file and stays within the file name limit.
    EXPECT_EQ(TemporaryCopyName("/d/nom.txt"), "/d/.nom.txt.tandrel-tmp");
    const QByteArray longTmp = TemporaryCopyName("/d/" + QByteArray(255, 'x'));
    EXPECT_TRUE(longTmp.startsWith("/d/."));
    EXPECT_LE(longTmp.size() - 3, 255);
}

TEST(SafeCopy, AFailureLeavesTheOldCopyWholeAndNoTemporaryFile)
{
    TempDir dir;
    const QString from = dir.write("a/big.bin", QByteArray(200'000, 'n'));
    const QString to = dir.write("b/big.bin", "old content");

    // Read-only destination file: refused, even for root.
    ASSERT_EQ(::chmod(bytes(to).constData(), 0444), 0);
    EXPECT_EQ(SafeCopy(bytes(from), bytes(to)), EACCES);
    EXPECT_EQ(readFile(to), "old content");
    ASSERT_EQ(::chmod(bytes(to).constData(), 0644), 0);

    // A disk that fills up half way (a file size limit stands in for it).
    struct rlimit old { };
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 64 * 1024;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const int err = SafeCopy(bytes(from), bytes(to));
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(err, EFBIG);
    EXPECT_EQ(readFile(to), "old content");
    EXPECT_EQ(everything(dir("b")), QStringList {"big.bin"});

    // A missing origin or destination folder.
    EXPECT_EQ(SafeCopy(bytes(dir("a/absent")), bytes(to)), ENOENT);
    EXPECT_EQ(SafeCopy(bytes(from), bytes(dir("absent/big.bin"))), ENOENT);
    EXPECT_EQ(readFile(to), "old content");
}
