#include "console_observer.h"

#include <sys/ioctl.h>
#include <unistd.h>

namespace {

// A terminal is redrawn at most this often: a run reports progress for every file.
constexpr std::chrono::milliseconds drawInterval {100};

void writeLine(std::FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fflush(stream);
}

} // namespace

ConsoleObserver::ConsoleObserver(
    std::FILE *out, std::FILE *err, bool printLines, bool progressOnTerminal)
    : out_(out)
    , err_(err)
    , printLines_(printLines)
    , progress_(progressOnTerminal)
{
    winsize size {};
    if (progress_ && ::ioctl(::fileno(err_), TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        columns_ = size.ws_col;
}

ConsoleObserver::~ConsoleObserver()
{
    clearProgress();
}

void ConsoleObserver::lineAdded(const QString &line)
{
    if (!printLines_)
        return;
    clearProgress();
    writeLine(out_, line);
    // A reader that went away (a closed pipe) does not stop the run: the report file still
    // receives every line.
    if (std::ferror(out_))
        printLines_ = false;
}

void ConsoleObserver::titleChanged(const QString &title)
{
    title_ = title;
    maximum_ = -1; // a new stage: its own progress comes next
    if (progress_)
        drawProgress();
}

void ConsoleObserver::progressChanged(qint64 value, qint64 maximum)
{
    value_ = value;
    maximum_ = maximum;
    if (progress_ && std::chrono::steady_clock::now() - lastDraw_ >= drawInterval)
        drawProgress();
}

void ConsoleObserver::error(const QString &message)
{
    clearProgress();
    writeLine(err_, message);
}

void ConsoleObserver::clearProgress()
{
    if (!progressShown_)
        return;
    std::fputs("\r\033[K", err_);
    std::fflush(err_);
    progressShown_ = false;
}

void ConsoleObserver::drawProgress()
{
    if (title_.isEmpty())
        return; // nothing to say before the run names its first stage
    lastDraw_ = std::chrono::steady_clock::now();
    QString text = title_;
    if (maximum_ >= 0)
        text += QStringLiteral("  %1/%2").arg(value_ + 1).arg(maximum_ + 1);
    // One terminal row: a wrapped line could not be erased by the next drawing.
    if (text.size() >= columns_)
        text = text.left(columns_ - 1);
    const QByteArray bytes = "\r\033[K" + text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), err_);
    std::fflush(err_);
    progressShown_ = true;
}
