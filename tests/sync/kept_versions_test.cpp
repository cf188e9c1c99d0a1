#include "run_fixture.h"

#include <QDirIterator>

namespace {

const QString versions = QStringLiteral(".tandrel-versions/");
const QString stamp = QStringLiteral("2026-12-05_140327"); // the fixture's clock

// Two files edited on the destination, one in a sub-folder, that the origin's replace.
Action filled(const Folders &f, const QString &inclSub, const QString &keep)
{
    for (const QString name : {"a.txt", "sous/b.txt"}) {
        f.dir.write("Origine/" + name, name.toUtf8());
        f.dir.write("Destination/" + name, "edited " + name.toUtf8());
    }
    Action action = makeAction(f.origin, f.destination, inclSub);
    action.keepVersions = keep;
    return action;
}

QString run(const Folders &f, const Action &action, RunMode mode = RunMode::Synchronize)
{
    RecordingObserver observer;
    runProject(makeRequest(f.app, {action}, mode), observer);
    return observer.lines.join('\n');
}

// The files kept in the destination's versions folder, each as "path=content", sorted.
QStringList keptFiles(const Folders &f)
{
    const QString folder = f.destination + versions;
    QStringList kept;
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    for (; it.hasNext(); kept.last() += readFile(it.filePath()))
        kept << it.next().mid(folder.size()) + '=';
    kept.sort();
    return kept;
}

} // namespace

// Flat and recursive, each replaced file is kept whole under the run's stamp; off, or in a
// simulation, nothing is moved.
TEST(KeptVersions, ReplacedFilesAreKeptUnderTheRunStamp)
{
    const QString at = stamp + '/';
    const struct {
        QString inclSub, keep;
        QStringList kept;
        RunMode mode = RunMode::Synchronize;
    } cases[] = {
        {"NON", "OUI", {at + "a.txt=edited a.txt"}},
        {"OUI", "OUI", {at + "a.txt=edited a.txt", at + "sous/b.txt=edited sous/b.txt"}},
        {"OUI", "NON", {}},
        {"OUI", "OUI", {}, RunMode::Simulate},
    };
    for (const auto &c : cases) {
        Folders f;
        run(f, filled(f, c.inclSub, c.keep), c.mode);
        EXPECT_EQ(keptFiles(f), c.kept);
        EXPECT_EQ(readFile(f.destination + "a.txt"),
            c.mode == RunMode::Simulate ? "edited a.txt" : "a.txt");
    }
}

// Two runs in the same second keep their versions apart: nothing kept is overwritten.
TEST(KeptVersions, TwoRunsInOneSecondKeepTwoFolders)
{
    Folders f;
    const Action action = filled(f, "NON", "OUI");
    run(f, action);
    f.dir.write("Origine/a.txt", "a, once more");
    run(f, action);
    EXPECT_EQ(
        keptFiles(f), (QStringList {stamp + "/a.txt=edited a.txt", stamp + "_2/a.txt=a.txt"}));
}

// A versions folder that is a file, or a link to somewhere else (never written through): the
// file is not replaced; its line is an error.
TEST(KeptVersions, AFileWhoseOldVersionCannotBeKeptIsNotReplaced)
{
    for (const bool link : {false, true}) {
        Folders f;
        const Action action = filled(f, "NON", "OUI");
        const QString elsewhere = f.dir.mkdir("Ailleurs");
        if (link)
            QFile::link(elsewhere, f.destination + versions.chopped(1));
        else
            f.dir.write("Destination/" + versions.chopped(1));
        EXPECT_TRUE(run(f, action).contains(" >>  a.txt - (Erreur: ")) << link;
        EXPECT_EQ(readFile(f.destination + "a.txt"), "edited a.txt");
        EXPECT_TRUE(everything(elsewhere).isEmpty());
    }
}
