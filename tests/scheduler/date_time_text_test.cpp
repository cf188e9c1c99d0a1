#include "date_time_text.h"

#include <gtest/gtest.h>

TEST(DateTimeText, ReadsTypedDates)
{
    EXPECT_EQ(ReadableDate("7.3.2026"), "07.03.2026");
    EXPECT_EQ(ReadableDate("07/03/26"), "07.03.2026");
    EXPECT_EQ(ReadableDate("7-3-2026"), "07.03.2026");
    EXPECT_EQ(ReadableDate(" 7 3 26 "), "07.03.2026");
    EXPECT_EQ(ReadableDate("070326"), "07.03.2026");
    EXPECT_EQ(ReadableDate("07032026"), "07.03.2026");
    EXPECT_EQ(ReadableDate("29.02.2028"), "29.02.2028");
    // Not dates: they come out as typed.
    for (const char *text :
        {"29.02.2027", "31.04.2026", "7.3.202", "7.3-2026", "0703202", "demain"})
        EXPECT_EQ(ReadableDate(text), text);

    bool ok = false;
    EXPECT_EQ(CheckDateText("1.1.30", &ok), "01.01.2030");
    EXPECT_TRUE(ok);
    EXPECT_EQ(CheckDateText("", &ok), "");
    EXPECT_TRUE(ok);
    EXPECT_EQ(CheckDateText("29.02.2027", &ok), "29.02.2027"); // only the length decides
    EXPECT_TRUE(ok);
    EXPECT_EQ(CheckDateText("29.2.2027", &ok), "29.2.2027");
    EXPECT_FALSE(ok);
}

TEST(DateTimeText, ReadsTypedTimes)
{
    EXPECT_EQ(ReadableTime("7:05"), "07:05");
    EXPECT_EQ(ReadableTime("7.05"), "07:05");
    EXPECT_EQ(ReadableTime("7h05"), "07:05");
    EXPECT_EQ(ReadableTime("23:59:58"), "23:59");
    EXPECT_EQ(ReadableTime("705"), "07:05");
    EXPECT_EQ(ReadableTime("0000"), "00:00");
    for (const char *text : {"7:5", "25:99", "24:00", "12:60", "12:30:61", "12345", "midi"})
        EXPECT_EQ(ReadableTime(text), text);

    bool ok = false;
    EXPECT_EQ(CheckTimeText("1830", &ok), "18:30");
    EXPECT_TRUE(ok);
    EXPECT_EQ(CheckTimeText("7:5", &ok), "7:5");
    EXPECT_FALSE(ok);
    EXPECT_EQ(CheckTimeText("25:99", &ok), "25:99"); // five characters pass the length test
    EXPECT_TRUE(ok);
    const QString longText(300, QLatin1Char('1'));
    EXPECT_EQ(CheckTimeText(longText, &ok), longText);
    EXPECT_FALSE(ok);
}
