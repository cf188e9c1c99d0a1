#include "../as_nobody.h"
#include "run_fixture.h"

#include <QDirIterator>

namespace {

const QString versions = QStringLiteral(".tandrel-versions/");

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

QString run(const Folders &f, const Action &action)
{
    RecordingObserver observer;
    runProject(makeRequest(f.app, {action}), observer);
    return observer.lines.join('\n');
}

} // namespace

// Flat and recursive, each replaced file is kept whole under the run's stamp; off, nothing is.
TEST(KeptVersions, ReplacedFilesAreKeptUnderTheRunStamp)
{
    const QString stamp = QStringLiteral("2026-12-05_140327/"); // the fixture's clock
    const struct {
        QString inclSub, keep;
        QStringList kept;
    } cases[] = {
        {"NON", "OUI", {stamp + "a.txt=edited a.txt"}},
        {"OUI", "OUI", {stamp + "a.txt=edited a.txt", stamp + "sous/b.txt=edited sous/b.txt"}},
        {"OUI", "NON", {}},
    };
    for (const auto &c : cases) {
        Folders f;
        run(f, filled(f, c.inclSub, c.keep));
        const QString folder = f.destination + versions;
        QStringList kept;
        QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
        for (; it.hasNext(); kept.last() += readFile(it.filePath())) // "path=content"
            kept << it.next().mid(folder.size()) + '=';
        kept.sort();
        EXPECT_EQ(kept, c.kept);
        EXPECT_EQ(readFile(f.destination + "a.txt"), "a.txt");
    }
}

// A versions folder "nobody" cannot write to: the file is not replaced; its line is an error.
TEST(KeptVersions, AFileWhoseOldVersionCannotBeKeptIsNotReplaced)
{
    Folders f;
    const Action action = filled(f, "NON", "OUI");
    ::mkdir(QFile::encodeName(f.destination + versions).constData(), 0555);
    for (const QString &path : {f.dir.path(), f.origin, f.destination, f.app})
        ::chmod(QFile::encodeName(path).constData(), 0777);
    ASSERT_TRUE(AsNobody([&] { return run(f, action).contains(" >>  a.txt - (Erreur: "); }));
    EXPECT_EQ(readFile(f.destination + "a.txt"), "edited a.txt");
}
