#include "unit_escape.h"

#include <QByteArray>

namespace {

bool keptAsIs(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ':'
        || c == '_' || c == '.';
}

void appendEscaped(QByteArray &out, char c)
{
    out += "\\x";
    out += QByteArray::number(static_cast<unsigned char>(c), 16).rightJustified(2, '0');
}

} // namespace

QString SystemdEscape(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    QByteArray out;
    out.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes.at(i);
        if (c == '/')
            out += '-';
        else if (keptAsIs(c) && !(i == 0 && c == '.')) // a hidden name would be hidden
            out += c;
        else
            appendEscaped(out, c);
    }
    return QString::fromLatin1(out);
}
