// The least work a one-way copy of a tree can do, for bench/run.sh to measure Tandrel against:
//   limit stat SRC DST [THREADS]
//                         list SRC (readdir) and stat every file on both sides, nothing else;
//                         with THREADS, the stats are made by that many threads (each takes 16
//                         files of one folder at a time, opens that folder on both sides once,
//                         and stats by name), as Tandrel probes a slow file system
//   limit copy SRC DST    copy every file of SRC into DST: copy_file_range + futimens
//   limit verify SRC DST  check that DST holds every file of SRC with the same size and
//                         modification time, and no other file
// Plain POSIX on purpose: no Qt, no std::filesystem, one fstatat per file and side.
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/sendfile.h>
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

// copy_file_range, or sendfile between two file systems (a FUSE destination).
bool copyData(int from, int to, off_t size)
{
    bool sameFs = true;
    while (size > 0) {
        const auto chunk = static_cast<size_t>(size);
        ssize_t n = sameFs ? copy_file_range(from, nullptr, to, nullptr, chunk, 0) : -1;
        if (n < 0 && errno == EXDEV)
            sameFs = false;
        if (!sameFs)
            n = sendfile(to, from, nullptr, chunk);
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

// The files of a tree, as folder (relative, "" or ending with "/") and name, folders together.
struct FileList {
    std::vector<std::string> folders;
    std::vector<std::pair<std::size_t, std::string>> files;
};

void list(int dir, const std::string &folder, FileList &out)
{
    DIR *listing = fdopendir(dir);
    if (!listing)
        die("list", folder);
    const std::size_t index = out.folders.size();
    out.folders.push_back(folder);
    std::vector<std::string> subs;
    while (const dirent *entry = readdir(listing)) {
        if (entry->d_name[0] == '.')
            continue;
        if (entry->d_type == DT_DIR)
            subs.emplace_back(entry->d_name);
        else if (entry->d_type == DT_REG)
            out.files.emplace_back(index, entry->d_name);
    }
    for (const std::string &sub : subs) {
        const int subDir = openat(dirfd(listing), sub.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (subDir < 0)
            die("open", folder + sub);
        list(subDir, folder + sub + "/", out);
    }
    closedir(listing);
}

// Stats both sides of the files on threads; returns the files found on both sides.
long long statInParallel(int src, int dst, const FileList &tree, int threads)
{
    constexpr std::size_t chunk = 16;
    std::atomic<std::size_t> next {0};
    std::atomic<long long> found {0};
    const auto work = [&] {
        std::size_t openFolder = SIZE_MAX;
        int from = -1, to = -1;
        for (std::size_t first = next.fetch_add(chunk); first < tree.files.size();
             first = next.fetch_add(chunk)) {
            for (std::size_t i = first; i < std::min(first + chunk, tree.files.size()); ++i) {
                const auto &[folder, name] = tree.files[i];
                if (folder != openFolder) {
                    for (const int fd : {from, to})
                        if (fd >= 0)
                            close(fd);
                    const char *path
                        = tree.folders[folder].empty() ? "." : tree.folders[folder].c_str();
                    from = openat(src, path, O_PATH | O_DIRECTORY | O_CLOEXEC);
                    to = openat(dst, path, O_PATH | O_DIRECTORY | O_CLOEXEC);
                    openFolder = folder;
                }
                struct stat a {
                }, b {};
                if (fstatat(from, name.c_str(), &a, 0) == 0
                    && fstatat(to, name.c_str(), &b, 0) == 0)
                    ++found;
            }
        }
        for (const int fd : {from, to})
            if (fd >= 0)
                close(fd);
    };
    std::vector<std::thread> pool;
    for (int t = 0; t < threads; ++t)
        pool.emplace_back(work);
    for (std::thread &thread : pool)
        thread.join();
    return found;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 5 && std::string(argv[1]) == "stat") {
        const int src = open(argv[2], O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        const int dst = open(argv[3], O_PATH | O_DIRECTORY | O_CLOEXEC);
        if (src < 0 || dst < 0)
            die("open", argv[src < 0 ? 2 : 3]);
        FileList tree;
        list(dup(src), "", tree);
        const long long found = statInParallel(src, dst, tree, std::max(1, std::atoi(argv[4])));
        std::printf("%zu files, %lld on both sides\n", tree.files.size(), found);
        return 0;
    }
    if (argc != 4) {
        std::fprintf(stderr, "usage: limit stat SRC DST [THREADS] | copy|verify SRC DST\n");
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
