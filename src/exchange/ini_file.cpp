#include "ini_file.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

namespace {

// Windows-1252 differs from Latin-1 in 0x80-0x9F only; its five unassigned bytes stay as they
// are.
constexpr char16_t windows1252High[32]
    = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString fromWindows1252(const QByteArray &bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        text[i] = byte >= 0x80 && byte < 0xA0 ? QChar(windows1252High[byte - 0x80]) : QChar(byte);
    }
    return text;
}

// Line by line, UTF-8 (with or without a byte-order mark) when the bytes are valid UTF-8, else
// Windows-1252, the code page of files written on the original platform: a file that a UTF-8
// editor added lines to is read right whole, and written back without garbling either part.
QString decode(QByteArray bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    QStringList lines;
    for (const QByteArray &line : bytes.split('\n')) {
        QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
        const QString text = utf8(line);
        lines << (utf8.hasError() ? fromWindows1252(line) : text);
    }
    return lines.join(u'\n');
}

// The name between "[" and "]" of a section line.
QStringView sectionName(QStringView trimmed)
{
    const qsizetype close = trimmed.indexOf(u']');
    return trimmed.mid(1, close < 0 ? -1 : close - 1).trimmed();
}

bool isComment(QStringView trimmed)
{
    return trimmed.startsWith(u';') || trimmed.startsWith(u'#');
}

bool sameName(QStringView a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

IniDocument::IniDocument(const QString &path)
    : path_(path)
    , lineEnd_(QStringLiteral("\r\n"))
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QString text = decode(file.readAll());
    if (text.isEmpty())
        return;
    const qsizetype firstBreak = text.indexOf(u'\n');
    if (firstBreak >= 0)
        lineEnd_ = firstBreak > 0 && text[firstBreak - 1] == u'\r' ? QStringLiteral("\r\n")
                                                                   : QStringLiteral("\n");
    lines_ = text.split(u'\n');
    endsWithLineEnd_ = lines_.last().isEmpty();
    if (endsWithLineEnd_)
        lines_.removeLast();
    for (QString &line : lines_)
        if (line.endsWith(u'\r'))
            line.chop(1);
}

// The first section of that name, its last key line, and the first key of that name in it.
IniDocument::Located IniDocument::locate(const QString &section, const QString &key) const
{
    Located found;
    const qsizetype from
        = lastSectionLine_ >= 0 && sameName(lastSection_, section) ? lastSectionLine_ : 0;
    // Views, not copies: an import looks up thousands of keys in the same lines.
    for (qsizetype i = from; i < lines_.size(); ++i) {
        const QStringView trimmed = QStringView(lines_[i]).trimmed();
        if (trimmed.startsWith(u'[')) {
            if (found.section >= 0)
                break; // past the first section of that name
            if (sameName(sectionName(trimmed), section)) {
                found.section = i;
                found.end = i + 1;
            }
            continue;
        }
        const qsizetype equals = trimmed.indexOf(u'=');
        if (found.section < 0 || isComment(trimmed) || equals < 0)
            continue;
        found.end = i + 1;
        if (found.key < 0 && sameName(trimmed.left(equals).trimmed(), key))
            found.key = i;
    }
    if (found.section >= 0) {
        lastSection_ = section;
        lastSectionLine_ = found.section;
    }
    return found;
}

bool IniDocument::find(const QString &section, const QString &key, QString *value) const
{
    const Located found = locate(section, key);
    if (found.key < 0)
        return false;
    const QString &line = lines_[found.key];
    *value = line.mid(line.indexOf(u'=') + 1).trimmed();
    return true;
}

void IniDocument::set(const QString &section, const QString &key, const QString &value)
{
    const Located found = locate(section, key);
    if (found.key >= 0) {
        QString &line = lines_[found.key];
        line = line.left(line.indexOf(u'=') + 1) + value; // the key keeps its spelling
    } else if (found.section >= 0) {
        lines_.insert(found.end, key + u'=' + value);
    } else {
        lines_.append(u'[' + section + u']');
        lines_.append(key + u'=' + value);
    }
}

bool IniDocument::save() const
{
    const QFileInfo info(path_);
    const auto writable
        = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    if (info.exists() && !(info.permissions() & writable))
        return false; // a read-only file stays as it is
    QString text = lines_.join(lineEnd_);
    if (endsWithLineEnd_ && !lines_.isEmpty())
        text += lineEnd_;
    QSaveFile file(path_);
    file.setDirectWriteFallback(true);
    const QByteArray bytes = text.toUtf8();
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

QString ReadIni(
    const QString &file, const QString &section, const QString &key, const QString &defaultValue)
{
    IniDocument document(file);
    QString value;
    if (!document.find(section, key, &value))
        value = defaultValue.trimmed();
    document.set(section, key, value);
    document.save(); // the write-back: a file that cannot be written stays as it was
    return value;
}

bool WriteIni(const QString &file, const QString &section, const QString &key, const QString &value)
{
    IniDocument document(file);
    document.set(section, key, value);
    return document.save();
}
