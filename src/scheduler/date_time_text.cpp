#include "date_time_text.h"

#include <QDate>
#include <QRegularExpression>
#include <QTime>

namespace {

QString readDate(const QString &trimmed)
{
    static const QRegularExpression separated(
        QStringLiteral(R"(^([0-9]{1,2})([./\- ])([0-9]{1,2})\2([0-9]{4}|[0-9]{2})$)"));
    static const QRegularExpression digits(
        QStringLiteral(R"(^([0-9]{2})([0-9]{2})([0-9]{4}|[0-9]{2})$)"));
    // Both forms capture day, month and year, in that order (the separator aside).
    QRegularExpressionMatch match = separated.match(trimmed);
    const bool withSeparators = match.hasMatch();
    if (!withSeparators && !(match = digits.match(trimmed)).hasMatch())
        return {};
    const int shift = withSeparators ? 1 : 0;
    const int day = match.captured(1).toInt();
    const int month = match.captured(2 + shift).toInt();
    const QString year = match.captured(3 + shift);
    const int fullYear = year.size() == 2 ? 2000 + year.toInt() : year.toInt();
    const QDate date(fullYear, month, day);
    return date.isValid() ? date.toString(QStringLiteral("dd.MM.yyyy")) : QString();
}

QString readTime(const QString &trimmed)
{
    static const QRegularExpression separated(
        QStringLiteral(R"(^([0-9]{1,2})[:.hH]([0-9]{2})(?:[:.]([0-9]{2}))?$)"));
    static const QRegularExpression digits(QStringLiteral(R"(^([0-9]{1,2})([0-9]{2})$)"));
    QRegularExpressionMatch match = separated.match(trimmed);
    if (!match.hasMatch() && !(match = digits.match(trimmed)).hasMatch())
        return {};
    // Seconds are checked, then dropped; a missing capture reads as 0.
    const QTime time(
        match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt());
    return time.isValid() ? time.toString(QStringLiteral("HH:mm")) : QString();
}

} // namespace

QString ReadableDate(const QString &text)
{
    const QString read = readDate(text.trimmed());
    return read.isEmpty() ? text : read;
}

QString ReadableTime(const QString &text)
{
    const QString read = readTime(text.trimmed());
    return read.isEmpty() ? text : read;
}

QString CheckDateText(const QString &text, bool *ok)
{
    const QString result = text.isEmpty() ? text : ReadableDate(text);
    *ok = result.isEmpty() || result.size() == 10;
    return result;
}

QString CheckTimeText(const QString &text, bool *ok)
{
    const QString result = text.isEmpty() ? text : ReadableTime(text);
    *ok = result.isEmpty() || result.size() == 5;
    return result;
}
