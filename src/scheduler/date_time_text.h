#pragma once

#include <QString>

// Dates typed by the user: day and month of one or two digits separated by ".", "/", "-" or a
// space (the same one twice), a year of two digits (20xx) or four; or six (ddmmyy) or eight
// (ddmmyyyy) digits alone. Surrounding spaces are ignored. A real date comes out as
// "dd.mm.yyyy", anything else comes out unchanged.
QString ReadableDate(const QString &text);

// Times typed by the user: hours of one or two digits and minutes of two, separated by ":", "."
// or "h", optionally followed by seconds (dropped); or three (hmm) or four (hhmm) digits alone.
// A real time of the 24-hour clock comes out as "hh:mm", anything else unchanged.
QString ReadableTime(const QString &text);

// The date box's check: an empty text stays empty and is fine; otherwise the text as read, which
// is fine when it is 10 characters long (only the length decides, so a 10-character text that is
// no date passes).
QString CheckDateText(const QString &text, bool *ok);

// The time box's check, the same with the length 5.
QString CheckTimeText(const QString &text, bool *ok);
