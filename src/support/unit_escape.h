#pragma once

#include <QString>

// The text as `systemd-escape` writes it: "/" becomes "-"; a leading ".", "-", "\" and every
// byte of the UTF-8 text outside letters, digits, ":", "_" and "." become "\xNN". Two different
// texts never give the same result, and the result is a valid file name part.
QString SystemdEscape(const QString &text);
