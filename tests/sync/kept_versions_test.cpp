#include "../as_nobody.h"
#include "mounted_volume.h"
#include "run_fixture.h"

#include <QDirIterator>
#include <QRegularExpression>

namespace {

const QString stamp = QStringLiteral("2026-12-05_140327"); // the fixture's clock
const QString versions = QStringLiteral(".tandrel-versions/");

// Two destination files edited on the stick that the origin's copies replace, one in a
// sub-folder, and a file new in the destination.
Action filled(const Folders &f, const QString &inclSub, const QString &keep = "OUI")
{
    for (const char *name : {"a.txt", "sous/b.txt", "n.txt"})
        f.dir.write("Origine/" + QString::fromLatin1(name), name);
    f.dir.write("Destination/a.txt", "edited a");
    f.dir.write("Destination/sous/b.txt", "edited b");
    Action action = makeAction(f.origin, f.destination, inclSub);
    action.keepVersions = keep;
    return action;
}

// The report's lines, with the folders' common part taken out.
QStringList run(const Folders &f, const Action &action, RunMode mode = RunMode::Synchronize)
{
    RecordingObserver observer;
    runProject(makeRequest(f.app, {action}, mode), observer);
    return observer.lines.replaceInStrings(f.dir.path(), "/");
}

// Every file below folder as "path=content", hidden ones included.
QStringList filesUnder(const QString &folder)
{
    QStringList files;
    for (QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
         it.hasNext();) {
        const QString path = it.next();
        files << QDir(folder).relativeFilePath(path) + '=' + readFile(path);
    }
    files.sort();
    return files;
}

} // namespace

// Flat and recursive, synchronised and simulated: with the choice on, each replaced file is
// found whole under the run's stamp and its relative path, a new file moves nothing, and the
// report is the one the choice off gives, with one line after the summary naming the folder.
TEST(KeptVersions, ReplacedFilesAreMovedUnderTheRunStamp)
{
    const struct {
        QString inclSub;
        RunMode mode;
        QStringList kept;
    } cases[] = {
        {"NON", RunMode::Synchronize, {stamp + "/a.txt=edited a"}},
        {"OUI", RunMode::Synchronize, {stamp + "/a.txt=edited a", stamp + "/sous/b.txt=edited b"}},
        {"NON", RunMode::Simulate, {}},
        {"OUI", RunMode::Simulate, {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.inclSub.toStdString() + (c.mode == RunMode::Simulate ? " simulated" : ""));
        Folders on, off;
        const QStringList lines = run(on, filled(on, c.inclSub), c.mode);
        QStringList expected = run(off, filled(off, c.inclSub, "NON"), c.mode);
        EXPECT_EQ(filesUnder(on.destination + versions), c.kept);
        EXPECT_EQ(filesUnder(on.destination).filter(QRegularExpression("^[^.]")),
            filesUnder(off.destination));
        EXPECT_FALSE(QFile::exists(off.destination + versions));
        if (!c.kept.isEmpty()) {
            const qsizetype summary = expected.indexOf(QRegularExpression(" +\\d+ de \\d+ .*"));
            expected.insert(summary + 1, lines.value(summary + 1));
            EXPECT_TRUE(
                lines.value(summary + 1).endsWith("/Destination/" + versions + stamp + '/'));
        }
        EXPECT_EQ(lines, expected);
    }
}

// A versions folder that is a file, a link to somewhere else, or read-only to the user (root
// writes everywhere, so "nobody" runs): the file is not replaced, and its line is a copy error.
TEST(KeptVersions, AFileWhoseOldVersionCannotBeMovedIsNotReplaced)
{
    for (const QString place : {"file", "link", "read-only"}) {
        SCOPED_TRACE(place.toStdString());
        Folders f;
        const Action action = filled(f, "NON");
        const QString elsewhere = f.dir.mkdir("Ailleurs");
        const QByteArray folder = QFile::encodeName(f.destination + versions);
        if (place == "file")
            f.dir.write("Destination/" + versions.chopped(1));
        else if (place == "link")
            ::symlink(QFile::encodeName(elsewhere).constData(), folder.chopped(1).constData());
        else
            ::mkdir(folder.constData(), 0555);
        for (const QString &path : {f.dir.path(), f.origin, f.destination, f.app, elsewhere})
            ::chmod(QFile::encodeName(path).constData(), 0777);

        ASSERT_TRUE(AsNobody([&] { return !run(f, action).isEmpty(); }));
        const QString report = QString::fromUtf8(readFile(f.app + "Sauvegarde.log"));
        EXPECT_TRUE(report.contains(QRegularExpression("\n     >>  a\\.txt - \\(Erreur: .+\\)\r")));
        EXPECT_EQ(everything(f.destination),
            (QStringList {".tandrel-versions", "a.txt", "n.txt", "sous"}));
        EXPECT_EQ(readFile(f.destination + "a.txt"), "edited a");
        EXPECT_TRUE(everything(elsewhere).isEmpty());
    }
}

// Two runs in the same second keep their versions apart: nothing kept is overwritten.
TEST(KeptVersions, TwoRunsInOneSecondKeepTwoFolders)
{
    Folders f;
    const Action action = filled(f, "NON");
    run(f, action);
    f.dir.write("Origine/a.txt", "a, once more");
    run(f, action);
    const QStringList kept = filesUnder(f.destination + versions);
    ASSERT_EQ(kept.size(), 2);
    EXPECT_EQ(kept[0], stamp + "/a.txt=edited a");
    EXPECT_TRUE(kept[1].startsWith(stamp) && kept[1].endsWith("/a.txt=a.txt"))
        << kept[1].toStdString();
}

// On a FAT stick, whose driver knows no rename flags, names are kept as they are.
TEST(KeptVersions, KeepsOnAFatStick)
{
    Folders f;
    MountedVolume stick(MountedVolume::Kind::Fat32, f.dir.path());
    ASSERT_TRUE(stick.ready()) << stick.failure().toStdString();
    Action action = filled(f, "NON");
    action.toFolder = stick.path();
    f.dir.write("volume/Mes Notes.Txt", "edited on the stick");
    f.dir.write("Origine/Mes Notes.Txt", "origin");
    run(f, action);
    EXPECT_EQ(filesUnder(stick.path() + versions),
        (QStringList {stamp + "/Mes Notes.Txt=edited on the stick"}));
}
