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

int copyData(int in, int out)
{
    bool first = true;
    for (;;) {
        const ssize_t copied = ::copy_file_range(in, nullptr, out, nullptr, 1 << 30, 0);
        if (copied == 0)
            return 0;
        if (copied > 0) {
            first = false;
            continue;
        }
        if (errno == EINTR)
            continue;
        // Not offered between these two file systems: copy the plain way.
        if (first && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP))
            return copyByReadWrite(in, out);
        return errno;
    }
}

int openTemporary(const QByteArray &tmp)
{
    const int flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
    int fd = ::open(tmp.constData(), flags, 0600);
    if (fd < 0 && errno == EEXIST) {
        // Left by a run that was killed: it was never a finished copy.
        ::unlink(tmp.constData());
        fd = ::open(tmp.constData(), flags, 0600);
    }
    return fd;
}

int writeTemporary(int in, const struct stat &origin, const QByteArray &tmp)
{
    Fd out(openTemporary(tmp));
    if (out.get() < 0)
        return errno;
    if (const int err = copyData(in, out.get()))
        return err;
    const struct timespec times[2] = {origin.st_atim, origin.st_mtim};
    if (::futimens(out.get(), times) != 0 || ::fchmod(out.get(), origin.st_mode & 07777) != 0)
        return errno;
    return out.close() == 0 ? 0 : errno;
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

int SafeCopy(const QByteArray &from, const QByteArray &to)
{
    struct stat existing { };
    if (::stat(to.constData(), &existing) == 0 && S_ISREG(existing.st_mode)
        && (existing.st_mode & 0222) == 0)
        return EACCES; // a read-only destination file is never replaced

    Fd in(::open(from.constData(), O_RDONLY | O_CLOEXEC));
    if (in.get() < 0)
        return errno;
    struct stat origin { };
    if (::fstat(in.get(), &origin) != 0)
        return errno;
    if (!S_ISREG(origin.st_mode))
        return EINVAL;

    const QByteArray tmp = TemporaryCopyName(to);
    int err = writeTemporary(in.get(), origin, tmp);
    if (err == 0 && ::rename(tmp.constData(), to.constData()) != 0)
        err = errno;
    if (err != 0)
        ::unlink(tmp.constData());
    return err;
}
