#include "as_nobody.h"
#include "run_fixture.h"

#include <QFileInfo>

#include <gtest/gtest.h>

#include <sys/stat.h>

// A first copy lists each file and made folder; a second finds nothing and appends its report.
TEST(Run, CopiesATreeIntoAnEmptyDestinationThenFindsNothingToDo)
{
    Folders f;
    f.dir.write("Origine/a.txt", "abc");
    f.dir.write("Origine/B/c.TXT", "hello");
    f.dir.write("Origine/B/D/e.txt", "world");
    f.dir.write("Origine/B/f.dat", "not matched");
    f.dir.mkdir("Origine/Vide");
    f.dir.write("Origine/.h.txt", "hidden file");
    setModified(f.dir("Origine/B/c.TXT"), 1'000'000'000);

    RecordingObserver first;
    const std::vector<Action> actions {makeAction(f.origin, f.destination, "OUI", "*.txt")};
    RunOutcome outcome = runProject(makeRequest(f.app, actions), first);
    EXPECT_EQ(fileLines(first.lines),
        (QStringList {"     a.txt - (copié)", madeLine(f.destination + "B/"),
            "     b/c.txt - (copié)", madeLine(f.destination + "B/D/"),
            "     b/d/e.txt - (copié)"}));
    EXPECT_TRUE(first.lines.contains("          Total copié = 13 octets"));
    EXPECT_EQ(outcome.status, RunOutcome::Status::Finished);
    EXPECT_FALSE(outcome.copyErrors);
    EXPECT_EQ(readFile(f.app + "Sauvegarde.log"), asReportFile(first.lines));
    // The copies carry the origin's content and time; nothing else reached the destination.
    EXPECT_EQ(readFile(f.dir("Destination/B/c.TXT")), "hello");
    EXPECT_EQ(
        QFileInfo(f.dir("Destination/B/c.TXT")).lastModified().toSecsSinceEpoch(), 1'000'000'000);
    EXPECT_EQ(everything(f.destination), (QStringList {"B", "a.txt"}));
    EXPECT_EQ(everything(f.dir("Destination/B")), (QStringList {"D", "c.TXT"}));

    RecordingObserver second;
    EXPECT_EQ(runProject(makeRequest(f.app, actions), second).totalFiles, 0);
    EXPECT_EQ(
        readFile(f.app + "Sauvegarde.log"), asReportFile(first.lines) + asReportFile(second.lines));
}

// Missing origin, disabled action, missing destination, no matching file, disabled tree.
TEST(Run, ReportsEachSingleFolderCaseInItsOwnWords)
{
    Folders f;
    f.dir.write("Origine/un.doc", "1");
    f.dir.write("Origine/deux.doc", "22");
    std::vector<Action> actions {makeAction(f.dir("absente"), f.destination, "NON"),
        makeAction(f.origin, f.destination, "NON"), makeAction(f.origin, f.dir("absente"), "NON"),
        makeAction(f.origin, f.destination, "NON", "*.zip"),
        makeAction(f.origin, f.destination, "OUI")};
    actions[1].enabled = "non";
    actions[4].enabled = "NON";
    RecordingObserver observer;
    runProject(makeRequest(f.app, actions), observer);

    // Each once, in the order of the actions.
    const QStringList says = {"    - Erreur: le dossier origine n'existe pas!",
        "    File filter: *.* - ACTIONS NON ACTIVEES !",
        "    - Erreur: Le dossier destination n'existe pas!",
        "    - Filtre de fichiers : *.zip - Pas de fichier trouvé!)",
        "    Filtre des fichiers : *.* - ACTIONS NON ACTIVEES!"};
    QStringList told = observer.lines;
    told.removeIf([&](const QString &line) { return !says.contains(line); });
    EXPECT_EQ(told, says);
    EXPECT_TRUE(QDir(f.destination).isEmpty());
}

// A simulation copies nothing; for real, a read-only destination file is refused, not counted.
TEST(Run, SimulatesWithoutCopyingAndCountsOnlyRealCopies)
{
    Folders f;
    f.dir.write("Origine/gros.bin", QByteArray(1'234'567, 'x'));
    f.dir.write("Origine/petit.txt", "nouveau");
    const QString locked = f.dir.write("Destination/petit.txt", "ancien contenu");
    setModified(locked, 1'000);
    ASSERT_EQ(::chmod(QFile::encodeName(locked).constData(), 0444), 0);
    const std::vector<Action> actions {makeAction(f.origin, f.destination, "NON")};

    RecordingObserver simulation;
    RunOutcome outcome = runProject(makeRequest(f.app, actions, RunMode::Simulate), simulation);
    EXPECT_EQ(outcome.totalFiles, 2);
    EXPECT_FALSE(QFile::exists(f.dir("Destination/gros.bin")));
    EXPECT_EQ(readFile(locked), "ancien contenu");

    RecordingObserver real;
    outcome = runProject(makeRequest(f.app, actions), real);
    EXPECT_TRUE(real.lines.contains(
        "        1 de 2 fichier(s) copié(s), taille des fichier(s)= 1.234.567 octets"));
    EXPECT_TRUE(outcome.copyErrors);
    EXPECT_EQ(readFile(locked), "ancien contenu");
    EXPECT_EQ(QFileInfo(f.dir("Destination/gros.bin")).size(), 1'234'567);
}

// Links are copied as the files they point to; a star in a name is copied;
// hidden folders, links to folders and the destination inside the origin are skipped.
TEST(Run, WalksOnlyRealVisibleFoldersAndNeverItsOwnDestination)
{
    Folders f;
    f.dir.write("Origine/Photos/été.jpg", "jpeg");
    f.dir.write("Origine/Photos/*.jpg", "a star in the name");
    ASSERT_TRUE(QFile::link(f.dir("Origine/Photos"), f.dir("Origine/lien-dossier")));
    ASSERT_TRUE(QFile::link(f.dir("Origine/Photos/été.jpg"), f.dir("Origine/lien.jpg")));
    ASSERT_TRUE(QFile::link(f.dir("absent"), f.dir("Origine/mort.jpg")));
    f.dir.write("Origine/.git/config", "hidden folder");
    const QString inside = f.dir.mkdir("Origine/Copie") + '/';

    for (int round = 0; round < 2; ++round) {
        RecordingObserver observer;
        const RunOutcome outcome
            = runProject(makeRequest(f.app, {makeAction(f.origin, inside, "OUI")}), observer);
        EXPECT_EQ(outcome.totalFiles, round == 0 ? 3 : 0)
            << observer.lines.join(QChar(10)).toStdString();
    }
    EXPECT_TRUE(QFileInfo(f.dir("Origine/Copie/lien.jpg")).isFile());
    EXPECT_FALSE(QFileInfo(f.dir("Origine/Copie/lien.jpg")).isSymLink());
    EXPECT_EQ(readFile(f.dir("Origine/Copie/Photos/*.jpg")), "a star in the name");
    for (const char *skipped : {"Copie", "lien-dossier", ".git"})
        EXPECT_FALSE(QFile::exists(inside + skipped)) << skipped;
}

// Past the old limit of 32,000 files every file is copied; the long report is flushed, not lost.
TEST(Run, ListsEveryFileAndFlushesLongReports)
{
    // Thousands of new files are quick to make in memory, slow on some disks.
    Folders f(
        QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath());
    f.dir.mkdir("Origine/lot");
    for (int i = 0; i <= 32000; ++i)
        touch(QFile::encodeName(f.origin) + "lot/f" + QByteArray::number(i).rightJustified(5, '0'));
    RecordingObserver observer;
    const RunOutcome outcome = f.run(observer);

    EXPECT_EQ(outcome.totalFiles, 32001);
    EXPECT_TRUE(QFile::exists(f.dir("Destination/lot/f32000")));
    EXPECT_TRUE(observer.lines.contains(foundLine(32001)));
    EXPECT_EQ(observer.flushes, 1);
    EXPECT_EQ(readFile(f.app + "Sauvegarde.log"), asReportFile(observer.lines));
}

// A folder that cannot be read (to "nobody": root reads all) ends the run as a fatal error.
TEST(Run, AnUnreadableFolderIsAFatalError)
{
    Folders f;
    f.dir.write("Origine/ouvert/a.txt");
    f.dir.write("Origine/ferme/b.txt");
    for (const QString &path :
        {f.dir.path(), f.origin, f.destination, f.app, f.dir("Origine/ouvert")})
        ::chmod(QFile::encodeName(path).constData(), 0777);
    ::chmod(QFile::encodeName(f.dir("Origine/ferme")).constData(), 0);

    EXPECT_TRUE(AsNobody([&] {
        RecordingObserver observer;
        const RunOutcome outcome = f.run(observer);
        return outcome.status == RunOutcome::Status::Failed && outcome.errorNumber == EACCES;
    }));
    ::chmod(QFile::encodeName(f.dir("Origine/ferme")).constData(), 0755);
    const QStringList saved = QString::fromUtf8(readFile(f.app + "Sauvegarde.log")).split("\r\n");
    const QString fatal
        = ">> Erreur fatale rencontrée! : 13 - Permission refusée (" + f.origin + "ferme/) !!!";
    EXPECT_EQ(saved.mid(saved.size() - 6),
        (QStringList {" ", fatal, " ", "=========================================", " ", ""}));
}

// A run that could not reach a folder did not do what it was asked: front ends that nobody
// watches (the exit status, the notification) must hear of it, though no copy failed.
TEST(Run, AMissingFolderIsAnError)
{
    for (const QString missing : {"Destination", "Origine"})
        for (const QString inclSub : {"OUI", "NON"}) {
            SCOPED_TRACE((missing + ' ' + inclSub).toStdString());
            Folders f;
            f.dir.write("Origine/sous/a.txt");
            f.dir.write("Origine/b.txt");
            ASSERT_TRUE(QDir(f.dir(missing)).removeRecursively());
            RecordingObserver observer;
            const RunOutcome outcome = f.run(observer, inclSub);
            EXPECT_EQ(outcome.status, RunOutcome::Status::Finished);
            EXPECT_TRUE(outcome.copyErrors);
        }
}
