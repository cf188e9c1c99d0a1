#include "run_lock.h"
#include "temp_dir.h"
#include "unit_escape.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

#include <csignal>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// systemd's own tool is the judge of the escaping.
TEST(UnitEscape, WritesWhatSystemdEscapeWrites)
{
    const QStringList names {"Sauvegarde", "Photos 2024", "a/b/c", "-début", ".caché", "x.y",
        "dé-jà\\vu", "100%", "tab\tligne\nfin", "日本", "a:b_c", "$HOME", "x.", "é.é"};
    for (const QString &name : names) {
        QProcess tool;
        tool.start(QStringLiteral("systemd-escape"), {QStringLiteral("--"), name});
        ASSERT_TRUE(tool.waitForFinished(10000)) << "systemd-escape is missing";
        ASSERT_EQ(tool.exitCode(), 0) << name.toStdString();
        EXPECT_EQ(SystemdEscape(name), QString::fromUtf8(tool.readAllStandardOutput()).trimmed())
            << name.toStdString();
    }
}

// A run in another process holds the lock until it is killed; then the lock is free at once.
TEST(RunLock, IsHeldByOneRunAtATimeAndFreedWhenItsHolderIsKilled)
{
    TempDir app;
    const QString project = QStringLiteral("../Photos/été 2024");
    auto first = std::make_unique<RunLock>(app.path(), project);
    ASSERT_EQ(QFileInfo(first->path()).absolutePath() + u'/', app.path()); // never outside AppDir

    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const QByteArray path = QFile::encodeName(first->path());
    const pid_t holder = ::fork();
    ASSERT_GE(holder, 0);
    if (holder == 0) { // only system calls in the child
        const int fd = ::open(path.constData(), O_RDWR | O_CREAT, 0644);
        if (fd >= 0 && ::flock(fd, LOCK_EX) == 0 && ::write(ready[1], "x", 1) == 1)
            ::pause();
        ::_exit(1);
    }
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    EXPECT_EQ(first->tryLock(), RunLock::Result::Busy);
    ::kill(holder, SIGKILL);
    ::waitpid(holder, nullptr, 0);
    ::close(ready[0]);
    ::close(ready[1]);
    EXPECT_EQ(first->tryLock(), RunLock::Result::Taken);

    // Another project is not held up; the same one is, until the first run ends.
    RunLock other(app.path(), project + u'x');
    EXPECT_EQ(other.tryLock(), RunLock::Result::Taken);
    auto second = std::make_unique<RunLock>(app.path(), project);
    EXPECT_EQ(second->tryLock(), RunLock::Result::Busy);
    const std::atomic<bool> cancel {true};
    EXPECT_EQ(second->lock(cancel), RunLock::Result::Cancelled);

    // A waiting run starts when the first one ends.
    std::thread ending([&first] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        first.reset();
    });
    const std::atomic<bool> keepWaiting {false};
    EXPECT_EQ(second->lock(keepWaiting), RunLock::Result::Taken);
    ending.join();
}

// Names too long for a file, or that only differ by characters a file name cannot hold, still
// get locks of their own; a folder that cannot hold the file says why.
TEST(RunLock, GivesEveryNameItsOwnFileAndReportsAFolderItCannotUse)
{
    TempDir app;
    const QString longName(300, u'é');
    RunLock a(app.path(), longName + u'a');
    RunLock b(app.path(), longName + u'b');
    RunLock slash(app.path(), QStringLiteral("a/b"));
    RunLock dash(app.path(), QStringLiteral("a-b"));
    for (RunLock *lock : {&a, &b, &slash, &dash})
        EXPECT_EQ(lock->tryLock(), RunLock::Result::Taken) << lock->path().toStdString();
    EXPECT_EQ(QDir(app.path()).entryList(QDir::Files).size(), 4);

    RunLock nowhere(app("manquant/"), QStringLiteral("x"));
    EXPECT_EQ(nowhere.tryLock(), RunLock::Result::Failed);
    EXPECT_EQ(nowhere.error(), ENOENT);
}

} // namespace
