#include "mounted_volume.h"
#include "run_fixture.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

// Runs onto real FAT32, exFAT and NTFS file systems, mounted through FUSE as a desktop mounts
// sticks and drives.

namespace {

using Kind = MountedVolume::Kind;

const QString unchanged = QStringLiteral(" - (Pas de modification)");

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

// A stick mounted read-only refuses every copy as a read-only file; a time a stick cannot hold
// (before 1980) leaves the copy standing, with a note.
TEST(RealVolumes, ARefusingStickGivesEachFileItsCause)
{
    Folders f;
    f.dir.write("Origine/a.txt", "a");
    {
        MountedVolume locked(Kind::Fat32, f.dir.mkdir("ro") + '/', 8, true);
        ASSERT_TRUE(locked.ready()) << locked.failure().toStdString();
        RecordingObserver observer;
        runOnto(f, locked.path(), observer);
        EXPECT_EQ(fileLines(observer.lines),
            QStringList {
                failed("a.txt", "le fichier est en lecture seule ou bloqué par le système!")});
    }
    setModified(f.dir("Origine/a.txt"), 170'000'000); // 1975
    MountedVolume stick(Kind::Fat32, f.dir.mkdir("rw") + '/', 8);
    ASSERT_TRUE(stick.ready()) << stick.failure().toStdString();
    RecordingObserver observer;
    const RunOutcome outcome = runOnto(f, stick.path(), observer);
    EXPECT_EQ(fileLines(observer.lines),
        (QStringList {"     a.txt - (copié)",
            "     >>  a.txt - (Nota: la destination n'a pas gardé la date de modification!)"}));
    EXPECT_FALSE(outcome.copyErrors);
    EXPECT_EQ(outcome.totalFiles, 1);
    EXPECT_EQ(readFile(stick.path() + "a.txt"), "a");
}

// A stick pulled out in the middle of a run: the run ends, each file it could not copy says so,
// and the report says that the copies may not be on the stick.
TEST(RealVolumes, APulledOutStickEndsTheRunWithItsErrors)
{
    Folders f;
    for (int i = 0; i < 40; ++i)
        f.dir.write(QStringLiteral("Origine/d%1/f%2.bin").arg(i % 2).arg(i, 2, 10, QChar('0')),
            QByteArray(64 * 1024, 'p'));
    MountedVolume stick(Kind::Fat32, f.dir.path(), 16);
    ASSERT_TRUE(stick.ready()) << stick.failure().toStdString();
    RecordingObserver observer;
    observer.onLine = [&](const QString &line) {
        if (line.endsWith("(copié)"))
            stick.pull();
    };
    const RunOutcome outcome = runOnto(f, stick.path(), observer);

    EXPECT_EQ(outcome.status, RunOutcome::Status::Finished);
    EXPECT_TRUE(outcome.copyErrors);
    const QStringList lines = fileLines(observer.lines);
    EXPECT_EQ(lines.filter(" - (copié)").size(), outcome.totalFiles);
    // A file whose date was being set when the stick went is copied, and says the date was lost.
    EXPECT_EQ(lines.filter("(Erreur: erreur d'entrée/sortie, le support a-t-il été retiré?)").size()
            + lines.filter("Création du dossier").size() + outcome.totalFiles
            + lines.filter("(Nota: la destination n'a pas gardé la date").size(),
        lines.size())
        << lines.join('\n').toStdString();
    EXPECT_LT(outcome.totalFiles, 40);
    EXPECT_TRUE(
        observer.lines.contains("    >> Erreur: les copies n'ont pas pu être écrites sur le "
                                "support ("
            + stick.path() + " : Le support n'est plus connecté)!"));
}

// An exFAT drive on a loop device, as a desktop mounts one: a simulation warns that the copies
// will not fit; the real run copies what fits (accents, odd seconds), names the file that fills
// the drive, and has its copies on the device itself when it ends; the next run finds them.
TEST(RealVolumes, AnExFatDriveHasTheCopiesOnTheDeviceAtTheEnd)
{
    Folders f;
    MountedVolume drive(Kind::ExFat, f.dir.path(), 16);
    ASSERT_TRUE(drive.ready()) << drive.failure().toStdString();
    const QByteArray marker = "Tandrel-" + QByteArray::number(::getpid()) + "-journal ";
    setModified(f.dir.write("Origine/Été/journal.txt", marker.repeated(1000)), 1'600'000'001);
    QFile big(f.dir("Origine/gros.bin"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly) && big.resize(32 << 20)); // sparse
    big.close();
    struct statvfs fs { };
    ASSERT_EQ(::statvfs(QFile::encodeName(drive.path()).constData(), &fs), 0);
    const qint64 block = qint64(fs.f_frsize);
    const qint64 need = (32 << 20) + (marker.size() * 1000 + block - 1) / block * block;

    RecordingObserver simulation;
    runOnto(f, drive.path(), simulation, RunMode::Simulate);
    const QLocale german(QLocale::German);
    const QString warning = "    - Attention : la destination n'a que "
        + german.toString(qint64(fs.f_bavail) * block) + " octets libres, les copies en demandent "
        + german.toString(need) + '!';
    EXPECT_EQ(simulation.lines.filter("Attention").join('\n'), warning);
    EXPECT_EQ(simulation.lines[simulation.lines.indexOf(warning) - 1],
        "        2 de 2 fichier(s) copié(s), taille des fichier(s)= "
            + german.toString((32 << 20) + marker.size() * 1000) + " octets");

    RecordingObserver real;
    runOnto(f, drive.path(), real);
    EXPECT_EQ(fileLines(real.lines),
        (QStringList {failed("gros.bin", "la destination est pleine!"),
            "     été/journal.txt - (copié)"})); // its folder was made by the simulation
    EXPECT_TRUE(readFile(drive.image()).contains(marker)) << "not on the device";
    EXPECT_TRUE(real.lines.filter("Attention").isEmpty());

    RecordingObserver again;
    const RunOutcome outcome = runOnto(f, drive.path(), again);
    EXPECT_EQ(fileLines(again.lines)[1], "     été/journal.txt - (Pas de modification)");
    EXPECT_EQ(outcome.totalFiles, 0);
}

// An NTFS drive as a desktop mounts it (ntfs-3g on the device): its driver would take names that
// Windows cannot open, and two names that only differ by case; Tandrel keeps to what Windows
// reads. Times are kept: the next run copies nothing.
TEST(RealVolumes, AnNtfsDriveGetsOnlyWhatWindowsCanOpen)
{
    Folders f;
    MountedVolume drive(Kind::Ntfs, f.dir.path(), 16);
    ASSERT_TRUE(drive.ready()) << drive.failure().toStdString();
    for (const char *name : {"Rapport: final.txt", "Photo.JPG", "photo.jpg", "ok.txt"})
        f.dir.write(QStringLiteral("Origine/") + name, name);
    RecordingObserver first;
    runOnto(f, drive.path(), first, RunMode::Synchronize, "NON");
    EXPECT_EQ(fileLines(first.lines),
        (QStringList {"     ok.txt - (copié)", "     photo.jpg - (copié)",
            failed("photo.jpg", "nom déjà pris dans la destination, seule la casse diffère!"),
            failed(
                "rapport: final.txt", "nom de fichier que la destination ne peut pas contenir!")}));
    EXPECT_EQ(everything(drive.path()), (QStringList {"Photo.JPG", "ok.txt"}));

    RecordingObserver second;
    const RunOutcome outcome = runOnto(f, drive.path(), second, RunMode::Synchronize, "NON");
    EXPECT_EQ(fileLines(second.lines).first(2),
        (QStringList {"     ok.txt" + unchanged, "     photo.jpg" + unchanged}));
    EXPECT_EQ(outcome.totalFiles, 0);
}
