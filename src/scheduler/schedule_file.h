#pragma once

#include <QDate>
#include <QString>

// The one schedule, as held in memory by the main window and compared with the clock.
struct Schedule {
    QString SchTemplate = QStringLiteral("- Aucun -");
    QString SchDate; // "dd.mm.yyyy" normally, may be empty for a daily run
    QString SchTime; // "hh:mm" normally
    bool SchDaily = false;
    bool SchEnabled = false;
};

// The schedule file inside appDir (which ends with a separator).
QString ScheduleFilePath(const QString &appDir);

// Reads the schedule file, section "Timer"; every read writes its value back, so a first start
// creates the file with the defaults. The flags count as set when they read "OUI" in any case.
Schedule LoadSchedule(const QString &appDir);

// Writes the five keys in the order the dialog writes them, flags as "OUI" or "NON". False when
// the file cannot be written (callers do not report it).
bool SaveSchedule(const QString &appDir, const Schedule &schedule);

// Writes "Enabled" = "NON", as the watcher does after a one-time run.
bool SwitchScheduleOff(const QString &appDir);

// The day of the last daily run, "LastDailyRun" in the same section: an extra key that only this
// program writes, so that a run missed while it was closed can be told from one that happened.
// Reading writes nothing back; a missing key, or one that holds no date "dd.mm.yyyy", reads as an
// invalid date.
QDate LoadLastDailyRun(const QString &appDir);
bool SaveLastDailyRun(const QString &appDir, const QDate &day);
