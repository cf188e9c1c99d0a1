#pragma once

#include "file_probe.h"
#include "path_list.h"

#include <QByteArray>

#include <atomic>
#include <thread>
#include <vector>

// What the destination side of one entry looks like.
struct DestinationProbe {
    FileStat file;
    // The entry's folder is there: neither missing, nor a link, nor removed during the run.
    bool folderFound = false;
};

// Probes the destination side of a file list ahead of the copy loop, on threads of its own: one
// on a local disk, where the two sides of each file are then probed at the same time on two
// cores; many on a share, where each call waits on the network and only calls in flight
// together hide that wait. Each result is taken once, in list order; the copy loop looks again
// itself whenever the result says that the folder is missing (it may have made it since). The
// probes run at most a fixed window ahead of the loop, so memory stays bounded.
class DestinationProber {
public:
    // root: the open destination folder, which outlives the prober.
    DestinationProber(int root, const PathList &entries, int threads);
    ~DestinationProber(); // stops and joins the threads
    DestinationProber(const DestinationProber &) = delete;
    DestinationProber &operator=(const DestinationProber &) = delete;

    // The destination probe of entry index, waiting for it when the threads are behind.
    DestinationProbe take(std::size_t index);

private:
    struct Slot {
        DestinationProbe probe;
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
