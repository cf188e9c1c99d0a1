#include "schedule_file.h"
#include "temp_dir.h"

#include <QFile>

#include <gtest/gtest.h>

TEST(ScheduleFile, FirstLoadWritesTheDefaultsAndSavingReadsBack)
{
    TempDir dir;
    const Schedule first = LoadSchedule(dir.path());
    EXPECT_EQ(first.SchTemplate, "- Aucun -");
    EXPECT_EQ(first.SchDate, "");
    EXPECT_EQ(first.SchTime, "");
    EXPECT_FALSE(first.SchDaily);
    EXPECT_FALSE(first.SchEnabled);
    EXPECT_EQ(readFile(dir("TDRL-timer.tmr")),
        "[Timer]\r\nTemplate=- Aucun -\r\nDate=\r\nTime=\r\nDaily=NON\r\nEnabled=NON\r\n");

    const Schedule saved {"Photos", "24.12.2026", "07:05", true, true};
    ASSERT_TRUE(SaveSchedule(dir.path(), saved));
    const Schedule loaded = LoadSchedule(dir.path());
    EXPECT_EQ(loaded.SchTemplate, "Photos");
    EXPECT_EQ(loaded.SchDate, "24.12.2026");
    EXPECT_EQ(loaded.SchTime, "07:05");
    EXPECT_TRUE(loaded.SchDaily);
    EXPECT_TRUE(loaded.SchEnabled);

    ASSERT_TRUE(SwitchScheduleOff(dir.path()));
    EXPECT_FALSE(LoadSchedule(dir.path()).SchEnabled);
    EXPECT_TRUE(readFile(dir("TDRL-timer.tmr")).endsWith("Daily=OUI\r\nEnabled=NON\r\n"));
}

TEST(ScheduleFile, ReadsFlagsInAnyCaseAndOddFilesWithoutHarm)
{
    TempDir dir;
    const QByteArray longTime(300, '9');
    dir.write("TDRL-timer.tmr", "[timer]\nDaily=non\nEnabled=oui\nTime=" + longTime + "\n");
    Schedule schedule = LoadSchedule(dir.path());
    EXPECT_TRUE(schedule.SchEnabled);
    EXPECT_FALSE(schedule.SchDaily);
    EXPECT_EQ(schedule.SchTime, QString::fromLatin1(longTime));

    const QByteArray binary("\x00\xFF\xFE[Timer\x01=\x00\n\x7F", 13);
    for (const QByteArray &content : {QByteArray(), binary}) {
        dir.write("TDRL-timer.tmr", content);
        schedule = LoadSchedule(dir.path());
        EXPECT_EQ(schedule.SchTemplate, "- Aucun -");
        EXPECT_FALSE(schedule.SchEnabled);
    }

    const QByteArray readOnly = "[Timer]\nTemplate=Photos\nEnabled=OUI\n";
    const QString path = dir.write("TDRL-timer.tmr", readOnly);
    QFile::setPermissions(path, QFile::ReadOwner);
    schedule = LoadSchedule(dir.path());
    EXPECT_EQ(schedule.SchTemplate, "Photos");
    EXPECT_TRUE(schedule.SchEnabled);
    EXPECT_FALSE(SwitchScheduleOff(dir.path()));
    EXPECT_EQ(readFile(path), readOnly);
}
