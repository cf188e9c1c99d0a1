#include "kept_versions.h"

#include "file_probe.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>

#include <cerrno>

namespace {

const char versionsFolder[] = ".tandrel-versions";
// Runs of one destination in one second: more is a fault of its own.
constexpr int maxSuffix = 99;

// Opens the folder name in parent, made when missing, never through a link; -1 and errno.
int openFolder(int parent, const char *name)
{
    const int flags = O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
    int fd = ::openat(parent, name, flags);
    if (fd < 0 && errno == ENOENT) {
        if (::mkdirat(parent, name, 0777) != 0 && errno != EEXIST)
            return -1;
        fd = ::openat(parent, name, flags);
    }
    struct stat st { };
    if (fd < 0 && errno == ENOTDIR && ::fstatat(parent, name, &st, AT_SYMLINK_NOFOLLOW) == 0
        && S_ISLNK(st.st_mode))
        errno = ELOOP;
    return fd;
}

// Moves name from one folder to another without replacing anything there.
int moveNoReplace(int fromDir, const char *from, int toDir, const char *to)
{
    if (::renameat2(fromDir, from, toDir, to, RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    // Some file systems (FUSE drivers among them) know no flags: look first.
    struct stat st { };
    if (::fstatat(toDir, to, &st, AT_SYMLINK_NOFOLLOW) == 0)
        return EEXIST;
    return ::renameat(fromDir, from, toDir, to) == 0 ? 0 : errno;
}

} // namespace

KeptVersions::KeptVersions(const QByteArray &destination, const QDateTime &runStart)
    : destination_(destination)
    , stamp_(runStart.toString(QStringLiteral("yyyy-MM-dd_HHmmss")).toLatin1())
{
}

KeptVersions::~KeptVersions() = default;

// The stamp folder, made exclusively under the versions folder; -1 and errno.
int KeptVersions::openStampFolder()
{
    const FolderHandle root(destination_); // the user's choice: may be a link
    const FolderHandle versions(root.isOpen() ? openFolder(root.fd(), versionsFolder) : -1);
    if (!versions.isOpen())
        return -1;
    for (int n = 1; n <= maxSuffix; ++n) {
        const QByteArray name = n == 1 ? stamp_ : stamp_ + '_' + QByteArray::number(n);
        if (::mkdirat(versions.fd(), name.constData(), 0777) == 0) {
            stampName_ = name;
            return openFolder(versions.fd(), name.constData());
        }
        if (errno != EEXIST)
            return -1;
    }
    errno = EEXIST;
    return -1;
}

std::shared_ptr<const FolderHandle> KeptVersions::folderFor(QByteArrayView sub, int &error)
{
    std::lock_guard lock(mutex_);
    if (lastFolder_ && lastSub_ == sub)
        return lastFolder_;
    if (!stampFolder_) {
        FolderHandle made(openStampFolder());
        if (!made.isOpen()) {
            error = errno;
            return nullptr;
        }
        stampFolder_ = std::make_unique<FolderHandle>(std::move(made));
    }
    FolderHandle folder(::fcntl(stampFolder_->fd(), F_DUPFD_CLOEXEC, 0));
    for (const QByteArray &part : sub.toByteArray().split('/')) {
        if (folder.isOpen() && !part.isEmpty())
            folder = FolderHandle(openFolder(folder.fd(), part.constData()));
    }
    if (!folder.isOpen()) {
        error = errno;
        return nullptr;
    }
    lastSub_ = sub.toByteArray();
    lastFolder_ = std::make_shared<const FolderHandle>(std::move(folder));
    return lastFolder_;
}

int KeptVersions::keep(int dir, const QByteArray &name, QByteArrayView path)
{
    int error = 0;
    const std::shared_ptr<const FolderHandle> folder
        = folderFor(path.first(path.lastIndexOf('/') + 1), error);
    if (!folder)
        return error;
    error = moveNoReplace(dir, name.constData(), folder->fd(), name.constData());
    if (error == ENOENT)
        return 0; // gone meanwhile: nothing to keep
    if (error == 0) {
        std::lock_guard lock(mutex_);
        kept_ = true;
    }
    return error;
}

QByteArray KeptVersions::keptIn() const
{
    std::lock_guard lock(mutex_);
    return kept_ ? QByteArray(versionsFolder) + '/' + stampName_ + '/' : QByteArray();
}
