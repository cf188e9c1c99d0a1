#include "run_lock.h"
#include "temp_dir.h"

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <csignal>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

// A run in another process holds the lock until it is killed; then the lock is free at once.
// The lock file stays inside AppDir whatever the project's name.
TEST(RunLock, IsHeldByOneRunAtATimeAndFreedWhenItsHolderIsKilled)
{
    TempDir app;
    const QString project = QStringLiteral("../Photos/été");
    RunLock first(app.path(), project);
    ASSERT_EQ(QFileInfo(first.path()).absolutePath() + u'/', app.path());
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const QByteArray path = QFile::encodeName(first.path());
    const pid_t holder = ::fork();
    if (holder == 0) { // only system calls in the child
        const int fd = ::open(path.constData(), O_RDWR | O_CREAT, 0644);
        if (fd >= 0 && ::flock(fd, LOCK_EX) == 0 && ::write(ready[1], "x", 1) == 1)
            ::pause();
        ::_exit(1);
    }
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    EXPECT_EQ(first.tryLock(), RunLock::Result::Busy);
    ::kill(holder, SIGKILL);
    ::waitpid(holder, nullptr, 0);
    EXPECT_EQ(first.tryLock(), RunLock::Result::Taken);
    EXPECT_EQ(RunLock(app("manquant/"), project).tryLock(), RunLock::Result::Failed);
}
