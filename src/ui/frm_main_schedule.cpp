// The main window's side of the scheduler: the schedule in memory, its watcher and indicator,
// the scheduler dialog and the scheduled run.
#include "frm_main.h"

#include "main_view.h"
#include "missed_run_check.h"
#include "prompter.h"

#include <QTimer>

void frm_main::LoadTimerSettings()
{
    schedule_ = LoadSchedule(appDir_);
    showIndicator();
    tmr_sch->start();
}

void frm_main::showIndicator()
{
    view_->showIndicator(schedule_.SchEnabled, IndicatorToolTip(schedule_));
}

void frm_main::mnu_scheduler_Click()
{
    tmr_sch->stop();
    frm_scheduler dialog(view_->projectNames(), schedule_, appDir_, prompter_, clock_, this);
    if (dialog.exec() == QDialog::Accepted)
        LoadTimerSettings();
    tmr_sch->start();
}

void frm_main::tmr_sch_Timer()
{
    // No scheduled run starts while the program ends.
    if (closing_)
        return;
    showIndicator();
    const QDateTime now = clock_();
    const bool lookForMissedRun = missedRuns_->shouldLook(now);
    bool due = IsDue(schedule_, watch_, now);
    if (!due && lookForMissedRun)
        due = askAboutMissedRun(now);
    if (!due && waitingSchedule_.isEmpty())
        return;
    tmr_sch->stop();
    if (due) {
        waitingSchedule_ = schedule_.SchTemplate;
        // A one-time schedule switches itself off before its run; a daily one records the day,
        // so that a later start does not take it for missed.
        if (schedule_.SchDaily) {
            SaveLastDailyRun(appDir_, now.date());
        } else {
            SwitchScheduleOff(appDir_);
            LoadTimerSettings();
        }
    }
    // Never two runs at once: a due run waits until the run going, or the one being
    // confirmed, has ended.
    if (!runInProgress() && !confirming_) {
        const QString project = waitingSchedule_;
        waitingSchedule_.clear();
        startScheduledRun(project);
    }
    tmr_sch->start();
}

bool frm_main::askAboutMissedRun(const QDateTime &now)
{
    // The watcher waits for the answer.
    tmr_sch->stop();
    const auto answer = missedRuns_->ask(schedule_, appDir_, now, prompter_, this);
    if (answer == MissedRunCheck::Answer::Leave)
        LoadTimerSettings();
    else
        tmr_sch->start();
    return answer == MissedRunCheck::Answer::RunNow;
}

void frm_main::startScheduledRun(const QString &project)
{
    closeFinishedRunWindows();
    const QString before = view_->chosenName();
    if (!chooseProject(project)) {
        prompter_.critical(this, QStringLiteral("Erreur"),
            QStringLiteral("Le programmateur ne peut démarrer car le projet « ") + project
                + QStringLiteral(" » est introuvable!"));
        return;
    }
    runMode_ = ::RunMode::Scheduler;
    if (Data1.rowCount() == 0) {
        prompter_.critical(this, QStringLiteral("Erreur"),
            QStringLiteral("Le programmateur ne peut démarrer car aucune action n'est définie! "
                           "SVP Créez une action et recommencez!"));
        return;
    }
    frm_sync *window = startRun();
    if (!window) { // tandrel-cli is running it: the box said so
        ShowTemplate(before);
        return;
    }
    // The scheduled project stays chosen while it runs.
    connect(window, &QObject::destroyed, this, [this, before] {
        if (!closing_)
            ShowTemplate(before);
    });
}
