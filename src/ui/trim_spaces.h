#pragma once

#include <QString>

// Removes leading and trailing spaces only, as the editors trim their boxes: a folder or
// project name may well begin or end with another blank.
inline QString TrimSpaces(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == u' ')
        ++begin;
    while (end > begin && text[end - 1] == u' ')
        --end;
    return text.mid(begin, end - begin);
}
