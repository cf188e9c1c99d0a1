#include "destination_prober.h"

namespace {

// The thread wakes a waiting copy loop once per this many results (and at the end).
constexpr std::size_t notifyEvery = 64;

} // namespace

DestinationProber::DestinationProber(
    const QByteArray &toPath, const std::vector<QByteArray> &entries)
    : entries_(entries)
    , results_(entries.size())
    , thread_(&DestinationProber::run, this, toPath)
{
}

DestinationProber::~DestinationProber()
{
    stop_ = true;
    thread_.join();
}

void DestinationProber::run(QByteArray toPath)
{
    QByteArray sub;
    FolderHandle folder;
    bool opened = false;
    for (std::size_t i = 0; i < entries_.size() && !stop_.load(std::memory_order_relaxed); ++i) {
        const QByteArray &entry = entries_[i];
        const qsizetype slash = entry.lastIndexOf('/');
        const QByteArrayView entrySub = QByteArrayView(entry).first(slash + 1);
        if (!opened || sub != entrySub) {
            sub = entrySub.toByteArray();
            folder = FolderHandle(toPath + sub);
            opened = true;
        }
        results_[i] = ProbeFileAt(folder.fd(), entry.constData() + slash + 1);
        ready_.store(i + 1, std::memory_order_release);
        if ((i + 1) % notifyEvery == 0)
            ready_.notify_one();
    }
    ready_.store(entries_.size(), std::memory_order_release); // also when stopped early
    ready_.notify_one();
}

FileStat DestinationProber::take(std::size_t index)
{
    for (std::size_t seen = ready_.load(std::memory_order_acquire); seen <= index;
         seen = ready_.load(std::memory_order_acquire))
        ready_.wait(seen, std::memory_order_acquire);
    return results_[index];
}
