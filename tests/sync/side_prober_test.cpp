#include "file_probe.h"
#include "path_list.h"
#include "side_prober.h"
#include "temp_dir.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <thread>
#include <tuple>
#include <vector>

namespace {

constexpr int folders = 40;
constexpr int filesPerFolder = 150; // 6,000 entries: more than the probes may run ahead

QByteArray bytes(const QString &path)
{
    return QFile::encodeName(path);
}

// A tree whose files each have a size and a time of their own, so that a probe handed to the
// wrong entry shows; the list also names files and a folder that are not there, and a folder.
PathList makeTree(const TempDir &tree)
{
    PathList entries;
    for (int f = 0; f < folders; ++f) {
        const QString folder = QStringLiteral("d%1/").arg(f, 2, 10, QChar(u'0'));
        tree.mkdir(folder + QStringLiteral("sub"));
        for (int n = 0; n < filesPerFolder; ++n) {
            const int index = f * filesPerFolder + n;
            const QString name = QStringLiteral("f%1").arg(n);
            if (n % 37 != 5) {
                const QString path = tree.write(folder + name, QByteArray(index % 251, 'x'));
                const struct timespec times[2]
                    = {{1'600'000'000 + index, 0}, {1'600'000'000 + index, 0}};
                ::utimensat(AT_FDCWD, bytes(path).constData(), times, 0);
            }
            entries.append(bytes(folder), bytes(n == 3 ? QStringLiteral("sub") : name));
        }
    }
    entries.append("absent/", "f0");
    return entries;
}

// What the copy loop would see probing the entry itself, one call after the other.
SideProbe probedInTurn(const QByteArray &root, QByteArrayView entry)
{
    const QByteArray path = root + entry.toByteArray();
    const QByteArray folder = path.left(path.lastIndexOf('/') + 1);
    return {ProbeFile(path), ProbeFolder(folder)};
}

auto fields(const SideProbe &p)
{
    return std::tuple(
        p.file.exists, p.file.pathExists, p.file.size, p.file.mtime, p.file.mode, p.folderFound);
}

} // namespace

// Probes taken in list order are those of their own entries, as exact as probing each in turn,
// with one thread or many; and none runs more than the window ahead of the entries taken, so
// files that vanish, become folders or lose their folder past the window are seen as they are
// when taken.
TEST(SideProber, TakesEachEntrysOwnProbeInOrderAndNeverRunsAheadOfTheWindow)
{
    ASSERT_GT(std::size_t(folders * filesPerFolder), SideProber::window + 2 * filesPerFolder);
    for (const int threads : {1, 16}) {
        SCOPED_TRACE(threads);
        const TempDir tree;
        const PathList entries = makeTree(tree);
        const QByteArray root = bytes(tree.path());
        const FolderHandle rootFolder(root);
        SideProber prober(rootFolder.fd(), entries, threads);
        // Room for the threads to run ahead, were they not held back.
        std::this_thread::sleep_for(std::chrono::milliseconds(200));

        const std::size_t past = SideProber::window;
        const QString lastFolder
            = QString::fromUtf8(entries[entries.size() - 2]).section(u'/', 0, 0);
        ASSERT_TRUE(QDir(tree(lastFolder)).removeRecursively());
        for (std::size_t i = past; i < past + 100; i += 3) {
            const QString path = tree(QString::fromUtf8(entries[i]));
            if (QFile::remove(path) && i % 2 == 0)
                QDir().mkdir(path);
        }

        // Taken first, as quickly as the copy loop could, so that a take that did not wait
        // for its own probe would show; compared afterwards with the tree left as it is.
        std::vector<SideProbe> taken;
        ::alarm(60); // a probe lost before it was taken would leave its take waiting for ever
        for (std::size_t i = 0; i < entries.size(); ++i)
            taken.push_back(prober.take(i));
        ::alarm(0);
        int wrong = 0;
        for (std::size_t i = 0; i < entries.size() && wrong < 5; ++i) {
            if (fields(taken[i]) != fields(probedInTurn(root, entries[i]))) {
                ++wrong;
                ADD_FAILURE() << "entry " << i << ": " << entries[i].toByteArray().constData();
            }
        }
    }
}
