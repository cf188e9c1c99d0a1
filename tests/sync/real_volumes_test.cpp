#include "mounted_volume.h"
#include "run_fixture.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

// Runs onto real FAT32 and exFAT file systems, mounted through FUSE as a desktop mounts a stick.

namespace {

using Kind = MountedVolume::Kind;

const QString unchanged = QStringLiteral(" - (Pas de modification)");

QString failed(const QString &path, const char *cause)
{
    return "     >>  " + path + " - (Erreur: " + QString::fromUtf8(cause) + ')';
}

// The lines of the (first) action between its "found" line and the blank line that follows
// its files.
QStringList fileLines(const QStringList &lines)
{
    qsizetype from = 0;
    while (from < lines.size() && !lines[from].startsWith("    - Filtre de fichiers : "))
        ++from;
    from += 2;
    return lines.mid(from, lines.indexOf(QStringLiteral(" "), from) - from);
}

RunOutcome runOnto(const Folders &f, const QString &destination, RecordingObserver &observer,
    RunMode mode = RunMode::Synchronize, const QString &inclSub = "OUI")
{
    return runProject(
        makeRequest(f.app, {makeAction(f.origin, destination, inclSub)}, mode, true), observer);
}

qint64 modifiedAt(const QString &path)
{
    struct stat st { };
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mtim.tv_sec : -1;
}

} // namespace

// A stick holds no permission bits and keeps times to 2 seconds: private files, scripts and
// odd-second times are copied (their data and time) and, once copied, never copied again.
TEST(RealVolumes, CopiesOntoAFatStickOnceAndForAll)
{
    Folders f;
    MountedVolume stick(Kind::Fat32, f.dir.path());
    ASSERT_TRUE(stick.ready()) << stick.failure().toStdString();
    const QString secret = f.dir.write("Origine/prive.txt", "secret");
    const QString script = f.dir.write("Origine/Outils/lancer.sh", "#!/bin/sh\n");
    ::chmod(QFile::encodeName(secret).constData(), 0600);
    ::chmod(QFile::encodeName(script).constData(), 0755);
    f.dir.write("Origine/Photos/plage.jpg", "jpeg");
    setModified(f.dir("Origine/Photos/plage.jpg"), 1'600'000'001); // odd: the stick keeps ...000

    RecordingObserver first;
    RunOutcome outcome = runOnto(f, stick.path(), first);
    EXPECT_EQ(fileLines(first.lines),
        (QStringList {"     prive.txt - (copié)",
            "    - Nota : Création du dossier destination (" + stick.path().toLower() + "outils/)",
            "     outils/lancer.sh - (copié)",
            "    - Nota : Création du dossier destination (" + stick.path().toLower() + "photos/)",
            "     photos/plage.jpg - (copié)"}));
    EXPECT_FALSE(outcome.copyErrors);
    EXPECT_EQ(outcome.totalFiles, 3);
    EXPECT_EQ(readFile(stick.path() + "prive.txt"), "secret");
    EXPECT_EQ(readFile(stick.path() + "Outils/lancer.sh"), "#!/bin/sh\n");
    EXPECT_LE(std::abs(modifiedAt(stick.path() + "Photos/plage.jpg") - 1'600'000'001), 1);

    RecordingObserver second;
    outcome = runOnto(f, stick.path(), second);
    EXPECT_EQ(fileLines(second.lines),
        (QStringList {"     prive.txt" + unchanged, "     outils/lancer.sh" + unchanged,
            "     photos/plage.jpg" + unchanged}));
    EXPECT_EQ(outcome.totalFiles, 0);
}

// Copies whose stored time lies exactly one hour behind the origin's (a daylight-saving change
// seen on a file system that stores local time), give or take its 2 seconds, are the same files
// on a stick, unless their sizes differ; on an ordinary disk every one of them is older.
TEST(RealVolumes, AStickSeesDaylightSavingShiftsAsNoChange)
{
    Folders f;
    MountedVolume stick(Kind::Fat32, f.dir.path());
    ASSERT_TRUE(stick.ready()) << stick.failure().toStdString();
    const qint64 t = 1'600'000'001; // odd: the stick keeps ...000
    const struct {
        const char *name;
        qint64 shift; // of the copy's time
        bool larger; // the copy is one byte larger: the date rule decides
        bool copiedOnStick;
    } cases[] = {{"ete.txt", -3600, false, false}, {"hiver.txt", -3599, false, false},
        {"proche.txt", -1, false, false}, {"heure-et-plus.txt", -3610, false, true},
        {"autre-taille.txt", -3600, true, true}};
    for (const QString &destination : {stick.path(), f.destination}) {
        QStringList expected;
        for (const auto &c : cases) {
            setModified(f.dir.write(QStringLiteral("Origine/") + c.name, "contenu"), t);
            QFile copy(destination + c.name);
            ASSERT_TRUE(copy.open(QIODevice::WriteOnly)); // as a first run copied it
            copy.write(c.larger ? "contenu+" : "contenu");
            copy.close();
            setModified(copy.fileName(), t + c.shift);
            const bool copied = destination == f.destination || c.copiedOnStick;
            expected << "     " + QString(c.name) + (copied ? " - (copié)" : unchanged);
        }
        Action action = makeAction(f.origin, destination, "NON");
        action.fileSize = ">"; // a larger copy is left to the date rule
        RecordingObserver observer;
        runProject(makeRequest(f.app, {action}, RunMode::Synchronize, true), observer);
        expected.sort();
        QStringList lines = fileLines(observer.lines);
        lines.sort();
        EXPECT_EQ(lines, expected) << destination.toStdString();
    }
}

// What a stick cannot hold gets its error line with its own cause, in a simulation first, then
// in the real run, which goes on with the other files and never copies a file over another:
// names with characters FAT refuses (in a file or a folder), a trailing dot, a second name that
// only differs by case, a file over 4 GiB - 1 byte (refused at once, without writing).
TEST(RealVolumes, WhatAStickCannotHoldGetsItsCause)
{
    Folders f;
    MountedVolume stick(Kind::Fat32, f.dir.path());
    ASSERT_TRUE(stick.ready()) << stick.failure().toStdString();
    for (const char *name : {"notes:2026.txt", "quoi?.txt", "fin.", "a:b/x.txt", "ok.txt"})
        f.dir.write(QStringLiteral("Origine/") + name, name);
    f.dir.write("Origine/Lisez-moi.txt", "first");
    f.dir.write("Origine/LISEZ-MOI.txt", "second");
    QFile huge(f.dir("Origine/énorme.bin"));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly) && huge.resize((4LL << 30) + 1)); // sparse
    huge.close();

    const char *badName = "nom de fichier que la destination ne peut pas contenir!";
    const QStringList expected {failed("fin.", badName), "     lisez-moi.txt - (copié)",
        failed("lisez-moi.txt", "nom déjà pris dans la destination, seule la casse diffère!"),
        failed("notes:2026.txt", badName), "     ok.txt - (copié)", failed("quoi?.txt", badName),
        failed("énorme.bin", "fichier trop grand pour le système de fichiers de la destination!"),
        failed("a:b/x.txt", badName)};
    for (const RunMode mode : {RunMode::Simulate, RunMode::Synchronize}) {
        RecordingObserver observer;
        const RunOutcome outcome = runOnto(f, stick.path(), observer, mode);
        EXPECT_EQ(fileLines(observer.lines), expected);
        EXPECT_TRUE(outcome.copyErrors);
        EXPECT_EQ(outcome.totalFiles, 2);
    }
    EXPECT_EQ(everything(stick.path()), (QStringList {"LISEZ-MOI.txt", "ok.txt"}));
    const QString kept = QDir(stick.path()).entryList({"lisez-moi.txt"}).value(0);
    EXPECT_EQ(readFile(stick.path() + kept), "second"); // the first listed
}
