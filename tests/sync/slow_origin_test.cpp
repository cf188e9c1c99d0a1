#include "mounted_volume.h"
#include "run_fixture.h"

#include <QProcess>

#include <gtest/gtest.h>

// A run whose origin is a FUSE volume lists and probes it on many threads; its report must read
// exactly as the same run's from an ordinary disk.

namespace {

void put(const QString &path, const QByteArray &content)
{
    QDir().mkpath(path.section(u'/', 0, -2));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(content) == content.size()) << path.toStdString();
}

bool copyTree(const QString &from, const QString &to)
{
    return QProcess::execute("cp", {"-rp", from + '.', to}) == 0;
}

} // namespace

TEST(SlowOrigin, ReportsEveryFileInOrderAsFromALocalDisk)
{
    Folders f;
    MountedVolume stick(MountedVolume::Kind::Fat32, f.dir.mkdir("stick") + '/', 16);
    ASSERT_TRUE(stick.ready()) << stick.failure().toStdString();
    for (int d = 0; d < 6; ++d) {
        for (int n = 0; n < 40; ++n) {
            const QString name
                = QStringLiteral("Dossier %1/sous %2/f%3.txt").arg(d).arg(n % 3).arg(n);
            put(stick.path() + name, QByteArray(n + d, 'x'));
        }
    }
    // The same tree on the local disk, and two destinations alike: some copies there and the
    // same, some older, some missing, and a folder missing.
    ASSERT_TRUE(copyTree(stick.path(), f.origin));
    ASSERT_TRUE(copyTree(f.origin, f.destination));
    for (int n = 0; n < 40; n += 3)
        QFile::remove(
            f.destination + QStringLiteral("Dossier 2/sous %1/f%2.txt").arg(n % 3).arg(n));
    for (int n = 1; n < 40; n += 5)
        setModified(f.destination + QStringLiteral("Dossier 4/sous %1/f%2.txt").arg(n % 3).arg(n),
            1'000'000'000);
    ASSERT_TRUE(QDir(f.destination + "Dossier 5/sous 1").removeRecursively());
    const QString other = f.dir.mkdir("Autre") + '/';
    ASSERT_TRUE(copyTree(f.destination, other));

    RecordingObserver fromStick, fromDisk;
    runProject(makeRequest(f.app, {makeAction(stick.path(), f.destination, "OUI")},
                   RunMode::Synchronize, true),
        fromStick);
    runProject(makeRequest(f.app, {makeAction(f.origin, other, "OUI")}, RunMode::Synchronize, true),
        fromDisk);
    const QStringList lines = fileLines(fromStick.lines);
    ASSERT_GT(lines.size(), 240);
    EXPECT_EQ(lines.join('\n').replace(f.destination.toLower(), other.toLower()),
        fileLines(fromDisk.lines).join('\n'));
}
