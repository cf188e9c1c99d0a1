#pragma once

#include "schedule_file.h"

#include <QDateTime>
#include <QString>

// What the watcher remembers between ticks.
struct WatchState {
    QString LastSchRunDate; // day of the last started run, "dd.mm.yyyy"; empty at start-up
    QString lastRunTime; // minute of that run, "hh:mm"
};

// One tick's decision, with the clock passed in. The schedule is due when it is on and its texts
// equal the clock's ("dd.mm.yyyy" and "hh:mm"): a one-time schedule on its date at its minute, a
// daily one at its minute whatever its date, at most once a day. A due tick records the run in
// state, so that a second tick in the same minute, or the clock set back over it (end of daylight
// saving time), starts nothing more; a minute skipped by the clock is not caught up. After a due
// one-time tick the caller switches the schedule off (SwitchScheduleOff, then LoadSchedule).
bool IsDue(const Schedule &schedule, WatchState &state, const QDateTime &now);

// The indicator's tool tip for the schedule (on: the green image, off: the red one).
QString IndicatorToolTip(const Schedule &schedule);
