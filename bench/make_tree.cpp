// Makes the benchmark's origin trees quickly:
//   make_tree tree DIR FILES [MAX_BYTES]
//                              FILES files of 1 to 64 KiB (or of 0 to MAX_BYTES bytes) in 1,000
//                              folders three levels deep (10 x 10 x 10), about 1 GB for 30,000
//                              files
//   make_tree file PATH MIB    one file of MIB mebibytes
// Contents differ from file to file (slices of a pseudo-random block) and are reproducible.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::uint64_t state = 0x9E3779B97F4A7C15ULL;

std::uint64_t next()
{
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return state;
}

[[noreturn]] void die(const char *what, const std::string &path)
{
    std::perror((std::string("make_tree: ") + what + " " + path).c_str());
    std::exit(2);
}

void writeAll(int fd, const char *data, size_t size, const std::string &path)
{
    while (size > 0) {
        const ssize_t n = write(fd, data, size);
        if (n <= 0)
            die("write", path);
        data += n;
        size -= static_cast<size_t>(n);
    }
}

void makeDir(const std::string &path)
{
    if (mkdir(path.c_str(), 0755) != 0)
        die("mkdir", path);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 4 || argc > 5
        || (std::strcmp(argv[1], "tree") != 0 && std::strcmp(argv[1], "file") != 0)) {
        std::fprintf(
            stderr, "usage: make_tree tree DIR FILES [MAX_BYTES] | make_tree file PATH MIB\n");
        return 2;
    }
    const long count = std::atol(argv[3]);
    const size_t maxBytes = argc == 5 ? size_t(std::atol(argv[4])) : 0;
    std::vector<char> block(2 << 20);
    for (size_t i = 0; i + 8 <= block.size(); i += 8) {
        const std::uint64_t value = next();
        std::memcpy(block.data() + i, &value, 8);
    }

    if (std::strcmp(argv[1], "file") == 0) {
        const std::string path = argv[2];
        const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0)
            die("create", path);
        for (long i = 0; i < count; ++i) {
            block[static_cast<size_t>(i) % block.size()] ^= 1; // no two mebibytes alike
            writeAll(fd, block.data(), 1 << 20, path);
        }
        if (close(fd) != 0)
            die("close", path);
        return 0;
    }

    const std::string root = argv[2];
    makeDir(root);
    std::vector<std::string> leaves;
    for (int a = 0; a < 10; ++a) {
        const std::string first = root + "/Dossier " + std::to_string(a);
        makeDir(first);
        for (int b = 0; b < 10; ++b) {
            const std::string second = first + "/sous" + std::to_string(b);
            makeDir(second);
            for (int c = 0; c < 10; ++c) {
                leaves.push_back(second + "/Niveau_" + std::to_string(c));
                makeDir(leaves.back());
            }
        }
    }
    for (long i = 0; i < count; ++i) {
        const std::string &folder = leaves[static_cast<size_t>(i) % leaves.size()];
        char name[32];
        std::snprintf(name, sizeof name, "/Fichier%05ld.dat", i);
        const std::string path = folder + name;
        const size_t size
            = maxBytes > 0 ? next() % (maxBytes + 1) : 1024 + next() % (63 * 1024 + 1);
        const size_t offset = next() % (block.size() - size);
        const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0)
            die("create", path);
        writeAll(fd, block.data() + offset, size, path);
        if (close(fd) != 0)
            die("close", path);
    }
    return 0;
}
