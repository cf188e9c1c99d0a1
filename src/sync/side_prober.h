#pragma once

#include "file_probe.h"
#include "path_list.h"

#include <QByteArray>

#include <atomic>
#include <thread>
#include <vector>

// What one side of one entry looks like.
struct SideProbe {
    FileStat file;
    // The entry's folder is there: neither missing, nor a link, nor removed during the run.
    bool folderFound = false;
};

// Probes one side of a file list ahead of the copy loop, on threads of its own: for the
// destination, one on a local disk, where the two sides of each file are then probed at the
// same time on two cores; many on a share (either side), where each call waits on the network
// and only calls in flight together hide that wait. Each result is taken once, in list order;
// the copy loop looks again itself whenever the result says that something is missing (it may
// have been made since). The probes run at most window entries ahead of the last one taken, so
// memory stays bounded.
class SideProber {
public:
    static constexpr std::size_t window = 4096;
    // Probes in flight together on a share, where each one waits on the network.
    static constexpr int slowThreads = 16;

    // root: the open folder of that side, which outlives the prober.
    SideProber(int root, const PathList &entries, int threads);
    ~SideProber(); // stops and joins the threads
    SideProber(const SideProber &) = delete;
    SideProber &operator=(const SideProber &) = delete;

    // The probe of entry index, waiting for it when the threads are behind.
    SideProbe take(std::size_t index);

private:
    struct Slot {
        SideProbe probe;
        std::atomic<std::size_t> filled {0}; // the index it holds, plus one
    };
    void work(int root);
    bool waitForRoom(std::size_t end);

    const PathList &entries_;
    std::vector<Slot> slots_; // a ring: entry i goes to slot i % its size
    std::atomic<std::size_t> next_ {0}; // the first entry no thread has claimed
    std::atomic<std::size_t> taken_ {0}; // the entries the copy loop has taken
    std::atomic<bool> stop_ {false};
    std::vector<std::thread> threads_;
};
