#include "schedule_file.h"
#include "temp_dir.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

// The schedule read from the folder, its five values in one line.
QString loaded(const TempDir &dir)
{
    const Schedule s = LoadSchedule(dir.path());
    return QStringList {s.SchTemplate, s.SchDate, s.SchTime, s.SchDaily ? "daily" : "once",
        s.SchEnabled ? "on" : "off"}
        .join(u'|');
}

} // namespace

TEST(ScheduleFile, FirstLoadWritesTheDefaultsAndSavingReadsBack)
{
    TempDir dir;
    EXPECT_EQ(loaded(dir), "- Aucun -|||once|off");
    EXPECT_TRUE(QFile::exists(dir("TDRL-timer.tmr")));

    ASSERT_TRUE(SaveSchedule(dir.path(), {"Photos", "24.12.2026", "07:05", true, true}));
    EXPECT_EQ(loaded(dir), "Photos|24.12.2026|07:05|daily|on");
    ASSERT_TRUE(SwitchScheduleOff(dir.path()));
    EXPECT_EQ(loaded(dir), "Photos|24.12.2026|07:05|daily|off");
}

// Read-only files are the INI layer's.
TEST(ScheduleFile, ReadsFlagsInAnyCase)
{
    TempDir dir;
    const QByteArray longTime(300, '9');
    dir.write("TDRL-timer.tmr", "[timer]\nDaily=non\nEnabled=oui\nTime=" + longTime + "\n");
    EXPECT_EQ(loaded(dir), "- Aucun -||" + longTime + "|once|on");
}
