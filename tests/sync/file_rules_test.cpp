#include "destination_volume.h"
#include "file_step.h"
#include "report_file.h"
#include "run_context.h"

#include <gtest/gtest.h>

TEST(MustCopy, TriesTheSizeFirstThenTheDate)
{
    struct Case {
        bool dstExists;
        qint64 srcLen, dstLen, srcDate, dstDate;
        const char *size, *date;
        bool copy;
    };
    const Case cases[] = {
        {false, 1, 1, 1, 1, "<>", ">", true}, // missing destination file
        {true, 2, 1, 1, 1, "<>", ">", true}, // sizes differ
        {true, 1, 1, 2, 1, "<>", ">", true}, // same size, origin newer
        {true, 1, 1, 1, 2, "<>", ">", false}, // same size, origin older
        {true, 1, 1, 1, 2, "<>", "<>", true}, // dates differ
        {true, 1, 2, 1, 2, ">", ">", false}, // destination larger and newer
        {true, 3, 2, 1, 2, ">", ">", true}, // origin larger, whatever the dates
        {true, 1, 1, 1, 1, "<>", "x", true}, // an unknown criterion copies
    };
    for (const Case &c : cases) {
        const FileCompare file {
            {}, c.srcLen, c.srcDate, c.dstLen, c.dstDate, 0, false, c.dstExists};
        EXPECT_EQ(MustCopy(file, c.size, c.date), c.copy) << "case " << &c - cases;
    }
}

TEST(ReportFile, KeepsEveryReportInsideTheApplicationFolder)
{
    EXPECT_EQ(ReportFilePath("/app/", "../../etc/x"), "/app/.._.._etc_x.log");
    EXPECT_EQ(ReportFilePath("/app/", QString("a") + QChar(0) + "b"), "/app/a_b.log");
    EXPECT_EQ(ReportFilePath("/app/", " l'été * ? "), "/app/ l'été * ? .log");
}

// Times compare as the destination's file system keeps them: to the second on ordinary disks;
// on FAT, exFAT and shares to 2 seconds, and an hour apart with the same size is a
// daylight-saving shift (or a server an hour off).
TEST(MustCopy, ComparesTimesAsTheDestinationKeepsThem)
{
    struct Case {
        const char *type;
        qint64 apart; // origin minus copy, in seconds
        bool sameSize;
        int newer;
    };
    const Case cases[] = {
        {"tmpfs", -3600, true, -1}, // an hour apart is no shift here
        {"ntfs3", 3600, true, 1},
        {"vfat", 1, true, 0},
        {"vfat", 2, true, 1},
        {"exfat", -3600, true, 0},
        {"fuseblk", 3601, true, 0},
        {"msdos", 3602, true, 1},
        {"vfat", 3600, false, 1},
        {"cifs", -3601, true, 0},
    };
    for (const Case &c : cases) {
        const qint64 copy = 1'600'000'000;
        EXPECT_EQ(
            CompareTimes(copy + c.apart, copy, VolumeOfType(c.type).times, c.sameSize), c.newer)
            << c.type << " " << c.apart;
    }
}

// The names FAT, exFAT, NTFS and SMB refuse, or that Windows cannot open.
TEST(WindowsCanHold, RefusesReservedCharactersControlsTrailingDotsAndSpaces)
{
    for (const char *name : {"été 2026.jpg", ".cache", "[1] (2) #3 & ~"})
        EXPECT_TRUE(WindowsCanHold(name)) << name;
    for (const char *name : {"a\\b", "a:b", "a*b", "a?b", "a\"b", "a<b", "a>b", "a|b", "tab\tx",
             "fin.", "fin ", "latin-\xe9.txt"})
        EXPECT_FALSE(WindowsCanHold(name)) << name;
    // Drives formatted for Windows, as their drivers name them in the mount table.
    for (const char *type : {"vfat", "fuse.fusefat", "exfat", "fuseblk"})
        EXPECT_TRUE(VolumeOfType(type).windowsNames && VolumeOfType(type).caseBlind) << type;
    EXPECT_FALSE(VolumeOfType("ext4").windowsNames || VolumeOfType("ext4").caseBlind);
}
