#include "safe_copy.h"

#include <QCryptographicHash>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <optional>

namespace {

// One call copies this much at first, so that a cancel is seen soon even on a slow device; the
// next calls copy twice as much each while calls come back quickly, so that a fast device is
// not held back by many calls.
constexpr off_t firstChunk = 4 * 1024 * 1024;
constexpr off_t largestChunk = 64 * 1024 * 1024; // a few seconds on a stick whose cache is full
constexpr std::chrono::milliseconds quickCall {50};
// A temporary file that no copy holds is abandoned once it has not changed for this long: a
// copy under way writes to it or holds its lock but for an instant after creating it and
// before renaming it.
constexpr double abandonedAfter = 2.0; // seconds
// Temporary names tried for one file when the first ones are held by copies under way.
constexpr int temporaryAttempts = 4;

// Closes a descriptor when it goes out of scope.
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

CopyResult refused(int err)
{
    return {CopyFault::Refused, err, 0};
}

bool cancelled(const std::atomic<bool> *cancel)
{
    return cancel && cancel->load(std::memory_order_relaxed);
}

// Asks for a large origin ahead of the copy: the device then has many reads in flight, where
// the kernel's own read-ahead keeps a window or two (a cold disk reads twice as fast). Small
// files are read ahead whole by the kernel anyway.
class ReadAhead {
public:
    ReadAhead(int fd, off_t size)
        : fd_(fd)
        , size_(size)
        , asked_(size > firstChunk ? 0 : size)
    {
    }
    // Asks for up to span bytes beyond done once less than half of that is asked for.
    void keep(off_t done, off_t span)
    {
        if (asked_ >= size_ || asked_ - done > span / 2)
            return;
        const off_t end = std::min(size_, done + span);
        ::posix_fadvise(fd_, asked_, end - asked_, POSIX_FADV_WILLNEED);
        asked_ = end;
    }

private:
    int fd_;
    off_t size_;
    off_t asked_;
};

int copyByReadWrite(int in, int out, ReadAhead &ahead, const std::atomic<bool> *cancel)
{
    char buffer[128 * 1024];
    off_t position = 0;
    for (int round = 1;; ++round) {
        if (round % 64 == 0 && cancelled(cancel))
            return ECANCELED;
        ahead.keep(position, 8 * firstChunk);
        const ssize_t got = ::read(in, buffer, sizeof buffer);
        if (got == 0)
            return 0;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        position += got;
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
int copyData(int in, int out, off_t size, const std::atomic<bool> *cancel)
{
    // Read ahead further than by default: the origin is read once, from start to end.
    ::posix_fadvise(in, 0, 0, POSIX_FADV_SEQUENTIAL);
    off_t done = 0;
    off_t chunk = firstChunk;
    ReadAhead ahead(in, size);
    while (done < size) {
        if (cancelled(cancel))
            return ECANCELED;
        // A chunk ahead of the one copied: a slow device keeps small chunks, so that the request
        // never holds a cancel back for long.
        ahead.keep(done, 2 * chunk);
        const auto start = std::chrono::steady_clock::now();
        const ssize_t copied = ::copy_file_range(
            in, nullptr, out, nullptr, std::size_t(std::min(size - done, chunk)), 0);
        if (copied == 0)
            return 0;
        if (copied > 0) {
            done += copied;
            if (copied == chunk && std::chrono::steady_clock::now() - start < quickCall)
                chunk = std::min(2 * chunk, largestChunk);
            continue;
        }
        if (errno == EINTR)
            continue;
        // Not offered between these two file systems: copy the plain way.
        if (done == 0
            && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP))
            return copyByReadWrite(in, out, ahead, cancel);
        return errno;
    }
    return 0;
}

bool sameTime(const struct timespec &a, const struct timespec &b)
{
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

// A copy only stands when the origin did not change while it was read.
bool unchanged(int in, const struct stat &before)
{
    struct stat after { };
    return ::fstat(in, &after) == 0 && after.st_size == before.st_size
        && sameTime(after.st_mtim, before.st_mtim) && sameTime(after.st_ctim, before.st_ctim);
}

// Whether a copy kept the origin's time, as the destination compares times.
bool timeHeld(int rc, const struct stat &kept, const struct stat &origin, const TimeRule &rule)
{
    return rc == 0 && CompareTimes(origin.st_mtim.tv_sec, kept.st_mtim.tv_sec, rule, true) == 0;
}

// Sets the origin's time on out; false when the destination refused it or keeps another one.
bool setTime(int out, const struct stat &origin, const TimeRule *checkTimes)
{
    const struct timespec times[2] = {origin.st_atim, origin.st_mtim};
    if (::futimens(out, times) != 0)
        return false;
    struct stat kept { };
    return !checkTimes || timeHeld(::fstat(out, &kept), kept, origin, *checkTimes);
}

// The same by name, once the copy has its name: some drivers (fusefat) give a file they rename
// the time of the rename.
bool setTimeAt(int dir, const QByteArray &to, const struct stat &origin, const TimeRule &rule)
{
    const struct timespec times[2] = {origin.st_atim, origin.st_mtim};
    struct stat kept { };
    return ::utimensat(dir, to.constData(), times, AT_SYMLINK_NOFOLLOW) == 0
        && timeHeld(::fstatat(dir, to.constData(), &kept, AT_SYMLINK_NOFOLLOW), kept, origin, rule);
}

// Writes the origin's data, time and permission bits into out.
CopyResult fill(int in, const struct stat &origin, int out, const std::atomic<bool> *cancel,
    const TimeRule *checkTimes)
{
    if (const int err = copyData(in, out, origin.st_size, cancel))
        return err == ECANCELED ? CopyResult {CopyFault::Cancelled} : refused(err);
    if (!unchanged(in, origin))
        return {CopyFault::OriginChanged};
    CopyResult result {CopyFault::None, 0, origin.st_size};
    result.timeKept = setTime(out, origin, checkTimes);
    // Set-user-ID and set-group-ID bits would hand the copy's new owner's rights to its user.
    // Best effort: FAT, exFAT and many shares hold no permission bits and refuse them.
    ::fchmod(out, origin.st_mode & 01777);
    return result;
}

double secondsSince(const struct timespec &then)
{
    struct timespec now { };
    ::clock_gettime(CLOCK_REALTIME, &now);
    return double(now.tv_sec - then.tv_sec) + double(now.tv_nsec - then.tv_nsec) / 1e9;
}

// Removes the temporary file tmp when it was left by a copy that no longer runs (a killed run):
// no copy holds its lock, and it has not changed for a while, which also covers the moment
// between a file's creation and its locking and file systems without locks.
bool removeAbandoned(int dir, const char *tmp)
{
    const Fd fd(::openat(dir, tmp, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat st { };
    if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode))
        return false; // not a file of ours
    if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK)
        return false; // a copy under way holds it
    if (secondsSince(st.st_ctim) < abandonedAfter)
        return false;
    struct stat named { };
    if (::fstatat(dir, tmp, &named, AT_SYMLINK_NOFOLLOW) != 0 || named.st_ino != st.st_ino
        || named.st_dev != st.st_dev)
        return false; // replaced meanwhile
    return ::unlinkat(dir, tmp, 0) == 0;
}

// Creates the hidden temporary file beside to, locked until it is closed so that no other run
// takes it for abandoned. Names held by copies under way are passed over.
int createTemporary(int dir, const QByteArray &to, QByteArray &tmp)
{
    const int flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
    for (int attempt = 0; attempt < temporaryAttempts; ++attempt) {
        tmp = TemporaryCopyName(to, attempt);
        int fd = ::openat(dir, tmp.constData(), flags, 0600);
        if (fd < 0 && errno == EEXIST) {
            if (!removeAbandoned(dir, tmp.constData()))
                continue; // in use
            fd = ::openat(dir, tmp.constData(), flags, 0600);
        }
        if (fd >= 0)
            ::flock(fd, LOCK_EX | LOCK_NB); // without locks, the file's age alone tells
        return fd;
    }
    errno = EBUSY;
    return -1;
}

CopyResult writeReplacing(int in, const struct stat &origin, int dir, const QByteArray &to,
    const std::atomic<bool> *cancel, const TimeRule *checkTimes, const KeepOld *keepOld)
{
    QByteArray tmp;
    Fd out(createTemporary(dir, to, tmp));
    if (out.get() < 0)
        return refused(errno);
    CopyResult result = fill(in, origin, out.get(), cancel, checkTimes);
    if (result.ok() && out.close() != 0)
        result = refused(errno);
    if (result.ok() && keepOld)
        if (const int err = keepOld->versions->keep(dir, to, keepOld->path))
            result = {CopyFault::VersionNotKept, err};
    if (result.ok() && ::renameat(dir, tmp.constData(), dir, to.constData()) != 0)
        result = refused(errno);
    if (!result.ok())
        ::unlinkat(dir, tmp.constData(), 0);
    else if (checkTimes)
        result.timeKept = setTimeAt(dir, to, origin, *checkTimes);
    return result;
}

// Opened without a name in the destination's folder, where the file system allows it.
int openUnnamed(int dir, const QByteArray &to)
{
    const qsizetype slash = to.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray(".") : to.left(slash + 1);
    return ::openat(dir, folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
}

// A new file is written without a name and linked under its name only once whole: nothing
// half-written ever carries the name, and a killed run leaves nothing behind. Nothing when the
// file system offers no unnamed files (the caller then goes through a named temporary file).
std::optional<CopyResult> writeNew(int in, const struct stat &origin, int dir, const QByteArray &to,
    const std::atomic<bool> *cancel, const TimeRule *checkTimes)
{
    Fd out(openUnnamed(dir, to));
    if (out.get() < 0)
        return std::nullopt;
    const CopyResult result = fill(in, origin, out.get(), cancel, checkTimes);
    if (!result.ok())
        return result;
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(out.get());
    if (::linkat(AT_FDCWD, self.constData(), dir, to.constData(), AT_SYMLINK_FOLLOW) != 0)
        return std::nullopt; // no /proc, or the name was taken meanwhile: the named way copes
    if (out.close() != 0) {
        const int err = errno;
        ::unlinkat(dir, to.constData(), 0);
        return refused(err);
    }
    return result;
}

// unnamed: the file is new, and may be written without a name first.
CopyResult copyOnce(int fromDir, const QByteArray &fromName, int toDir, const QByteArray &toName,
    bool unnamed, const std::atomic<bool> *cancel, const TimeRule *checkTimes,
    const KeepOld *keepOld)
{
    // Opened without waiting: a pipe or a device put in the file's place must not hold the run.
    Fd in(::openat(fromDir, fromName.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (in.get() < 0 && errno == ENOENT)
        return {CopyFault::OriginGone, ENOENT};
    if (in.get() < 0)
        return errno == ENXIO ? CopyResult {CopyFault::NotAFile, ENXIO} : refused(errno);
    struct stat origin { };
    if (::fstat(in.get(), &origin) != 0)
        return refused(errno);
    if (!S_ISREG(origin.st_mode))
        return {CopyFault::NotAFile};
    if (unnamed) {
        if (std::optional<CopyResult> result
            = writeNew(in.get(), origin, toDir, toName, cancel, checkTimes))
            return *result;
        if (::lseek(in.get(), 0, SEEK_SET) != 0)
            return refused(errno);
    }
    return writeReplacing(in.get(), origin, toDir, toName, cancel, checkTimes, keepOld);
}

} // namespace

QByteArray TemporaryCopyName(const QByteArray &to, int attempt)
{
    const qsizetype slash = to.lastIndexOf('/');
    QByteArray name = to.mid(slash + 1);
    QByteArray tag = attempt > 0 ? '.' + QByteArray::number(attempt) : QByteArray();
    tag += ".tandrel-tmp";
    if (1 + name.size() + tag.size() > NAME_MAX) {
        // Cut, with a hash of the whole name, so that two long names alike at first stay apart.
        tag = '.' + QCryptographicHash::hash(name, QCryptographicHash::Md5).toHex().left(16) + tag;
        name.truncate(NAME_MAX - 1 - tag.size());
        while (!name.isEmpty() && (uchar(name.back()) & 0xC0) == 0x80)
            name.chop(1); // whole characters only
        if (!name.isEmpty() && uchar(name.back()) >= 0xC0)
            name.chop(1);
    }
    return to.left(slash + 1) + '.' + name + tag;
}

CopyResult SafeCopyAt(int fromDir, const QByteArray &fromName, int toDir, const QByteArray &toName,
    long existingMode, const std::atomic<bool> *cancel, const DestinationVolume *volume,
    const KeepOld *keepOld)
{
    if (existingMode >= 0 && S_ISREG(mode_t(existingMode)) && (existingMode & 0222) == 0)
        return refused(EACCES); // a read-only destination file is never replaced
    const bool isNew = existingMode < 0;
    if (isNew)
        keepOld = nullptr; // nothing to keep
    // Shares and FUSE drivers offer no unnamed files, and refusing one costs round trips.
    const bool unnamed = isNew && !(volume && volume->slow);
    const TimeRule *checkTimes = volume ? volume->timeCheck() : nullptr;
    CopyResult result
        = copyOnce(fromDir, fromName, toDir, toName, unnamed, cancel, checkTimes, keepOld);
    if (result.fault == CopyFault::OriginChanged) // once more: it may have been a last save
        result = copyOnce(fromDir, fromName, toDir, toName, unnamed, cancel, checkTimes, keepOld);
    return result;
}

CopyResult SafeCopy(const QByteArray &from, const QByteArray &to)
{
    struct stat existing { };
    const long mode = ::stat(to.constData(), &existing) == 0 ? long(existing.st_mode) : -1;
    return SafeCopyAt(AT_FDCWD, from, AT_FDCWD, to, mode);
}
