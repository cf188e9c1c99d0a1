#include "missed_run_check.h"

#include "missed_schedule.h"
#include "prompter.h"

MissedRunCheck::MissedRunCheck(QDBusConnection systemBus, QObject *parent)
    : QObject(parent)
{
    // Without logind (or a system bus) the leap of the wall clock still tells a wake-up.
    systemBus.connect(QStringLiteral("org.freedesktop.login1"),
        QStringLiteral("/org/freedesktop/login1"), QStringLiteral("org.freedesktop.login1.Manager"),
        QStringLiteral("PrepareForSleep"), this, SLOT(prepareForSleep(bool)));
}

bool MissedRunCheck::shouldLook(const QDateTime &now)
{
    const bool look = !lastTick_.isValid() || woke_
        || ClockLeaptForward(lastTick_, now, sinceLastTick_.elapsed());
    lastTick_ = now;
    sinceLastTick_.start();
    woke_ = false;
    return look;
}

MissedRunCheck::Answer MissedRunCheck::ask(const Schedule &schedule, const QString &appDir,
    const QDateTime &now, Prompter &prompter, QWidget *parent)
{
    const QDateTime missed = MissedRun(schedule, LoadLastDailyRun(appDir), now);
    if (!missed.isValid() || missed == asked_)
        return Answer::NothingMissed;
    asked_ = missed;
    const bool runNow = prompter.question(parent, QStringLiteral("Programmateur"),
        QStringLiteral("Le programmateur devait synchroniser le projet « %1 » le %2 à %3, "
                       "pendant que Tandrel était fermé ou l'ordinateur en veille.\n"
                       "Le synchroniser maintenant ?")
            .arg(schedule.SchTemplate, missed.toString(QStringLiteral("dd.MM.yyyy")),
                missed.toString(QStringLiteral("HH:mm"))));
    if (runNow)
        return Answer::RunNow;
    if (schedule.SchDaily)
        SaveLastDailyRun(appDir, now.date());
    else
        SwitchScheduleOff(appDir);
    return Answer::Leave;
}

void MissedRunCheck::prepareForSleep(bool sleeping)
{
    if (!sleeping)
        woke_ = true;
}
