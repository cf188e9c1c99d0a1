#include "run_fixture.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <thread>

// An origin file that keeps changing while it is copied, and files that vanished or that a pipe
// or a folder replaced after the listing, get their error lines with their causes; the run goes
// on.
TEST(CopyFaults, OriginsThatChangeOrStopBeingFilesGetTheirCause)
{
    Folders f;
    const QString journal = f.dir.write("Origine/sous/journal.bin", QByteArray(64 << 20, 'j'));
    f.dir.write("Origine/sous/dossier.txt");
    f.dir.write("Origine/sous/stable.txt", "stable");
    f.dir.write("Origine/sous/tube.txt");
    f.dir.write("Origine/sous/absent.txt");
    f.dir.write("Destination/sous/journal.bin", "old");
    std::atomic<bool> running {true};
    std::thread writer([&] {
        QFile file(journal);
        while (running && file.open(QIODevice::Append) && file.write("+") == 1)
            file.close();
    });
    RecordingObserver observer;
    observer.onLine = [&](const QString &line) {
        if (line != foundLine(5))
            return;
        QFile::remove(f.dir("Origine/sous/absent.txt"));
        QFile::remove(f.dir("Origine/sous/dossier.txt"));
        f.dir.mkdir("Origine/sous/dossier.txt");
        QFile::remove(f.dir("Origine/sous/tube.txt"));
        ASSERT_EQ(::mkfifo(QFile::encodeName(f.dir("Origine/sous/tube.txt")).constData(), 0644), 0);
    };
    const RunOutcome outcome = f.run(observer);
    running = false;
    writer.join();

    const char *notAFile = "le fichier origine n'est pas un fichier ordinaire!";
    EXPECT_EQ(fileLines(observer.lines),
        (QStringList {failed("sous/absent.txt", "le fichier origine a disparu!"),
            failed("sous/dossier.txt", notAFile),
            failed("sous/journal.bin", "le fichier origine a changé pendant la copie!"),
            "     sous/stable.txt - (copié)", failed("sous/tube.txt", notAFile)}));
    EXPECT_TRUE(outcome.copyErrors);
    EXPECT_EQ(outcome.totalFiles, 1);
    EXPECT_EQ(readFile(f.dir("Destination/sous/journal.bin")), "old");
    EXPECT_EQ(everything(f.dir("Destination/sous")), (QStringList {"journal.bin", "stable.txt"}));
}

// The destination chosen may be a link; below it, a folder that is a link (planted, deeper down,
// or put in a folder's place during the run) is never entered, and one that cannot be made (a
// file holds its name) is not either: their files get their error lines, the others are copied.
TEST(CopyFaults, NothingIsWrittenThroughALinkOrAFileBelowTheDestination)
{
    Folders f;
    const QString outside = f.dir.mkdir("Ailleurs"), outside2 = f.dir.mkdir("Ailleurs2");
    f.dir.write("Ailleurs/x.txt", "not to be replaced");
    for (const char *file :
        {"B/x.txt", "C/z.txt", "C/D/y.txt", "E/w.txt", "F/v.txt", "G/u.txt", "G/t.txt"})
        f.dir.write(QStringLiteral("Origine/") + file, "new");
    const QString chosen = f.dir("Lien-destination");
    ASSERT_TRUE(QFile::link(f.destination, chosen));
    ASSERT_TRUE(QFile::link(outside, f.dir("Destination/B")));
    f.dir.mkdir("Destination/C");
    ASSERT_TRUE(QFile::link(outside2, f.dir("Destination/C/D")));
    f.dir.mkdir("Destination/F");
    f.dir.write("Destination/G", "a file, not a folder");
    RecordingObserver observer;
    observer.onLine = [&](const QString &line) {
        if (line != foundLine(7))
            return; // listed: now the folder F becomes a link
        ASSERT_TRUE(QDir().rename(f.dir("Destination/F"), f.dir("F-avant")));
        ASSERT_TRUE(QFile::link(outside2, f.dir("Destination/F")));
    };
    const RunOutcome outcome
        = runProject(makeRequest(f.app, {makeAction(f.origin, chosen, "OUI")}), observer);

    const char *linked = "le dossier destination est un lien symbolique!";
    const char *file = "un fichier occupe la place du dossier destination!";
    EXPECT_EQ(fileLines(observer.lines),
        (QStringList {failed("b/x.txt", linked), "     c/z.txt - (copié)", madeLine(chosen + "/e/"),
            "     e/w.txt - (copié)", failed("f/v.txt", linked), madeLine(chosen + "/g/"),
            failed("g/t.txt", file), failed("g/u.txt", file), failed("c/d/y.txt", linked)}))
        << observer.lines.join('\n').toStdString();
    EXPECT_TRUE(outcome.copyErrors);
    EXPECT_EQ(readFile(f.dir("Destination/G")), "a file, not a folder");
    EXPECT_EQ(readFile(f.dir("Ailleurs/x.txt")), "not to be replaced");
    EXPECT_EQ(everything(outside) + everything(outside2), QStringList {"x.txt"});
}

// Cancelled in the middle of the copies: every folder made has its line, every file copied has
// its line and no other, in list order; then the cancellation block alone closes the report, and
// the next action never starts.
TEST(CopyFaults, ACancelledRunReportsEveryFolderAndCopyItMade)
{
    Folders f;
    for (int d = 0; d < 20; ++d)
        for (int i = 0; i < 20; ++i)
            f.dir.write(QStringLiteral("Origine/d%1/f%2.bin").arg(d, 2, 10, QChar('0')).arg(i),
                QByteArray(64 * 1024, char('a' + i)));
    std::atomic<bool> cancel {false};
    RecordingObserver observer;
    observer.onLine = [&](const QString &line) { cancel = cancel || line.endsWith("(copié)"); };
    const RunOutcome outcome = RunDriver::run(makeRequest(f.app,
                                                  {makeAction(f.origin, f.destination, "OUI"),
                                                      makeAction(f.origin, f.dir("autre"), "OUI")},
                                                  RunMode::Scheduler),
        observer, cancel);
    ASSERT_EQ(outcome.status, RunOutcome::Status::Cancelled);

    // In list order: each folder made, then each file copied into it (a temporary file left
    // behind shows).
    QStringList expected;
    for (const QString &folder : everything(f.destination)) {
        expected << madeLine(f.destination + folder + '/');
        for (const QString &file :
            QDir(f.destination + folder).entryList(QDir::Files | QDir::Hidden))
            expected << "     " + folder + '/' + file + " - (copié)";
    }
    ASSERT_GT(expected.size(), 1);
    const qsizetype from = observer.lines.indexOf(foundLine(400)) + 2;
    const qsizetype end
        = observer.lines.indexOf("          Synchronisation annulée par l'utilisateur!");
    EXPECT_EQ(observer.lines.mid(from, end - from - 2), expected);
    EXPECT_TRUE(observer.lines.filter("Total copié").isEmpty()); // no closing block
    EXPECT_FALSE(observer.lines.contains("Action 2 sur 2"));
    EXPECT_EQ(readFile(f.app + "Sauvegarde.log"), asReportFile(observer.lines));
}

// An origin sub-folder removed once the run has entered it, or the destination folder removed
// once the files are listed: each of their files gets the folder's line, and the run goes on.
TEST(CopyFaults, FoldersRemovedDuringTheRunGetTheirLines)
{
    Folders f;
    f.dir.write("Origine/A/a1.txt");
    f.dir.write("Origine/A/a2.txt");
    f.dir.write("Origine/B/b1.txt");
    RecordingObserver observer;
    observer.onProgress = [&](qint64 value, qint64 maximum) {
        if (value == 1 && maximum == 2) // the second file of A
            QDir(f.dir("Origine/A")).removeRecursively();
    };
    f.run(observer, "OUI", RunMode::Simulate);
    EXPECT_EQ(fileLines(observer.lines),
        (QStringList {madeLine(f.destination + "A/"), "     a/a1.txt - (copié)",
            "    - Erreur: Le dossier origine n'existe pas! (" + (f.origin + "a/").toLower() + ')',
            madeLine(f.destination + "B/"), "     b/b1.txt - (copié)"}));

    RecordingObserver second;
    second.onLine = [&](const QString &line) {
        if (line == foundLine(1))
            QDir(f.destination).removeRecursively();
    };
    f.run(second);
    EXPECT_EQ(fileLines(second.lines),
        QStringList {"    - Erreur: Le dossier destination n'existe pas! ("
            + f.destination.toLower() + ')'});
}
