#include "date_time_text.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

// A check's answer as one text: what it returned, then "+" when fine, "-" when not.
using Check = QString (*)(const QString &, bool *);
QString checked(Check check, const QString &text)
{
    bool ok = false;
    const QString out = check(text, &ok);
    return out + (ok ? "+" : "-");
}

} // namespace

TEST(DateTimeText, ReadsTypedDatesAndTimes)
{
    for (const char *text : {"7.3.2026", " 7 3 26 ", "070326"})
        EXPECT_EQ(ReadableDate(text), "07.03.2026") << text;
    using Texts = std::vector<std::pair<const char *, const char *>>;
    for (const auto &[text, readable] :
        Texts {{"7h05", "07:05"}, {"23:59:58", "23:59"}, {"705", "07:05"}, {"0000", "00:00"}})
        EXPECT_EQ(ReadableTime(text), readable) << text;
    // Texts that are no dates or times come out as typed; 29.02.2028 is a date.
    for (const char *text : {"29.02.2028", "29.02.2027", "7.3.202", "0703202", "demain"})
        EXPECT_EQ(ReadableDate(text), text);
    for (const char *text : {"7:5", "24:00", "12:60", "12:30:61", "12345", "midi"})
        EXPECT_EQ(ReadableTime(text), text);

    // The boxes: an empty date is fine; otherwise only the length of the text read decides.
    EXPECT_EQ(checked(CheckDateText, "1.1.30") + checked(CheckDateText, "")
            + checked(CheckDateText, "29.2.2027"),
        "01.01.2030++29.2.2027-");
    EXPECT_EQ(checked(CheckTimeText, "1830") + checked(CheckTimeText, "7:5")
            + checked(CheckTimeText, "25:99") + checked(CheckTimeText, QString(300, u'1')),
        "18:30+7:5-25:99+" + QString(300, u'1') + "-");
}
