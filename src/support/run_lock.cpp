#include "run_lock.h"

#include "unit_escape.h"

#include <QCryptographicHash>
#include <QFile>

#include <cerrno>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

// Room for ".lock" in a file name of at most 255 bytes.
constexpr qsizetype longestEscapedName = 250;

// Checked this often while waiting: a wait must end soon after the other run or a Ctrl+C.
constexpr std::chrono::milliseconds pollInterval {100};

QString lockFileName(const QString &projectName)
{
    QString name = SystemdEscape(projectName);
    // A very long name keeps a readable start, made unique by its digest.
    if (name.size() > longestEscapedName)
        name = name.left(longestEscapedName - 41) + u'-'
            + QString::fromLatin1(
                QCryptographicHash::hash(projectName.toUtf8(), QCryptographicHash::Sha1).toHex());
    return name + QStringLiteral(".lock");
}

} // namespace

RunLock::RunLock(const QString &appDir, const QString &projectName)
    : path_(appDir + lockFileName(projectName))
{
}

RunLock::~RunLock()
{
    if (fd_ >= 0)
        ::close(fd_); // closing the only descriptor releases the flock
}

RunLock::Result RunLock::attempt()
{
    if (fd_ < 0) {
        fd_ = ::open(QFile::encodeName(path_).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (fd_ < 0) {
            error_ = errno;
            return Result::Failed;
        }
    }
    if (::flock(fd_, LOCK_EX | LOCK_NB) == 0)
        return Result::Taken;
    if (errno == EWOULDBLOCK || errno == EINTR)
        return Result::Busy;
    error_ = errno;
    return Result::Failed;
}

RunLock::Result RunLock::tryLock()
{
    return attempt();
}

RunLock::Result RunLock::lock(const std::atomic<bool> &cancel)
{
    for (;;) {
        const Result result = attempt();
        if (result != Result::Busy)
            return result;
        if (cancel.load())
            return Result::Cancelled;
        std::this_thread::sleep_for(pollInterval);
    }
}
