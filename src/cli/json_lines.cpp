#include "json_lines.h"

#include "cli_commands.h"

namespace {

// The length of the valid UTF-8 sequence at the start of bytes, 0 when there is none.
qsizetype utf8SequenceAt(QByteArrayView bytes)
{
    const auto byte = [&](qsizetype i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80)
        return 1;
    qsizetype length = 0;
    unsigned char low = 0x80, high = 0xbf; // the second byte's range
    if (lead >= 0xc2 && lead <= 0xdf)
        length = 2;
    else if (lead >= 0xe0 && lead <= 0xef) {
        length = 3;
        low = lead == 0xe0 ? 0xa0 : 0x80; // no overlong forms
        high = lead == 0xed ? 0x9f : 0xbf; // no surrogates
    } else if (lead >= 0xf0 && lead <= 0xf4) {
        length = 4;
        low = lead == 0xf0 ? 0x90 : 0x80;
        high = lead == 0xf4 ? 0x8f : 0xbf; // nothing above U+10FFFF
    } else
        return 0;
    if (bytes.size() < length || byte(1) < low || byte(1) > high)
        return 0;
    for (qsizetype i = 2; i < length; ++i)
        if (byte(i) < 0x80 || byte(i) > 0xbf)
            return 0;
    return length;
}

void appendUnicodeEscape(QByteArray &out, unsigned value)
{
    out += "\\u";
    out += QByteArray::number(value, 16).rightJustified(4, '0');
}

QByteArray decisionText(ExaminedFile::Decision decision)
{
    switch (decision) {
    case ExaminedFile::Decision::Copied:
        return "copied";
    case ExaminedFile::Decision::Failed:
        return "failed";
    case ExaminedFile::Decision::WouldCopy:
        return "would-copy";
    case ExaminedFile::Decision::Unchanged:
        break;
    }
    return "unchanged";
}

QByteArray statusText(ExitCode code)
{
    switch (code) {
    case ExitCopyErrors:
        return "errors";
    case ExitFatal:
        return "fatal";
    case ExitCancelled:
        return "cancelled";
    default:
        return "done";
    }
}

QByteArray text(const QString &value)
{
    return JsonString(value.toUtf8());
}

} // namespace

QByteArray JsonString(QByteArrayView bytes)
{
    QByteArray out = "\"";
    for (qsizetype i = 0; i < bytes.size();) {
        const qsizetype length = utf8SequenceAt(bytes.sliced(i));
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (length == 0) {
            appendUnicodeEscape(out, 0xdc00u + c);
            ++i;
            continue;
        }
        if (c == '"' || c == '\\')
            out += '\\';
        if (c < 0x20)
            appendUnicodeEscape(out, c);
        else
            out += bytes.sliced(i, length).toByteArray();
        i += length;
    }
    return out + '"';
}

JsonObserver::JsonObserver(std::FILE *out, std::FILE *err, bool progressOnTerminal)
    : ConsoleObserver(out, err, false, progressOnTerminal)
    , out_(out)
{
}

void JsonObserver::fileExamined(const ExaminedFile &file)
{
    QByteArray object = "{\"type\":\"file\",\"action\":" + QByteArray::number(file.action)
        + ",\"path\":" + JsonString(file.path) + ",\"decision\":\"" + decisionText(file.decision)
        + "\",\"bytes\":" + QByteArray::number(file.bytes);
    if (file.decision == ExaminedFile::Decision::Failed)
        object += ",\"reason\":" + text(file.reason);
    write(object + '}');
}

void JsonObserver::actionEnded(const ActionTotals &action)
{
    write("{\"type\":\"action\",\"number\":" + QByteArray::number(action.number)
        + ",\"from\":" + text(action.from) + ",\"to\":" + text(action.to)
        + ",\"files\":" + QByteArray::number(action.files)
        + ",\"bytes\":" + QByteArray::number(action.bytes) + '}');
}

void JsonObserver::runEnded(const RunOutcome &outcome)
{
    write("{\"type\":\"end\",\"status\":\"" + statusText(ExitCodeOf(outcome))
        + "\",\"files\":" + QByteArray::number(outcome.totalFiles)
        + ",\"bytes\":" + QByteArray::number(outcome.totalBytes) + '}');
}

void JsonObserver::write(const QByteArray &object)
{
    clearProgress();
    std::fwrite(object.constData(), 1, static_cast<size_t>(object.size()), out_);
    std::fputc('\n', out_);
    std::fflush(out_);
}
