#include "schedule_file.h"

#include "ini_file.h"

namespace {

const QString section = QStringLiteral("Timer");
const QString lastDailyRunKey = QStringLiteral("LastDailyRun");
const QString dayFormat = QStringLiteral("dd.MM.yyyy");

QString flagText(bool flag)
{
    return flag ? QStringLiteral("OUI") : QStringLiteral("NON");
}

bool readFlag(const QString &file, const QString &key)
{
    return ReadIni(file, section, key, QStringLiteral("NON")).toUpper() == QLatin1String("OUI");
}

} // namespace

QString ScheduleFilePath(const QString &appDir)
{
    return appDir + QStringLiteral("TDRL-timer.tmr");
}

Schedule LoadSchedule(const QString &appDir)
{
    const QString file = ScheduleFilePath(appDir);
    Schedule schedule;
    schedule.SchTemplate = ReadIni(file, section, QStringLiteral("Template"), schedule.SchTemplate);
    schedule.SchDate = ReadIni(file, section, QStringLiteral("Date"), QString());
    schedule.SchTime = ReadIni(file, section, QStringLiteral("Time"), QString());
    schedule.SchDaily = readFlag(file, QStringLiteral("Daily"));
    schedule.SchEnabled = readFlag(file, QStringLiteral("Enabled"));
    return schedule;
}

bool SaveSchedule(const QString &appDir, const Schedule &schedule)
{
    const QString file = ScheduleFilePath(appDir);
    // Each key is written even when an earlier one failed, as the dialog does.
    bool ok = WriteIni(file, section, QStringLiteral("Template"), schedule.SchTemplate);
    ok = WriteIni(file, section, QStringLiteral("Date"), schedule.SchDate) && ok;
    ok = WriteIni(file, section, QStringLiteral("Time"), schedule.SchTime) && ok;
    ok = WriteIni(file, section, QStringLiteral("Daily"), flagText(schedule.SchDaily)) && ok;
    return WriteIni(file, section, QStringLiteral("Enabled"), flagText(schedule.SchEnabled)) && ok;
}

bool SwitchScheduleOff(const QString &appDir)
{
    return WriteIni(ScheduleFilePath(appDir), section, QStringLiteral("Enabled"), flagText(false));
}

QDate LoadLastDailyRun(const QString &appDir)
{
    QString text;
    if (!IniDocument(ScheduleFilePath(appDir)).find(section, lastDailyRunKey, &text))
        return {};
    return QDate::fromString(text, dayFormat);
}

bool SaveLastDailyRun(const QString &appDir, const QDate &day)
{
    return WriteIni(ScheduleFilePath(appDir), section, lastDailyRunKey, day.toString(dayFormat));
}
