#pragma once

#include "schedule_file.h"

#include <QDate>
#include <QDateTime>

// The moment an enabled schedule fell due without its run, as seen at now; an invalid date-time
// when nothing was missed. A one-time schedule was missed once the minute of its date and time is
// over. A daily one was missed once the minute of its time is over today, unless it ran today
// (lastDailyRun); a last run later than today means the clock was set back, and counts as run.
// Inside the due minute itself nothing is missed: the watcher's tick starts the run. A date or
// time that cannot be read never falls due, as for the watcher.
QDateTime MissedRun(const Schedule &schedule, const QDate &lastDailyRun, const QDateTime &now);

// Between two ticks of the watcher the wall clock moved forwards by far more than the time that
// went by (elapsedMs, from a monotonic clock, which stops while the machine sleeps): the machine
// slept, or the clock was set forwards, and a schedule may have fallen due meanwhile.
bool ClockLeaptForward(const QDateTime &previousTick, const QDateTime &now, qint64 elapsedMs);
