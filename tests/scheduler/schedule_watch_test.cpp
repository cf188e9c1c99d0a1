#include "schedule_watch.h"

#include <gtest/gtest.h>

namespace {

QDateTime at(const char *text)
{
    return QDateTime::fromString(QString::fromLatin1(text), QStringLiteral("dd.MM.yyyy HH:mm:ss"));
}

} // namespace

TEST(ScheduleWatch, OneTimeScheduleIsDueOnceOnItsDateAndMinute)
{
    const Schedule schedule {"Photos", "24.12.2026", "07:05", false, true};
    WatchState state;
    EXPECT_FALSE(IsDue(schedule, state, at("24.12.2026 07:04:59")));
    EXPECT_TRUE(IsDue(schedule, state, at("24.12.2026 07:05:00")));
    EXPECT_EQ(state.LastSchRunDate, "24.12.2026");
    // Not switched off (the file could not be written): neither a second tick of the minute nor
    // the clock set back over it starts it again.
    EXPECT_FALSE(IsDue(schedule, state, at("24.12.2026 07:05:59")));
    EXPECT_FALSE(IsDue(schedule, state, at("24.12.2026 07:05:30")));

    for (const char *other :
        {"25.12.2026 07:05:00", "24.12.2025 07:05:00", "24.12.2026 19:05:00"}) {
        WatchState fresh;
        EXPECT_FALSE(IsDue(schedule, fresh, at(other))) << other;
    }
    WatchState fresh;
    Schedule off = schedule;
    off.SchEnabled = false;
    EXPECT_FALSE(IsDue(off, fresh, at("24.12.2026 07:05:00")));
    // Ticks skipping the minute (the clock jumped forwards) do not invent a run.
    EXPECT_FALSE(IsDue(schedule, fresh, at("24.12.2026 07:04:59")));
    EXPECT_FALSE(IsDue(schedule, fresh, at("24.12.2026 08:06:00")));
    Schedule oneDigit = schedule;
    oneDigit.SchTime = "7:05";
    EXPECT_FALSE(IsDue(oneDigit, fresh, at("24.12.2026 07:05:00")));
}

TEST(ScheduleWatch, DailyScheduleIsDueOnceADayAcrossMidnight)
{
    const Schedule schedule {"Photos", "", "00:00", true, true};
    WatchState state;
    EXPECT_FALSE(IsDue(schedule, state, at("31.12.2026 23:59:59")));
    EXPECT_TRUE(IsDue(schedule, state, at("01.01.2027 00:00:00")));
    EXPECT_FALSE(IsDue(schedule, state, at("01.01.2027 00:00:01")));
    EXPECT_TRUE(IsDue(schedule, state, at("02.01.2027 00:00:30")));

    // The end of daylight saving time brings 02:30 twice: one run.
    const Schedule night {"Photos", "01.01.2020", "02:30", true, true};
    WatchState dst;
    EXPECT_TRUE(IsDue(night, dst, at("25.10.2026 02:30:00")));
    EXPECT_FALSE(IsDue(night, dst, at("25.10.2026 02:30:00")));
    EXPECT_TRUE(IsDue(night, dst, at("26.10.2026 02:30:00")));
    EXPECT_FALSE(IsDue(night, dst, QDateTime()));
}

TEST(ScheduleWatch, ToolTipsDescribeTheSchedule)
{
    Schedule schedule {"Photos", "24.12.2026", "07:05", false, false};
    EXPECT_EQ(IndicatorToolTip(schedule), "Programmateur - désactivé");
    schedule.SchEnabled = true;
    EXPECT_EQ(IndicatorToolTip(schedule),
        "Programmateur - activé <> Projet : Photos - Départ : 24.12.2026 à 07:05");
    schedule.SchDaily = true;
    EXPECT_EQ(IndicatorToolTip(schedule),
        "Programmateur - activé <> Projet : Photos - Départ : tous les jours à 07:05");
}
