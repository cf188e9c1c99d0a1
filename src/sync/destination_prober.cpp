#include "destination_prober.h"

#include <sys/stat.h>

namespace {

// The thread wakes a waiting copy loop once per this many results (and at the end).
constexpr std::size_t notifyEvery = 64;

// A folder removed during the run stays open, empty and without links.
bool stillThere(const FolderHandle &folder)
{
    struct stat st { };
    return folder.isOpen() && ::fstat(folder.fd(), &st) == 0 && st.st_nlink > 0;
}

} // namespace

DestinationProber::DestinationProber(int root, const PathList &entries)
    : entries_(entries)
    , results_(entries.size())
    , thread_(&DestinationProber::run, this, root)
{
}

DestinationProber::~DestinationProber()
{
    stop_ = true;
    thread_.join();
}

void DestinationProber::run(int root)
{
    QByteArray sub;
    FolderHandle folder;
    bool opened = false;
    BelowState state = BelowState::Missing;
    for (std::size_t i = 0; i < entries_.size() && !stop_.load(std::memory_order_relaxed); ++i) {
        const QByteArrayView entry = entries_[i];
        const qsizetype slash = entry.lastIndexOf('/');
        const QByteArrayView entrySub = entry.first(slash + 1);
        if (!opened || sub != entrySub) {
            sub = entrySub.toByteArray();
            folder = OpenBelow(root, sub, false, state);
            opened = true;
        }
        DestinationProbe &probe = results_[i];
        probe.file = ProbeFileAt(folder.fd(), entry.constData() + slash + 1);
        probe.folderFound = probe.file.pathExists || stillThere(folder);
        ready_.store(i + 1, std::memory_order_release);
        if ((i + 1) % notifyEvery == 0)
            ready_.notify_one();
    }
    ready_.store(entries_.size(), std::memory_order_release); // also when stopped early
    ready_.notify_one();
}

DestinationProbe DestinationProber::take(std::size_t index)
{
    for (std::size_t seen = ready_.load(std::memory_order_acquire); seen <= index;
         seen = ready_.load(std::memory_order_acquire))
        ready_.wait(seen, std::memory_order_acquire);
    return results_[index];
}
