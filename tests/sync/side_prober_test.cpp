#include "side_prober.h"
#include "temp_dir.h"

#include <QDir>

#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <thread>
#include <tuple>

// Each take is its own entry's probe, as exact as probing it then, with one thread or many;
// none runs past the window, so files and a folder removed there are seen as removed.
TEST(SideProber, TakesEachEntrysOwnProbeInOrderAndNeverRunsAheadOfTheWindow)
{
    constexpr int count = SideProber::window + 1000;
    const auto fields
        = [](const SideProbe &p) { return std::tuple(p.file.exists, p.file.size, p.folderFound); };
    for (const int threads : {1, 16}) {
        const TempDir tree;
        PathList entries;
        for (int i = 0; i < count; ++i) {
            const QString folder = QStringLiteral("d%1/").arg(i / 100), name = QString::number(i);
            tree.write(folder + name, QByteArray(i % 251, 'x'));
            entries.append(QFile::encodeName(folder), QFile::encodeName(name));
        }
        const QByteArray root = QFile::encodeName(tree.path());
        const FolderHandle rootFolder(root);
        SideProber prober(rootFolder.fd(), entries, threads);
        std::this_thread::sleep_for(std::chrono::milliseconds(200)); // room to run ahead
        for (std::size_t i = SideProber::window; i < SideProber::window + 100; i += 3)
            QFile::remove(tree(QString::fromUtf8(entries[i])));
        ASSERT_TRUE(QDir(tree(QStringLiteral("d%1").arg((count - 1) / 100))).removeRecursively());

        std::vector<SideProbe> taken; // all first, so that a take not waiting for its probe shows
        ::alarm(60); // a lost probe would leave its take waiting for ever
        for (std::size_t i = 0; i < entries.size(); ++i)
            taken.push_back(prober.take(i));
        ::alarm(0);
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const QByteArray path = root + entries[i].toByteArray();
            const SideProbe now {
                ProbeFile(path), ProbeFolder(path.left(path.lastIndexOf('/') + 1))};
            ASSERT_EQ(fields(taken[i]), fields(now)) << entries[i].toByteArray().constData();
        }
    }
}
