#include "schedule_watch.h"

#include <gtest/gtest.h>

// Runs the watcher over ticks ("dd.MM.yyyy HH:mm:ss", "" for an invalid clock): "1" for each due
// tick, "0" for the others.
static std::string due(const Schedule &schedule, WatchState &state, const QStringList &ticks)
{
    std::string out;
    for (const QString &tick : ticks)
        out += IsDue(schedule, state, QDateTime::fromString(tick, "dd.MM.yyyy HH:mm:ss")) ? '1'
                                                                                          : '0';
    return out;
}

TEST(ScheduleWatch, OneTimeScheduleIsDueOnceOnItsDateAndMinute)
{
    const Schedule once {"Photos", "24.12.2026", "07:05", false, true};
    // Not switched off (the file could not be written): neither a second tick of the minute nor
    // the clock set back over it starts it again.
    WatchState state, fresh;
    EXPECT_EQ(due(once, state,
                  {"24.12.2026 07:04:59", "24.12.2026 07:05:00", "24.12.2026 07:05:59",
                      "24.12.2026 07:05:30"}),
        "0100");
    EXPECT_EQ(state.LastSchRunDate, "24.12.2026");
    // Another day, year or hour; ticks skipping the minute (the clock jumped forwards).
    EXPECT_EQ(due(once, fresh,
                  {"25.12.2026 07:05:00", "24.12.2025 07:05:00", "24.12.2026 19:05:00",
                      "24.12.2026 07:04:59", "24.12.2026 08:06:00"}),
        "00000");
    // Switched off, or a time not written "hh:mm".
    EXPECT_EQ(due({"Photos", "24.12.2026", "07:05", false, false}, fresh, {"24.12.2026 07:05:00"})
            + due({"Photos", "24.12.2026", "7:05", false, true}, fresh, {"24.12.2026 07:05:00"}),
        "00");
}

TEST(ScheduleWatch, DailyScheduleIsDueOnceADayAcrossMidnight)
{
    WatchState state, dst;
    EXPECT_EQ(due({"Photos", "", "00:00", true, true}, state,
                  {"31.12.2026 23:59:59", "01.01.2027 00:00:00", "01.01.2027 00:00:01",
                      "02.01.2027 00:00:30"}),
        "0101");
    // The end of daylight saving time brings 02:30 twice: one run. An invalid clock: none.
    EXPECT_EQ(due({"Photos", "01.01.2020", "02:30", true, true}, dst,
                  {"25.10.2026 02:30:00", "25.10.2026 02:30:00", "26.10.2026 02:30:00", ""}),
        "1010");
}
