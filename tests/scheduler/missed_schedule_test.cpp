#include "missed_schedule.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

namespace {

QDateTime at(const char *text)
{
    return QDateTime::fromString(QString::fromLatin1(text), "dd.MM.yyyy HH:mm:ss");
}

QDate day(const char *text)
{
    return QDate::fromString(QString::fromLatin1(text), "dd.MM.yyyy");
}

} // namespace

TEST(MissedSchedule, WhatFellDueWithoutItsRun)
{
    const Schedule once {"Photos", "24.12.2026", "07:05", false, true};
    const Schedule daily {"Photos", "", "07:05", true, true};
    Schedule off = once, badDate = once, badTime = daily, oneDigit = daily;
    off.SchEnabled = false;
    badDate.SchDate = "31.02.2026";
    badTime.SchTime = "24:61";
    oneDigit.SchTime = "7:05";
    struct Case {
        const char *what;
        Schedule schedule;
        const char *lastDailyRun;
        const char *now;
        const char *missed; // "" when nothing was missed
    };
    const Case cases[] = {
        {"one-time, the day after", once, "", "25.12.2026 09:00:00", "24.12.2026 07:05:00"},
        {"one-time, a year after", once, "", "24.12.2027 07:05:00", "24.12.2026 07:05:00"},
        {"one-time, the next minute", once, "", "24.12.2026 07:06:00", "24.12.2026 07:05:00"},
        {"one-time, inside its minute", once, "", "24.12.2026 07:05:59", ""},
        {"one-time, not yet", once, "", "24.12.2026 07:04:00", ""},
        {"one-time, a daily run recorded", once, "25.12.2026", "25.12.2026 09:00:00",
            "24.12.2026 07:05:00"},
        {"switched off", off, "", "25.12.2026 09:00:00", ""},
        {"no such date", badDate, "", "01.01.2027 00:00:00", ""},
        {"daily, never run", daily, "", "24.12.2026 07:06:00", "24.12.2026 07:05:00"},
        {"daily, run yesterday", daily, "23.12.2026", "24.12.2026 23:59:59", "24.12.2026 07:05:00"},
        {"daily, run last year", daily, "24.12.2025", "24.12.2026 08:00:00", "24.12.2026 07:05:00"},
        {"daily, run today", daily, "24.12.2026", "24.12.2026 23:59:59", ""},
        {"daily, clock set back below the last run", daily, "25.12.2026", "24.12.2026 08:00:00",
            ""},
        {"daily, inside its minute", daily, "", "24.12.2026 07:05:30", ""},
        {"daily, not yet today", daily, "23.12.2026", "24.12.2026 07:04:59", ""},
        {"daily, no such time", badTime, "", "24.12.2026 23:59:59", ""},
        {"daily, hour of one digit", oneDigit, "", "24.12.2026 23:59:59", ""},
        {"no clock", daily, "", "", ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(MissedRun(c.schedule, day(c.lastDailyRun), at(c.now)), at(c.missed)) << c.what;
}

TEST(MissedSchedule, OnlyALeapOfTheWallClockAsksForALook)
{
    const QDateTime tick = at("24.12.2026 07:00:00");
    // Ticks late because the program was busy, or a dialog held the watcher for an hour: the
    // monotonic clock went by as much as the wall clock.
    EXPECT_FALSE(ClockLeaptForward(tick, tick.addSecs(1), 1000));
    EXPECT_FALSE(ClockLeaptForward(tick, tick.addSecs(3600), 3600 * 1000));
    EXPECT_FALSE(ClockLeaptForward(tick, tick.addSecs(30), 0));
    // A night asleep, or the clock set forwards by a day.
    EXPECT_TRUE(ClockLeaptForward(tick, tick.addSecs(8 * 3600), 1000));
    EXPECT_TRUE(ClockLeaptForward(tick, tick.addDays(1), 0));
    // The clock set back, the first tick, no clock.
    EXPECT_FALSE(ClockLeaptForward(tick, tick.addDays(-1), 1000));
    EXPECT_FALSE(ClockLeaptForward(QDateTime(), tick, 1000));
    EXPECT_FALSE(ClockLeaptForward(tick, QDateTime(), 1000));
}

TEST(MissedSchedule, TheLastDailyRunIsAnExtraKeyOfTheScheduleFile)
{
    TempDir dir;
    // A file written before the key existed: the schedule reads as before, the key is absent
    // and reading it writes nothing.
    const QByteArray older = "[Timer]\r\nTemplate=Photos\r\nTime=07:05\r\nDaily=OUI\r\n"
                             "Enabled=OUI\r\n";
    dir.write("TDRL-timer.tmr", older);
    EXPECT_FALSE(LoadLastDailyRun(dir.path()).isValid());
    EXPECT_EQ(readFile(dir("TDRL-timer.tmr")), older);

    ASSERT_TRUE(SaveLastDailyRun(dir.path(), day("24.12.2026")));
    EXPECT_EQ(LoadLastDailyRun(dir.path()), day("24.12.2026"));
    EXPECT_TRUE(readFile(dir("TDRL-timer.tmr")).endsWith("LastDailyRun=24.12.2026\r\n"));
    const Schedule schedule = LoadSchedule(dir.path());
    EXPECT_TRUE(schedule.SchDaily && schedule.SchEnabled);
    EXPECT_EQ(schedule.SchTime, "07:05");
    // Saving the dialog's five keys keeps the last run.
    ASSERT_TRUE(SaveSchedule(dir.path(), schedule));
    EXPECT_EQ(LoadLastDailyRun(dir.path()), day("24.12.2026"));

    for (const char *garbage : {"", "hier", "32.12.2026", "2026-12-24", "24.12.2026 07:05"}) {
        dir.write("TDRL-timer.tmr", "[Timer]\nLastDailyRun=" + QByteArray(garbage) + "\n");
        EXPECT_FALSE(LoadLastDailyRun(dir.path()).isValid()) << garbage;
    }
}
