#include "../as_nobody.h"
#include "file_probe.h"
#include "kept_versions.h"
#include "mounted_volume.h"
#include "run_fixture.h"

#include <QDirIterator>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <sys/stat.h>

// What a run keeps of the destination files it replaces.

namespace {

// The fixture's clock, as the versions folder names it.
const QString stamp = QStringLiteral("2026-12-05_140327");
const QString versions = QStringLiteral(".tandrel-versions/");

// A destination file edited on the stick (its own size, newer) that the origin's copy replaces,
// one in a sub-folder, and a file that is new in the destination.
void fill(const Folders &f)
{
    f.dir.write("Origine/a.txt", "origin a");
    f.dir.write("Origine/sous/b.txt", "origin b");
    f.dir.write("Origine/n.txt", "new");
    f.dir.write("Destination/a.txt", "edited on the stick");
    f.dir.write("Destination/sous/b.txt", "edited b on the stick");
}

Action keeping(const Folders &f, const QString &inclSub, const QString &keep = "OUI")
{
    Action action = makeAction(f.origin, f.destination, inclSub);
    action.keepVersions = keep;
    return action;
}

QStringList run(const Folders &f, const Action &action, RunMode mode = RunMode::Synchronize)
{
    RecordingObserver observer;
    runProject(makeRequest(f.app, {action}, mode), observer);
    return observer.lines;
}

// The lines of a run in other folders, read as if they were made in f.
QStringList asIn(const Folders &f, const Folders &other, QStringList lines)
{
    return lines.replaceInStrings(other.dir.path(), f.dir.path());
}

// Every file below folder with its content, "path=content", hidden ones included.
QStringList filesUnder(const QString &folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files << QDir(folder).relativeFilePath(path) + '=' + QString::fromUtf8(readFile(path));
    }
    files.sort();
    return files;
}

} // namespace

// Flat and recursive, synchronised and simulated: with the choice on, each replaced file is
// found whole under the run's stamp and its relative path, a new file moves nothing, and the
// report is the one the choice off gives, with one line after the summary naming the folder;
// a simulation moves nothing and reports nothing new; with the choice off nothing is kept.
TEST(KeptVersions, ReplacedFilesAreMovedUnderTheRunStamp)
{
    const struct {
        QString inclSub;
        RunMode mode;
        QStringList kept;
    } cases[] = {
        {"NON", RunMode::Synchronize, {"a.txt=edited on the stick"}},
        {"OUI", RunMode::Synchronize,
            {"a.txt=edited on the stick", "sous/b.txt=edited b on the stick"}},
        {"NON", RunMode::Simulate, {}},
        {"OUI", RunMode::Simulate, {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.inclSub.toStdString() + (c.mode == RunMode::Simulate ? " simulated" : ""));
        Folders on, off;
        fill(on);
        fill(off);
        const QStringList lines = run(on, keeping(on, c.inclSub), c.mode);
        QStringList expected = asIn(on, off, run(off, keeping(off, c.inclSub, "NON"), c.mode));

        const QString folder = on.destination + versions + stamp + '/';
        EXPECT_EQ(filesUnder(folder), c.kept);
        EXPECT_EQ(everything(on.destination + versions).size(), c.kept.isEmpty() ? 0 : 1);
        EXPECT_EQ(filesUnder(on.destination).filter(QRegularExpression("^[^.]")),
            filesUnder(off.destination));
        EXPECT_FALSE(QFile::exists(off.destination + versions));
        if (!c.kept.isEmpty()) {
            const qsizetype summary = expected.indexOf(QRegularExpression("^ +\\d+ de \\d+ .*"));
            ASSERT_GE(summary, 0);
            EXPECT_TRUE(lines.value(summary + 1).endsWith(folder))
                << lines.value(summary + 1).toStdString();
            expected.insert(summary + 1, lines.value(summary + 1));
        }
        EXPECT_EQ(lines, expected);
    }
}

// A versions folder that is a file, or a link to somewhere else, is never written through: the
// file is not replaced and its line is a copy error.
TEST(KeptVersions, AVersionsFolderThatIsNoFolderIsRefused)
{
    for (const bool link : {false, true}) {
        SCOPED_TRACE(link ? "link" : "file");
        Folders f;
        fill(f);
        const QString elsewhere = f.dir.mkdir("Ailleurs");
        const QByteArray place = QFile::encodeName(f.destination + versions.chopped(1));
        if (link)
            ASSERT_EQ(::symlink(QFile::encodeName(elsewhere).constData(), place.constData()), 0);
        else
            f.dir.write("Destination/.tandrel-versions", "a file");

        RecordingObserver observer;
        const RunOutcome outcome = runProject(makeRequest(f.app, {keeping(f, "NON")}), observer);
        EXPECT_TRUE(outcome.copyErrors);
        EXPECT_EQ(observer.lines.filter(QRegularExpression("^     >>  a\\.txt - \\(Erreur: .+\\)$"))
                      .size(),
            1);
        EXPECT_EQ(readFile(f.destination + "a.txt"), "edited on the stick");
        EXPECT_EQ(readFile(f.destination + "n.txt"), "new");
        EXPECT_TRUE(everything(elsewhere).isEmpty());
        EXPECT_EQ(observer.lines.filter(versions).size(), 0);
    }
}

// Two runs in the same second keep their versions apart: nothing kept is overwritten.
TEST(KeptVersions, TwoRunsInOneSecondKeepTwoFolders)
{
    Folders f;
    fill(f);
    run(f, keeping(f, "NON"));
    f.dir.write("Origine/a.txt", "origin a, once more");
    run(f, keeping(f, "NON"));

    const QStringList stamps = everything(f.destination + versions);
    ASSERT_EQ(stamps.size(), 2);
    EXPECT_EQ(stamps[0], stamp);
    EXPECT_TRUE(stamps[1].startsWith(stamp));
    EXPECT_EQ(filesUnder(f.destination + versions),
        (QStringList {stamps[0] + "/a.txt=edited on the stick", stamps[1] + "/a.txt=origin a"}));
}

// A run killed between the move and the rename leaves the old file in the versions and none in
// its place: the next run copies it, and nothing is lost.
TEST(KeptVersions, ARunKilledAfterTheMoveLosesNothing)
{
    Folders f;
    fill(f);
    {
        KeptVersions killed(QFile::encodeName(f.destination), QDateTime(QDate(2026, 1, 2), {}));
        const FolderHandle destination(QFile::encodeName(f.destination));
        ASSERT_EQ(killed.keep(destination.fd(), "a.txt", "a.txt"), 0);
        EXPECT_FALSE(QFile::exists(f.destination + "a.txt"));
    }
    const QStringList lines = run(f, keeping(f, "NON"));
    EXPECT_EQ(readFile(f.destination + "a.txt"), "origin a");
    EXPECT_EQ(filesUnder(f.destination + versions),
        QStringList {"2026-01-02_000000/a.txt=edited on the stick"});
    EXPECT_EQ(lines.filter(versions).size(), 0);
}

// A versions folder the user cannot write to: the file is not replaced, its line is a copy
// error, and no temporary file is left.
TEST(KeptVersions, AFileThatCannotBeMovedIsNotReplaced)
{
    Folders f;
    fill(f);
    f.dir.mkdir("Destination/.tandrel-versions");
    for (const QString &path : {f.dir.path(), f.origin, f.destination, f.app})
        ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0777), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(f.destination + versions).constData(), 0555), 0);

    const int code = ExitCodeAsNobody([&] {
        RecordingObserver observer;
        return runProject(makeRequest(f.app, {keeping(f, "NON")}), observer).copyErrors ? 0 : 1;
    });
    ASSERT_EQ(code, 0) << "3: the run could not be made as an unprivileged user";
    const QString report = QString::fromUtf8(readFile(f.app + "Sauvegarde.log"));
    EXPECT_TRUE(report.contains(QRegularExpression("\n     >>  a\\.txt - \\(Erreur: .+\\)\r")));
    EXPECT_EQ(filesUnder(f.destination),
        (QStringList {
            "a.txt=edited on the stick", "n.txt=new", "sous/b.txt=edited b on the stick"}));
}

// On a FAT stick (whose driver knows no rename flags) the names are kept as they are and the
// stamp holds no ":".
TEST(KeptVersions, KeepsOnAFatStick)
{
    Folders f;
    MountedVolume stick(MountedVolume::Kind::Fat32, f.dir.path());
    ASSERT_TRUE(stick.ready()) << stick.failure().toStdString();
    f.dir.write("Origine/Mes Notes.Txt", "origin");
    QFile old(stick.path() + "Mes Notes.Txt");
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("edited on the stick");
    old.close();

    Action action = keeping(f, "NON");
    action.toFolder = stick.path();
    run(f, action);
    EXPECT_EQ(filesUnder(stick.path()),
        (QStringList {
            versions + stamp + "/Mes Notes.Txt=edited on the stick", "Mes Notes.Txt=origin"}));
}
