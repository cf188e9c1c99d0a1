// The least work a one-way copy of a tree can do, for bench/run.sh to measure Tandrel against:
//   limit stat SRC DST    list SRC (readdir) and stat every file on both sides, nothing else
//   limit copy SRC DST    copy every file of SRC into DST: copy_file_range + futimens
//   limit verify SRC DST  check that DST holds every file of SRC with the same size and
//                         modification time, and no other file
// Plain POSIX on purpose: no Qt, no std::filesystem, one fstatat per file and side.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

enum class Mode { Stat, Copy, Verify };

struct Totals {
    long long files = 0;
    long long bytes = 0;
    long long differences = 0; // verify: missing or different files
    long long destinationFiles = 0;
};

[[noreturn]] void die(const char *what, const std::string &path)
{
    std::fprintf(stderr, "limit: %s %s: %s\n", what, path.c_str(), std::strerror(errno));
    std::exit(2);
}

bool copyData(int from, int to, off_t size)
{
    while (size > 0) {
        const ssize_t n = copy_file_range(from, nullptr, to, nullptr, static_cast<size_t>(size), 0);
        if (n <= 0)
            return false;
        size -= n;
    }
    return true;
}

void copyFile(
    int srcDir, int dstDir, const char *name, const struct stat &source, const std::string &path)
{
    const int from = openat(srcDir, name, O_RDONLY | O_CLOEXEC);
    if (from < 0)
        die("open", path);
    const int to = openat(dstDir, name, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (to < 0)
        die("create", path);
    if (!copyData(from, to, source.st_size))
        die("copy", path);
    const struct timespec times[2] = {source.st_atim, source.st_mtim};
    if (futimens(to, times) != 0)
        die("futimens", path);
    if (close(to) != 0)
        die("close", path);
    close(from);
}

// Counts the regular files of a destination folder (verify: an extra file is a difference).
long long countFiles(int dir)
{
    const int fd = dup(dir);
    DIR *listing = fdopendir(fd);
    long long count = 0;
    while (const dirent *entry = readdir(listing)) {
        if (entry->d_type == DT_REG)
            ++count;
    }
    closedir(listing);
    return count;
}

void walk(Mode mode, int srcDir, int dstDir, const std::string &path, Totals &totals)
{
    DIR *listing = fdopendir(srcDir);
    if (!listing)
        die("list", path);
    if (mode == Mode::Verify && dstDir >= 0)
        totals.destinationFiles += countFiles(dstDir);
    while (const dirent *entry = readdir(listing)) {
        const char *name = entry->d_name;
        if (name[0] == '.')
            continue; // ".", "..", and hidden files, which Tandrel leaves alone too
        if (entry->d_type == DT_DIR) {
            const int subSrc = openat(srcDir, name, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            if (subSrc < 0)
                die("open", path + name);
            if (mode == Mode::Copy && mkdirat(dstDir, name, 0755) != 0 && errno != EEXIST)
                die("mkdir", path + name);
            const int subDst
                = dstDir < 0 ? -1 : openat(dstDir, name, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            walk(mode, subSrc, subDst, path + name + "/", totals);
            if (subDst >= 0)
                close(subDst);
            continue;
        }
        if (entry->d_type != DT_REG)
            continue;
        struct stat source { };
        if (fstatat(srcDir, name, &source, AT_SYMLINK_NOFOLLOW) != 0)
            die("stat", path + name);
        ++totals.files;
        totals.bytes += source.st_size;
        if (mode == Mode::Copy) {
            copyFile(srcDir, dstDir, name, source, path + name);
            continue;
        }
        struct stat destination { };
        const bool found
            = dstDir >= 0 && fstatat(dstDir, name, &destination, AT_SYMLINK_NOFOLLOW) == 0;
        if (mode == Mode::Verify) {
            const bool same = found && S_ISREG(destination.st_mode)
                && destination.st_size == source.st_size
                && destination.st_mtim.tv_sec == source.st_mtim.tv_sec
                && destination.st_mtim.tv_nsec == source.st_mtim.tv_nsec;
            if (!same && totals.differences++ < 5)
                std::fprintf(stderr, "limit: %s %s\n",
                    found ? "different:" : "missing:", (path + name).c_str());
        }
    }
    closedir(listing); // also closes srcDir
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: limit stat|copy|verify SRC DST\n");
        return 2;
    }
    const std::string command = argv[1];
    Mode mode = Mode::Stat;
    if (command == "copy")
        mode = Mode::Copy;
    else if (command == "verify")
        mode = Mode::Verify;
    else if (command != "stat")
        return 2;

    const int src = open(argv[2], O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (src < 0)
        die("open", argv[2]);
    if (mode == Mode::Copy && mkdir(argv[3], 0755) != 0 && errno != EEXIST)
        die("mkdir", argv[3]);
    const int dst = open(argv[3], O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dst < 0 && mode != Mode::Stat)
        die("open", argv[3]);

    Totals totals;
    walk(mode, src, dst, std::string(argv[2]) + "/", totals);
    if (mode == Mode::Verify) {
        if (totals.destinationFiles != totals.files) {
            std::fprintf(stderr, "limit: %lld files in the destination, %lld in the origin\n",
                totals.destinationFiles, totals.files);
            ++totals.differences;
        }
        std::printf("%lld files, %lld bytes, %lld differences\n", totals.files, totals.bytes,
            totals.differences);
        return totals.differences == 0 ? 0 : 1;
    }
    return 0;
}
