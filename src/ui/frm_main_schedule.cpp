// The main window's side of the scheduler: the schedule in memory, its watcher and indicator,
// the scheduler dialog and the scheduled run.
#include "frm_main.h"

#include "main_view.h"
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
    const bool due = IsDue(schedule_, watch_, clock_());
    if (!due && waitingSchedule_.isEmpty())
        return;
    tmr_sch->stop();
    if (due) {
        waitingSchedule_ = schedule_.SchTemplate;
        // A one-time schedule switches itself off before its run.
        if (!schedule_.SchDaily) {
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
