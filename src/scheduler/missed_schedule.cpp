#include "missed_schedule.h"

namespace {

// More than any delay of a busy event loop, less than any sleep worth a look.
constexpr qint64 leapMs = 60 * 1000;

bool minuteIsOver(const QDateTime &due, const QDateTime &now)
{
    return due.isValid() && due.addSecs(60) <= now;
}

} // namespace

QDateTime MissedRun(const Schedule &schedule, const QDate &lastDailyRun, const QDateTime &now)
{
    if (!schedule.SchEnabled || !now.isValid())
        return {};
    const QTime time = QTime::fromString(schedule.SchTime, QStringLiteral("HH:mm"));
    // A date-time made of an invalid time would stand for midnight.
    if (!time.isValid())
        return {};
    if (schedule.SchDaily) {
        const QDateTime due(now.date(), time);
        const bool ranToday = lastDailyRun.isValid() && lastDailyRun >= now.date();
        return !ranToday && minuteIsOver(due, now) ? due : QDateTime();
    }
    const QDateTime due(QDate::fromString(schedule.SchDate, QStringLiteral("dd.MM.yyyy")), time);
    return minuteIsOver(due, now) ? due : QDateTime();
}

bool ClockLeaptForward(const QDateTime &previousTick, const QDateTime &now, qint64 elapsedMs)
{
    return previousTick.isValid() && now.isValid()
        && previousTick.msecsTo(now) - elapsedMs > leapMs;
}
