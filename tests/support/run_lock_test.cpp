#include "run_lock.h"
#include "temp_dir.h"
#include "unit_escape.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

#include <csignal>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// systemd's own tool is the judge of the escaping.
TEST(UnitEscape, WritesWhatSystemdEscapeWrites)
{
    for (const QString name : {"Photos 2024", "a/b-c", ".caché", "x.y.", "dé\\jà", "100% $HOME",
             "tab\tfin\n", "日本", "a:b_c"}) {
        QProcess tool;
        tool.start("systemd-escape", {"--", name});
        ASSERT_TRUE(tool.waitForFinished(10000) && tool.exitCode() == 0) << "no systemd-escape";
        EXPECT_EQ(SystemdEscape(name), QString::fromUtf8(tool.readAllStandardOutput()).trimmed())
            << name.toStdString();
    }
}

// A run in another process holds the lock until it is killed; then the lock is free at once.
// Every project name gets its own lock file inside AppDir, even too long for a file name.
TEST(RunLock, IsHeldByOneRunAtATimeAndFreedWhenItsHolderIsKilled)
{
    TempDir app;
    const QString project = QStringLiteral("../Photos/été 2024");
    RunLock first(app.path(), project);
    ASSERT_EQ(QFileInfo(first.path()).absolutePath() + u'/', app.path());
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const QByteArray path = QFile::encodeName(first.path());
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
    EXPECT_EQ(first.tryLock(), RunLock::Result::Busy);
    ::kill(holder, SIGKILL);
    ::waitpid(holder, nullptr, 0);
    EXPECT_EQ(first.tryLock(), RunLock::Result::Taken);
    EXPECT_EQ(RunLock(app.path(), project).tryLock(), RunLock::Result::Busy);

    const QString longName(300, u'é');
    std::vector<std::unique_ptr<RunLock>> others; // all held together
    for (const QString &other : {project + u'x', longName + u'a', longName + u'b'}) {
        others.push_back(std::make_unique<RunLock>(app.path(), other));
        EXPECT_EQ(others.back()->tryLock(), RunLock::Result::Taken) << other.size();
    }
    RunLock nowhere(app("manquant/"), project);
    EXPECT_EQ(nowhere.tryLock(), RunLock::Result::Failed);
    EXPECT_EQ(nowhere.error(), ENOENT);
}

} // namespace
