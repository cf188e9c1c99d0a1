#include "side_prober.h"

#include <sys/stat.h>

#include <algorithm>
#include <limits>

namespace {

// How many entries a thread claims at once (entries of one folder are together, so a thread
// mostly keeps its folder open).
constexpr std::size_t chunk = 16;

// A folder removed during the run stays open, empty and without links.
bool stillThere(const FolderHandle &folder)
{
    struct stat st { };
    return folder.isOpen() && ::fstat(folder.fd(), &st) == 0 && st.st_nlink > 0;
}

} // namespace

SideProber::SideProber(int root, const PathList &entries, int threads)
    : entries_(entries)
    , slots_(std::min(window, std::max<std::size_t>(entries.size(), 1)))
{
    for (int i = 0; i < threads; ++i)
        threads_.emplace_back(&SideProber::work, this, root);
}

SideProber::~SideProber()
{
    stop_ = true;
    taken_.store(std::numeric_limits<std::size_t>::max() / 2); // wakes those waiting for room
    taken_.notify_all();
    for (std::thread &thread : threads_)
        thread.join();
}

// Waits until entries up to end fit in the window; false when the prober stops.
bool SideProber::waitForRoom(std::size_t end)
{
    for (;;) {
        if (stop_)
            return false;
        const std::size_t taken = taken_.load();
        if (end <= taken + slots_.size())
            return true;
        taken_.wait(taken);
    }
}

void SideProber::work(int root)
{
    QByteArray sub;
    FolderHandle folder;
    bool opened = false;
    BelowState state = BelowState::Missing;
    const std::size_t count = entries_.size();
    for (std::size_t first = next_.fetch_add(chunk); first < count;
         first = next_.fetch_add(chunk)) {
        for (std::size_t i = first; i < std::min(first + chunk, count); ++i) {
            if (!waitForRoom(i + 1))
                return;
            const QByteArrayView entry = entries_[i];
            const qsizetype slash = entry.lastIndexOf('/');
            const QByteArrayView entrySub = entry.first(slash + 1);
            if (!opened || sub != entrySub) {
                sub = entrySub.toByteArray();
                folder = OpenBelow(root, sub, false, state);
                opened = true;
            }
            Slot &slot = slots_[i % slots_.size()];
            slot.probe.file = ProbeFileAt(folder.fd(), entry.constData() + slash + 1);
            slot.probe.folderFound = slot.probe.file.pathExists || stillThere(folder);
            slot.filled.store(i + 1, std::memory_order_release);
            slot.filled.notify_one();
        }
    }
}

SideProbe SideProber::take(std::size_t index)
{
    Slot &slot = slots_[index % slots_.size()];
    for (std::size_t filled = slot.filled.load(std::memory_order_acquire); filled != index + 1;
         filled = slot.filled.load(std::memory_order_acquire))
        slot.filled.wait(filled, std::memory_order_acquire);
    const SideProbe probe = slot.probe;
    taken_.store(index + 1);
    taken_.notify_all();
    return probe;
}
