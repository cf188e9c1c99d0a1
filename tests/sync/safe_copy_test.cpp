#include "run_fixture.h"
#include "safe_copy.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <thread>

namespace {

QByteArray bytes(const QString &path)
{
    return QFile::encodeName(path);
}

} // namespace

// A copy replaces the old one whole, with the origin's time to the nanosecond and its mode but
// never its set-user-ID or set-group-ID bit.
TEST(SafeCopy, ReplacesWholeAndKeepsTimeAndMode)
{
    TempDir dir;
    const QString from = dir.write("a/data.bin", QByteArray(300'000, 'n'));
    const QString to = dir.write("b/data.bin", "old");
    ASSERT_EQ(::chmod(bytes(from).constData(), 06751), 0);
    const struct timespec times[2] = {{1, 0}, {1'500'000'000, 123'456'789}};
    ASSERT_EQ(::utimensat(AT_FDCWD, bytes(from).constData(), times, 0), 0);

    EXPECT_EQ(SafeCopy(bytes(from), bytes(to)).bytes, 300'000);
    EXPECT_EQ(readFile(to), readFile(from));
    struct stat st { };
    ASSERT_EQ(::stat(bytes(to).constData(), &st), 0);
    EXPECT_EQ(st.st_mtim.tv_sec * 1'000'000'000 + st.st_mtim.tv_nsec, 1'500'000'000'123'456'789);
    EXPECT_EQ(st.st_mode & 07777, 0751u);
}

// Long names are cut for the temporary name, which stays hidden, within the name limit, whole
// in its characters, and different for names that only differ at their end.
TEST(SafeCopy, TemporaryNamesStayApartAndWithinTheLimit)
{
    EXPECT_NE(TemporaryCopyName("/d/nom.txt", 1), TemporaryCopyName("/d/nom.txt"));
    const QByteArray prefix(245, 'x');
    const QByteArray accented = QByteArray(240, 'e') + QString("ééééééééé").toUtf8(); // 258
    for (const QByteArray &name :
        {prefix + "aaaaa", prefix + "bbbbb", QByteArray(255, 'y'), accented.left(255)}) {
        const QByteArray tmp = TemporaryCopyName("/d/" + name).mid(3);
        EXPECT_TRUE(tmp.startsWith('.') && tmp.endsWith(".tandrel-tmp")) << tmp.constData();
        EXPECT_LE(tmp.size(), 255);
        EXPECT_TRUE(QString::fromUtf8(tmp).toUtf8() == tmp) << "a character cut in two";
    }
    EXPECT_NE(
        TemporaryCopyName("/d/" + prefix + "aaaaa"), TemporaryCopyName("/d/" + prefix + "bbbbb"));
}

// A temporary file left by a killed run is taken over once abandoned; one that a copy under
// way holds (its lock), or that changed a moment ago, is never removed: the copy goes through
// another name.
TEST(SafeCopy, TakesOverOnlyAbandonedTemporaryFiles)
{
    TempDir dir;
    const QString from = dir.write("a/f.txt", "new");
    const QString to = dir.write("b/f.txt", "old");
    dir.write("a/g.txt", "new");
    dir.write("b/g.txt", "old");
    dir.write("b/.g.txt.tandrel-tmp", "left by a run killed while replacing g.txt");
    const QString held = dir.write("b/.f.txt.tandrel-tmp", "someone else's copy");
    const int fd = ::open(bytes(held).constData(), O_RDONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(2100)); // all abandoned by their age
    const QString fresh = dir.write("b/.f.txt.1.tandrel-tmp", "just made, not locked yet");

    EXPECT_TRUE(SafeCopy(bytes(from), bytes(to)).ok());
    EXPECT_TRUE(SafeCopy(bytes(dir("a/g.txt")), bytes(dir("b/g.txt"))).ok());
    ::close(fd);
    EXPECT_EQ(readFile(to) + readFile(dir("b/g.txt")), "newnew");
    EXPECT_EQ(readFile(held), "someone else's copy");
    EXPECT_EQ(readFile(fresh), "just made, not locked yet");
    EXPECT_EQ(everything(dir("b")),
        (QStringList {".f.txt.1.tandrel-tmp", ".f.txt.tandrel-tmp", "f.txt", "g.txt"}));
}

TEST(SafeCopy, AFailureLeavesTheOldCopyWholeAndNoTemporaryFile)
{
    TempDir dir;
    const QString from = dir.write("a/big.bin", QByteArray(200'000, 'n'));
    const QString to = dir.write("b/big.bin", "old content");

    // Read-only destination file: refused, even for root.
    ASSERT_EQ(::chmod(bytes(to).constData(), 0444), 0);
    EXPECT_EQ(SafeCopy(bytes(from), bytes(to)).error, EACCES);
    ASSERT_EQ(::chmod(bytes(to).constData(), 0644), 0);

    // A disk that fills up half way (a file size limit stands in for it).
    struct rlimit old { };
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 64 * 1024;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const CopyResult full = SafeCopy(bytes(from), bytes(to));
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(full.fault, CopyFault::Refused);
    EXPECT_EQ(full.error, EFBIG);

    // A missing origin or destination folder.
    EXPECT_EQ(SafeCopy(bytes(dir("a/absent")), bytes(to)).error, ENOENT);
    EXPECT_EQ(SafeCopy(bytes(from), bytes(dir("absent/big.bin"))).error, ENOENT);

    // A cancelled run stops the copy under way.
    const std::atomic<bool> cancel {true};
    EXPECT_EQ(SafeCopyAt(AT_FDCWD, bytes(from), AT_FDCWD, bytes(to), 0644, &cancel).fault,
        CopyFault::Cancelled);

    EXPECT_EQ(readFile(to), "old content");
    EXPECT_EQ(everything(dir("b")), QStringList {"big.bin"});
}
