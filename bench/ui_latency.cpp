// How long the window's thread is held up during a large run.
//
// Builds a tree of 30,000 small files in 1,000 folders, runs it through the run window on the
// offscreen platform (first a Synchronize run into an empty destination, then a run where
// nothing changed that lists every unchanged file), and measures the gaps between the ticks
// of a 5 ms timer on the window's thread while each run goes. Goal: no gap above 50 ms.
//
//   ui_latency [--dir FOLDER]   (default: a new temporary folder, removed at the end)
//
// With --dir the origin tree is kept and reused, and every call copies into a new destination
// folder: on ext4, files created right after a large removal are much slower to make.

#include "frm_sync.h"
#include "prompter.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

constexpr int topFolders = 10;
constexpr int foldersEach = 100;
constexpr int filesEach = 30;
constexpr double goalMs = 50.0;

// Answers every box at once, so that nothing waits for a user.
class AnsweringPrompter final : public Prompter {
public:
    int boxes = 0;
    QMessageBox::StandardButton message(QWidget *, Icon, const QString &title, const QString &text,
        QMessageBox::StandardButtons) override
    {
        ++boxes;
        std::fprintf(stderr, "box: %s: %s\n", qPrintable(title), qPrintable(text));
        return QMessageBox::Ok;
    }
    QString existingDirectory(QWidget *, const QString &) override { return {}; }
    QString saveFileName(QWidget *, const QString &, const QString &, const QString &,
        const QString &, const QString &) override
    {
        return {};
    }
    QString openFileName(
        QWidget *, const QString &, const QString &, const QString &, const QString &) override
    {
        return {};
    }
};

bool makeTree(const QString &origin)
{
    QByteArray content(4096, 'x');
    for (int t = 0; t < topFolders; ++t) {
        for (int f = 0; f < foldersEach; ++f) {
            const QString folder = QStringLiteral("%1/d%2/s%3").arg(origin).arg(t).arg(f);
            if (!QDir().mkpath(folder))
                return false;
            for (int n = 0; n < filesEach; ++n) {
                QFile file(QStringLiteral("%1/f%2.dat").arg(folder).arg(n));
                if (!file.open(QIODevice::WriteOnly))
                    return false;
                // Sizes from 512 bytes to 4 KiB.
                const int size = 512 + (t * 7919 + f * 104729 + n * 131) % 3585;
                file.write(content.constData(), size);
            }
        }
    }
    return true;
}

int countFiles(const QString &origin)
{
    int count = 0;
    for (const QString &top : QDir(origin).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        for (const QString &sub :
            QDir(origin + u'/' + top).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
            count += int(QDir(origin + u'/' + top + u'/' + sub).entryList(QDir::Files).size());
    return count;
}

struct Gap {
    double at; // ms since the run started
    double length; // ms since the previous tick
    double cpu; // ms of processor time the window's thread used meanwhile
};

// Processor time of the calling thread: a long gap with little of it means that the thread
// was waiting for a processor, not working.
double threadCpuMs()
{
    timespec t {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

struct Measure {
    QString name;
    double seconds = 0;
    std::vector<Gap> gaps;
    RunOutcome outcome;
};

// The same ticker with no run at all: what the machine itself costs.
Measure idle(int milliseconds)
{
    Measure m;
    m.name = QStringLiteral("no run (the machine alone)");
    QElapsedTimer clock;
    QElapsedTimer since;
    double cpuBefore = threadCpuMs();
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(5);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const double cpu = threadCpuMs();
        m.gaps.push_back({double(clock.nsecsElapsed()) / 1e6, double(since.nsecsElapsed()) / 1e6,
            cpu - cpuBefore});
        since.restart();
        cpuBefore = cpu;
    });
    clock.start();
    since.start();
    ticker.start();
    while (clock.elapsed() < milliseconds)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    m.seconds = double(clock.nsecsElapsed()) / 1e9;
    m.outcome.status = RunOutcome::Status::Finished;
    return m;
}

Measure runOnce(const QString &name, const RunRequest &request, Prompter &prompter)
{
    Measure m;
    m.name = name;
    frm_sync window(request, prompter);
    QElapsedTimer clock;
    QElapsedTimer since;
    bool measuring = false;
    bool done = false;

    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(5);
    double cpuBefore = 0;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const double cpu = threadCpuMs();
        if (measuring)
            m.gaps.push_back({double(clock.nsecsElapsed()) / 1e6,
                double(since.nsecsElapsed()) / 1e6, cpu - cpuBefore});
        since.restart();
        cpuBefore = cpu;
    });
    QObject::connect(&window, &frm_sync::runStarted, [&] {
        clock.start();
        since.start();
        cpuBefore = threadCpuMs();
        measuring = true;
    });
    QObject::connect(&window, &frm_sync::runFinished, [&](const RunOutcome &outcome) {
        measuring = false;
        m.seconds = double(clock.nsecsElapsed()) / 1e9;
        m.outcome = outcome;
        done = true;
    });
    ticker.start();
    window.show();
    while (!done)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return m;
}

bool report(const Measure &m)
{
    std::vector<double> sorted;
    for (const Gap &gap : m.gaps)
        sorted.push_back(gap.length);
    std::sort(sorted.begin(), sorted.end());
    const double max = sorted.empty() ? 0 : sorted.back();
    const double p99 = sorted.empty() ? 0 : sorted[std::size_t(double(sorted.size() - 1) * 0.99)];
    const double median = sorted.empty() ? 0 : sorted[sorted.size() / 2];
    std::printf("%-34s %6.2f s  %5lld files  %6zu ticks  median %5.2f ms  p99 %6.2f ms  "
                "max %6.2f ms  %s\n",
        qPrintable(m.name), m.seconds, static_cast<long long>(m.outcome.totalFiles), sorted.size(),
        median, p99, max, max <= goalMs ? "ok" : "ABOVE 50 ms");
    std::vector<Gap> largest = m.gaps;
    std::sort(largest.begin(), largest.end(),
        [](const Gap &a, const Gap &b) { return a.length > b.length; });
    std::printf("    largest gaps:");
    for (std::size_t i = 0; i < largest.size() && i < 5; ++i)
        std::printf(
            "  %.1f ms (cpu %.1f) at %.0f ms", largest[i].length, largest[i].cpu, largest[i].at);
    std::printf("\n");
    return max <= goalMs && m.outcome.status == RunOutcome::Status::Finished;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QString base;
    QTemporaryDir temporary;
    const QStringList args = QCoreApplication::arguments();
    const qsizetype dirArg = args.indexOf(QStringLiteral("--dir"));
    if (dirArg >= 0 && dirArg + 1 < args.size()) {
        base = QDir(args[dirArg + 1]).absolutePath() + u'/';
    } else {
        if (!temporary.isValid())
            return 2;
        base = temporary.path() + u'/';
    }
    const QString origin = base + QStringLiteral("origine");
    const QString destination = base + QStringLiteral("destination-")
        + QString::number(QDateTime::currentMSecsSinceEpoch());
    constexpr int fileCount = topFolders * foldersEach * filesEach;
    if (countFiles(origin) != fileCount) {
        std::printf("making %d files in %d folders under %s\n", fileCount, topFolders * foldersEach,
            qPrintable(base));
        QDir(origin).removeRecursively();
        if (!makeTree(origin)) {
            std::fprintf(stderr, "cannot make the tree\n");
            return 2;
        }
    }
    if (!QDir().mkpath(destination)) {
        std::fprintf(stderr, "cannot make the destination\n");
        return 2;
    }

    Action action;
    action.enabled = QStringLiteral("OUI");
    action.fileFilter = QStringLiteral("*.*");
    action.fromFolder = origin;
    action.toFolder = destination;
    action.inclSub = QStringLiteral("OUI");
    action.fileDate = QStringLiteral(">");
    action.fileSize = QStringLiteral("<>");

    RunRequest request;
    request.projectName = QStringLiteral("ui_latency");
    request.appDir = base;
    request.mode = RunMode::Synchronize;
    request.actions = {action};

    AnsweringPrompter prompter;
    report(idle(2000));
    bool ok = report(runOnce(QStringLiteral("copy into an empty destination"), request, prompter));
    request.showAllInReport = true;
    ok = report(runOnce(QStringLiteral("nothing changed, all files listed"), request, prompter))
        && ok;
    if (prompter.boxes)
        ok = false;
    return ok ? 0 : 1;
}
