#include "mounted_volume.h"
#include "run_fixture.h"

#include <QFileInfo>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

using Kind = MountedVolume::Kind;

const QString unchanged = QStringLiteral(" - (Pas de modification)");

RunOutcome runOnto(const Folders &f, const QString &destination, RecordingObserver &observer,
    RunMode mode = RunMode::Synchronize, const QString &inclSub = "OUI")
{
    return runProject(
        makeRequest(f.app, {makeAction(f.origin, destination, inclSub)}, mode, true), observer);
}

} // namespace

// A stick holds no permission bits and keeps times to 2 seconds from 1980: private files,
// scripts and odd-second times are copied (their data and time; an older time with a note)
// and, once copied, never copied again.
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
    setModified(f.dir.write("Origine/ancien.txt"), 170'000'000); // 1975

    RecordingObserver first, second;
    RunOutcome outcome = runOnto(f, stick.path(), first);
    EXPECT_FALSE(outcome.copyErrors) << first.lines.join('\n').toStdString();
    EXPECT_EQ(outcome.totalFiles, 4);
    EXPECT_TRUE(first.lines.contains(
        "     >>  ancien.txt - (Nota: la destination n'a pas gardé la date de modification!)"));
    EXPECT_EQ(readFile(stick.path() + "prive.txt"), "secret");
    EXPECT_EQ(readFile(stick.path() + "Outils/lancer.sh"), "#!/bin/sh\n");
    const QDateTime kept = QFileInfo(stick.path() + "Photos/plage.jpg").lastModified();
    EXPECT_LE(std::abs(kept.toSecsSinceEpoch() - 1'600'000'001), 1);

    outcome = runOnto(f, stick.path(), second);
    EXPECT_EQ(fileLines(second.lines).filter(unchanged).size(), 4);
    EXPECT_EQ(outcome.totalFiles, 0);

    // Read back from the stick (probed ahead, being slow), its top folder only, over an old
    // copy: once and whole.
    setModified(f.dir.write("Retour/prive.txt", "ancien"), 1'000'000'000);
    const Action back = makeAction(stick.path(), f.dir("Retour"), "NON");
    for (const int copies : {2, 0}) {
        RecordingObserver observer;
        outcome = runProject(makeRequest(f.app, {back}), observer);
        EXPECT_EQ(outcome.totalFiles, copies) << observer.lines.join('\n').toStdString();
    }
    EXPECT_EQ(readFile(f.dir("Retour/prive.txt")), "secret");

    // A file replaced on the stick, whose driver knows no rename flags, is kept, its name as it
    // was.
    f.dir.write("volume/Mes Notes.Txt", "edited on the stick");
    f.dir.write("Origine/Mes Notes.Txt", "origin");
    Action keep = makeAction(f.origin, stick.path(), "NON");
    keep.keepVersions = "OUI";
    RecordingObserver third;
    runProject(makeRequest(f.app, {keep}), third);
    EXPECT_EQ(readFile(stick.path() + ".tandrel-versions/2026-12-05_140327/Mes Notes.Txt"),
        "edited on the stick");
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
    ASSERT_TRUE(QFile(f.dir.write("Origine/énorme.bin")).resize((4LL << 30) + 1)); // sparse

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

    EXPECT_TRUE(outcome.copyErrors && outcome.status == RunOutcome::Status::Finished);
    const QStringList lines = fileLines(observer.lines);
    EXPECT_EQ(lines.filter(" - (copié)").size(), outcome.totalFiles);
    // A file whose date was being set when the stick went is copied, and says the date was lost;
    // each file of a folder not made yet when it went says that the destination is gone.
    EXPECT_EQ(lines.filter("(Erreur: erreur d'entrée/sortie, le support a-t-il été retiré?)").size()
            + lines.filter("Création du dossier").size() + outcome.totalFiles
            + lines.filter("(Nota: la destination n'a pas gardé la date").size()
            + lines.filter("Erreur: Le dossier destination n'existe pas!").size(),
        lines.size())
        << lines.join('\n').toStdString();
    EXPECT_LT(outcome.totalFiles, 40);
    EXPECT_TRUE(observer.lines.contains("    >> Erreur: les copies n'ont pas pu être écrites sur "
                                        "le support ("
        + stick.path() + " : Le support n'est plus connecté)!"));
}

// An exFAT drive on a loop device: a simulation warns once that the copies will not fit; the
// real run copies what fits (accents, odd seconds), names the file that fills the drive, and
// has its copies on the device itself when it ends; the next run finds them.
TEST(RealVolumes, AnExFatDriveHasTheCopiesOnTheDeviceAtTheEnd)
{
    Folders f;
    MountedVolume drive(Kind::ExFat, f.dir.path(), 16);
    ASSERT_TRUE(drive.ready()) << drive.failure().toStdString();
    const QByteArray marker = "Tandrel-" + QByteArray::number(::getpid()) + "-journal ";
    setModified(f.dir.write("Origine/Été/journal.txt", marker.repeated(1000)), 1'600'000'001);
    ASSERT_TRUE(QFile(f.dir.write("Origine/gros.bin")).resize(32 << 20)); // sparse
    RecordingObserver simulation;
    runOnto(f, drive.path(), simulation, RunMode::Simulate);
    EXPECT_EQ(simulation.lines.filter("    - Attention : la destination n'a que ").size(), 1);

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
