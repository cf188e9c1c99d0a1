#include "file_probe.h"

#include <QList>

#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <utility>

namespace {

FileStat fromStat(int rc, const struct stat &st)
{
    FileStat result;
    if (rc != 0)
        return result;
    result.pathExists = true;
    result.exists = S_ISREG(st.st_mode);
    result.size = st.st_size;
    result.mtime = st.st_mtim.tv_sec;
    result.mode = st.st_mode;
    return result;
}

} // namespace

FileStat ProbeFile(const QByteArray &path)
{
    struct stat st { };
    return fromStat(::stat(path.constData(), &st), st);
}

FileStat ProbeFileAt(int folderFd, const char *name)
{
    if (folderFd < 0)
        return {};
    struct stat st { };
    return fromStat(::fstatat(folderFd, name, &st, 0), st);
}

bool ProbeFolder(const QByteArray &path)
{
    struct stat st { };
    return ::stat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode)
        && ::access(path.constData(), X_OK) == 0;
}

FolderHandle::FolderHandle(const QByteArray &path)
    : fd_(::open(path.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC))
{
}

FolderHandle::~FolderHandle()
{
    if (fd_ >= 0)
        ::close(fd_);
}

FolderHandle::FolderHandle(FolderHandle &&other) noexcept
    : fd_(std::exchange(other.fd_, -1))
{
}

FolderHandle &FolderHandle::operator=(FolderHandle &&other) noexcept
{
    if (this != &other) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

namespace {

// Opens the folder name inside parent without following a link; -1 (and why) when it fails.
int openChild(int parent, const QByteArray &name, bool create, BelowState &state)
{
    const int flags = O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
    int fd = ::openat(parent, name.constData(), flags);
    if (fd < 0 && errno == ENOENT && create && ::mkdirat(parent, name.constData(), 0777) == 0)
        fd = ::openat(parent, name.constData(), flags);
    if (fd >= 0) {
        state = BelowState::Open;
        return fd;
    }
    const int error = errno;
    struct stat st { };
    const bool linked = ::fstatat(parent, name.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0
        && S_ISLNK(st.st_mode);
    state = linked ? BelowState::Linked : BelowState::Missing;
    errno = error;
    return -1;
}

} // namespace

// The whole path in one call where the kernel offers it (the common case: the folder is
// there); -1 with errno ENOSYS where it does not.
int openBelowAtOnce(int root, QByteArrayView sub)
{
#ifdef SYS_openat2
    const QByteArray path = sub.isEmpty() ? QByteArray(".") : sub.toByteArray();
    struct open_how how { };
    how.flags = O_PATH | O_DIRECTORY | O_CLOEXEC;
    how.resolve = RESOLVE_NO_SYMLINKS | RESOLVE_BENEATH;
    return int(::syscall(SYS_openat2, root, path.constData(), &how, sizeof how));
#else
    errno = ENOSYS;
    return -1;
#endif
}

FolderHandle OpenBelow(int root, QByteArrayView sub, bool create, BelowState &state)
{
    if (!create) {
        const int fd = openBelowAtOnce(root, sub);
        state = BelowState::Open;
        if (fd >= 0)
            return FolderHandle(fd);
        state = errno == ELOOP ? BelowState::Linked : BelowState::Missing;
        if (errno == ELOOP || errno == ENOENT)
            return {};
    }
    // One folder at a time: to make the missing ones, or where the kernel is older.
    FolderHandle folder(::fcntl(root, F_DUPFD_CLOEXEC, 0));
    state = folder.isOpen() ? BelowState::Open : BelowState::Missing;
    for (const QByteArray &name : sub.toByteArray().split('/')) {
        if (!folder.isOpen())
            break;
        if (!name.isEmpty())
            folder = FolderHandle(openChild(folder.fd(), name, create, state));
    }
    return folder;
}
