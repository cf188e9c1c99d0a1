#include "file_probe.h"

#include <fcntl.h>
#include <sys/stat.h>
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
