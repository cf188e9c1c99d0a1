#include "safe_copy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

namespace {

// Closes a descriptor when it goes out of scope (unless released).
class Fd {
public:
    explicit Fd(int fd)
        : fd_(fd)
    {
    }
    ~Fd()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
    int get() const { return fd_; }
    // Closes now and reports the close's own error (a delayed write error shows here).
    int close()
    {
        const int rc = ::close(fd_);
        fd_ = -1;
        return rc;
    }

private:
    int fd_;
};

int copyByReadWrite(int in, int out)
{
    char buffer[128 * 1024];
    for (;;) {
        const ssize_t got = ::read(in, buffer, sizeof buffer);
        if (got == 0)
            return 0;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = ::write(out, buffer + done, std::size_t(got - done));
            if (put < 0 && errno != EINTR)
                return errno;
            if (put > 0)
                done += put;
        }
    }
}

// Copies size bytes (the origin's size when it was opened); stops early if the file shrank.
int copyData(int in, int out, off_t size)
{
    off_t done = 0;
    while (done < size) {
        const ssize_t copied
            = ::copy_file_range(in, nullptr, out, nullptr, std::size_t(size - done), 0);
        if (copied == 0)
            return 0;
        if (copied > 0) {
            done += copied;
            continue;
        }
        if (errno == EINTR)
            continue;
        // Not offered between these two file systems: copy the plain way.
        if (done == 0
            && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP))
            return copyByReadWrite(in, out);
        return errno;
    }
    return 0;
}

int openTemporary(int dir, const QByteArray &tmp)
{
    const int flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
    int fd = ::openat(dir, tmp.constData(), flags, 0600);
    if (fd < 0 && errno == EEXIST) {
        // Left by a run that was killed: it was never a finished copy.
        ::unlinkat(dir, tmp.constData(), 0);
        fd = ::openat(dir, tmp.constData(), flags, 0600);
    }
    return fd;
}

int writeTemporary(int in, const struct stat &origin, int dir, const QByteArray &tmp)
{
    Fd out(openTemporary(dir, tmp));
    if (out.get() < 0)
        return errno;
    if (const int err = copyData(in, out.get(), origin.st_size))
        return err;
    const struct timespec times[2] = {origin.st_atim, origin.st_mtim};
    if (::futimens(out.get(), times) != 0 || ::fchmod(out.get(), origin.st_mode & 07777) != 0)
        return errno;
    return out.close() == 0 ? 0 : errno;
}

// Opened without a name in the destination's folder, where the file system allows it.
int openUnnamed(int dir, const QByteArray &to)
{
    const qsizetype slash = to.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray(".") : to.left(slash + 1);
    return ::openat(dir, folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
}

// A new file is written without a name and linked under its name only once whole: nothing
// half-written ever carries the name, and a killed run leaves nothing behind. -1 when the file
// system offers no unnamed files (the caller then goes through a named temporary file).
int writeNew(int in, const struct stat &origin, int dir, const QByteArray &to)
{
    Fd out(openUnnamed(dir, to));
    if (out.get() < 0)
        return -1;
    if (const int err = copyData(in, out.get(), origin.st_size))
        return err;
    const struct timespec times[2] = {origin.st_atim, origin.st_mtim};
    if (::futimens(out.get(), times) != 0 || ::fchmod(out.get(), origin.st_mode & 07777) != 0)
        return errno;
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(out.get());
    if (::linkat(AT_FDCWD, self.constData(), dir, to.constData(), AT_SYMLINK_FOLLOW) != 0)
        return -1; // no /proc, or the name was taken meanwhile: the named way copes with both
    if (out.close() != 0) {
        const int err = errno;
        ::unlinkat(dir, to.constData(), 0);
        return err;
    }
    return 0;
}

} // namespace

QByteArray TemporaryCopyName(const QByteArray &to)
{
    const qsizetype slash = to.lastIndexOf('/');
    const QByteArray folder = to.left(slash + 1);
    QByteArray name = to.mid(slash + 1);
    const QByteArray suffix = ".tandrel-tmp";
    const qsizetype room = NAME_MAX - 1 - suffix.size();
    if (name.size() > room)
        name.truncate(room); // still unique enough: one run writes one file at a time
    return folder + '.' + name + suffix;
}

int SafeCopyAt(
    int fromDir, const QByteArray &fromName, int toDir, const QByteArray &toName, long existingMode)
{
    if (existingMode >= 0 && S_ISREG(mode_t(existingMode)) && (existingMode & 0222) == 0)
        return EACCES; // a read-only destination file is never replaced

    Fd in(::openat(fromDir, fromName.constData(), O_RDONLY | O_CLOEXEC));
    if (in.get() < 0)
        return errno;
    struct stat origin { };
    if (::fstat(in.get(), &origin) != 0)
        return errno;
    if (!S_ISREG(origin.st_mode))
        return EINVAL;

    if (existingMode < 0) {
        const int err = writeNew(in.get(), origin, toDir, toName);
        if (err >= 0)
            return err;
        if (::lseek(in.get(), 0, SEEK_SET) != 0)
            return errno;
    }
    const QByteArray tmp = TemporaryCopyName(toName);
    int err = writeTemporary(in.get(), origin, toDir, tmp);
    if (err == 0 && ::renameat(toDir, tmp.constData(), toDir, toName.constData()) != 0)
        err = errno;
    if (err != 0)
        ::unlinkat(toDir, tmp.constData(), 0);
    return err;
}

int SafeCopy(const QByteArray &from, const QByteArray &to)
{
    struct stat existing { };
    const long mode = ::stat(to.constData(), &existing) == 0 ? long(existing.st_mode) : -1;
    return SafeCopyAt(AT_FDCWD, from, AT_FDCWD, to, mode);
}
