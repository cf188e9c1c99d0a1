#include "schedule_watch.h"

bool IsDue(const Schedule &schedule, WatchState &state, const QDateTime &now)
{
    // An invalid clock formats as empty texts, which would match an empty "Time".
    if (!schedule.SchEnabled || !now.isValid())
        return false;
    const QString today = now.date().toString(QStringLiteral("dd.MM.yyyy"));
    const QString minute = now.time().toString(QStringLiteral("HH:mm"));
    if (schedule.SchTime != minute)
        return false;
    const bool ranToday = state.LastSchRunDate == today;
    if (schedule.SchDaily) {
        if (ranToday)
            return false;
    } else if (schedule.SchDate != today || (ranToday && state.lastRunTime == minute)) {
        // The second test holds back a one-time schedule that could not be switched off (a
        // read-only file) when the same minute comes again.
        return false;
    }
    state.LastSchRunDate = today;
    state.lastRunTime = minute;
    return true;
}

QString IndicatorToolTip(const Schedule &schedule)
{
    if (!schedule.SchEnabled)
        return QStringLiteral("Programmateur - désactivé");
    const QString start
        = QStringLiteral("Programmateur - activé <> Projet : ") + schedule.SchTemplate;
    if (schedule.SchDaily)
        return start + QStringLiteral(" - Départ : tous les jours à ") + schedule.SchTime;
    return start + QStringLiteral(" - Départ : ") + schedule.SchDate + QStringLiteral(" à ")
        + schedule.SchTime;
}
