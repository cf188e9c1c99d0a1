#include "missed_schedule.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

static QDateTime at(const char *text)
{
    return QDateTime::fromString(QString::fromLatin1(text), "dd.MM.yyyy HH:mm:ss");
}

TEST(MissedSchedule, WhatFellDueWithoutItsRun)
{
    const Schedule once {"Photos", "24.12.2026", "07:05", false, true};
    const Schedule daily {"Photos", "", "07:05", true, true};
    Schedule off = once;
    off.SchEnabled = false;
    const QDate noRun;
    const QDate ranOn23 = QDate(2026, 12, 23), ranOn24 = ranOn23.addDays(1);
    const char *const due = "24.12.2026 07:05:00";
    struct Case {
        Schedule schedule;
        QDate lastDailyRun;
        const char *now;
        const char *missed; // "" when nothing was missed
    } const cases[] = {
        {once, noRun, "24.12.2026 07:06:00", due},
        {once, noRun, "24.12.2026 07:05:59", ""}, // inside its minute: the watcher's
        {once, ranOn24, "25.12.2026 09:00:00", due}, {off, noRun, "25.12.2026 09:00:00", ""},
        {daily, ranOn23, "24.12.2026 23:59:59", due}, {daily, ranOn24, "24.12.2026 23:59:59", ""},
        {daily, ranOn24, "23.12.2026 08:00:00", ""}, // the clock set back below the last run
    };
    for (const Case &c : cases)
        EXPECT_EQ(MissedRun(c.schedule, c.lastDailyRun, at(c.now)), at(c.missed))
            << c.now << " " << c.schedule.SchDaily;
}

TEST(MissedSchedule, OnlyALeapOfTheWallClockAsksForALook)
{
    const QDateTime tick = at("24.12.2026 07:00:00");
    // A dialog that held the watcher for an hour; a night asleep; the clock set back.
    EXPECT_FALSE(ClockLeaptForward(tick, tick.addSecs(3600), 3600 * 1000));
    EXPECT_TRUE(ClockLeaptForward(tick, tick.addSecs(8 * 3600), 1000));
    EXPECT_FALSE(ClockLeaptForward(tick, tick.addDays(-1), 1000));
}

TEST(MissedSchedule, TheLastDailyRunIsAnExtraKeyOfTheScheduleFile)
{
    TempDir dir;
    // A file from before the key; the dialog's save keeps the key.
    const QByteArray older = "[Timer]\r\nTemplate=Photos\r\nTime=07:05\r\nDaily=OUI\r\n";
    dir.write("TDRL-timer.tmr", older);
    EXPECT_FALSE(LoadLastDailyRun(dir.path()).isValid());
    ASSERT_TRUE(SaveLastDailyRun(dir.path(), QDate(2026, 12, 24)));
    ASSERT_TRUE(SaveSchedule(dir.path(), LoadSchedule(dir.path())));
    EXPECT_EQ(LoadLastDailyRun(dir.path()), QDate(2026, 12, 24));
}
