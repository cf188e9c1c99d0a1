// A slow file system for benchmarks: a FUSE pass-through over a local folder that waits a set
// time in each metadata call (lookup and getattr, readdir, create, mkdir, rename, unlink,
// setattr), and optionally in each read and write, as a share on a NAS answers. The kernel
// caches nothing (attributes, names, missing names), so every call pays the delay; calls are
// served by many threads, so that a client with calls in flight sees them overlap, as on a
// real network.
//
//   slowfs [-m MS] [-i MS] [-p PREFIX] BACKING MOUNTPOINT [FUSE options, e.g. -f to stay in the
//          foreground]
//     -m MS      delay of each metadata call, in milliseconds (default 1)
//     -i MS      delay of each read and write, in milliseconds (default 0)
//     -p PREFIX  delays only the calls on paths that start with PREFIX ("/slow" for the folder
//                slow at the top and all below it; also "/slowly", so end it with "/" for the
//                folder's content only): a share where only some folders answer late
//   fusermount3 -u MOUNTPOINT   unmounts it
#define FUSE_USE_VERSION 31

#include <fuse.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

struct Settings {
    int backing = -1; // the folder served, opened once
    std::chrono::microseconds metadata {1000};
    std::chrono::microseconds io {0};
    std::string prefix; // the paths that answer late; all when empty
};

Settings settings;

bool slowPath(const char *path)
{
    return settings.prefix.empty() || (path && std::strncmp(path, settings.prefix.c_str(),
                                                    settings.prefix.size()) == 0);
}

void waitMetadata(const char *path)
{
    if (slowPath(path))
        std::this_thread::sleep_for(settings.metadata);
}

void waitIo(const char *path)
{
    if (slowPath(path))
        std::this_thread::sleep_for(settings.io);
}

// Paths come absolute ("/a/b"); the backing folder's descriptor takes them relative.
const char *relative(const char *path)
{
    return path[1] == '\0' ? "." : path + 1;
}

int result(int rc)
{
    return rc < 0 ? -errno : rc;
}

// The calls the kernel makes, one function each.
namespace fs {

void *init(fuse_conn_info *, fuse_config *config)
{
    config->use_ino = 1;
    config->attr_timeout = 0;
    config->entry_timeout = 0;
    config->negative_timeout = 0;
    config->direct_io = 0;
    return nullptr;
}

int getattr(const char *path, struct stat *st, fuse_file_info *file)
{
    waitMetadata(path);
    if (file)
        return result(fstat(int(file->fh), st));
    return result(fstatat(settings.backing, relative(path), st, AT_SYMLINK_NOFOLLOW));
}

int readdir(const char *path, void *buffer, fuse_fill_dir_t fill, off_t, fuse_file_info *,
    fuse_readdir_flags)
{
    waitMetadata(path);
    const int fd = openat(settings.backing, relative(path), O_RDONLY | O_DIRECTORY);
    if (fd < 0)
        return -errno;
    DIR *dir = fdopendir(fd);
    if (!dir) {
        close(fd);
        return -errno;
    }
    while (const dirent *entry = ::readdir(dir)) {
        struct stat st { };
        st.st_ino = entry->d_ino;
        st.st_mode = mode_t(DTTOIF(entry->d_type));
        if (fill(buffer, entry->d_name, &st, 0, fuse_fill_dir_flags(0)))
            break;
    }
    closedir(dir);
    return 0;
}

int open(const char *path, fuse_file_info *file)
{
    const int fd = openat(settings.backing, relative(path), file->flags & ~O_NOFOLLOW);
    if (fd < 0)
        return -errno;
    file->fh = uint64_t(fd);
    return 0;
}

int create(const char *path, mode_t mode, fuse_file_info *file)
{
    waitMetadata(path);
    const int fd = openat(settings.backing, relative(path), file->flags | O_CREAT, mode);
    if (fd < 0)
        return -errno;
    file->fh = uint64_t(fd);
    return 0;
}

int read(const char *path, char *buffer, size_t size, off_t offset, fuse_file_info *file)
{
    waitIo(path);
    return result(int(pread(int(file->fh), buffer, size, offset)));
}

int write(const char *path, const char *buffer, size_t size, off_t offset, fuse_file_info *file)
{
    waitIo(path);
    return result(int(pwrite(int(file->fh), buffer, size, offset)));
}

int release(const char *, fuse_file_info *file)
{
    close(int(file->fh));
    return 0;
}

int fsync(const char *, int, fuse_file_info *file)
{
    return result(::fsync(int(file->fh)));
}

int mkdir(const char *path, mode_t mode)
{
    waitMetadata(path);
    return result(mkdirat(settings.backing, relative(path), mode));
}

int unlink(const char *path)
{
    waitMetadata(path);
    return result(unlinkat(settings.backing, relative(path), 0));
}

int rmdir(const char *path)
{
    waitMetadata(path);
    return result(unlinkat(settings.backing, relative(path), AT_REMOVEDIR));
}

int rename(const char *from, const char *to, unsigned int flags)
{
    waitMetadata(to);
    if (flags != 0)
        return -EINVAL;
    return result(renameat(settings.backing, relative(from), settings.backing, relative(to)));
}

int link(const char *from, const char *to)
{
    waitMetadata(to);
    return result(linkat(settings.backing, relative(from), settings.backing, relative(to), 0));
}

int symlink(const char *target, const char *path)
{
    waitMetadata(path);
    return result(symlinkat(target, settings.backing, relative(path)));
}

int readlink(const char *path, char *buffer, size_t size)
{
    const ssize_t n = readlinkat(settings.backing, relative(path), buffer, size - 1);
    if (n < 0)
        return -errno;
    buffer[n] = '\0';
    return 0;
}

int chmod(const char *path, mode_t mode, fuse_file_info *file)
{
    waitMetadata(path);
    if (file)
        return result(fchmod(int(file->fh), mode));
    return result(fchmodat(settings.backing, relative(path), mode, 0));
}

int truncate(const char *path, off_t size, fuse_file_info *file)
{
    waitMetadata(path);
    if (file)
        return result(ftruncate(int(file->fh), size));
    const int fd = openat(settings.backing, relative(path), O_WRONLY);
    if (fd < 0)
        return -errno;
    const int rc = result(ftruncate(fd, size));
    close(fd);
    return rc;
}

int utimens(const char *path, const struct timespec times[2], fuse_file_info *file)
{
    waitMetadata(path);
    if (file)
        return result(futimens(int(file->fh), times));
    return result(utimensat(settings.backing, relative(path), times, AT_SYMLINK_NOFOLLOW));
}

int statfs(const char *, struct statvfs *st)
{
    return result(fstatvfs(settings.backing, st));
}

} // namespace fs

[[noreturn]] void usage()
{
    std::fprintf(
        stderr, "usage: slowfs [-m MS] [-i MS] [-p PREFIX] BACKING MOUNTPOINT [FUSE options]\n");
    std::exit(2);
}

} // namespace

int main(int argc, char **argv)
{
    int i = 1;
    for (; i + 1 < argc && argv[i][0] == '-' && argv[i][2] == '\0'; i += 2) {
        const std::chrono::microseconds delay(std::atol(argv[i + 1]) * 1000);
        if (argv[i][1] == 'p')
            settings.prefix = argv[i + 1];
        else if (argv[i][1] == 'm')
            settings.metadata = delay;
        else if (argv[i][1] == 'i')
            settings.io = delay;
        else
            usage();
    }
    if (argc - i < 2)
        usage();
    settings.backing = ::open(argv[i], O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (settings.backing < 0) {
        std::perror(argv[i]);
        return 2;
    }
    fuse_operations operations {};
    operations.init = fs::init;
    operations.getattr = fs::getattr;
    operations.readdir = fs::readdir;
    operations.open = fs::open;
    operations.create = fs::create;
    operations.read = fs::read;
    operations.write = fs::write;
    operations.release = fs::release;
    operations.fsync = fs::fsync;
    operations.mkdir = fs::mkdir;
    operations.unlink = fs::unlink;
    operations.rmdir = fs::rmdir;
    operations.rename = fs::rename;
    operations.link = fs::link;
    operations.symlink = fs::symlink;
    operations.readlink = fs::readlink;
    operations.chmod = fs::chmod;
    operations.truncate = fs::truncate;
    operations.utimens = fs::utimens;
    operations.statfs = fs::statfs;
    // The program's name, the mount point and the FUSE options; the backing folder is ours.
    std::vector<char *> fuseArgs {argv[0]};
    for (int k = i + 1; k < argc; ++k)
        fuseArgs.push_back(argv[k]);
    fuseArgs.push_back(const_cast<char *>("-o"));
    fuseArgs.push_back(const_cast<char *>("allow_other,default_permissions"));
    return fuse_main(int(fuseArgs.size()), fuseArgs.data(), &operations, nullptr);
}
