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

// Probes the destination side of a file list on a second thread, ahead of the copy loop, so
// that the two sides of each file are probed at the same time on two cores. Each result is
// taken once, in list order; the copy loop looks again itself whenever the result says that
// the folder is missing (it may have created the folder since).
class DestinationProber {
public:
    // root: the open destination folder, which outlives the prober.
    DestinationProber(int root, const PathList &entries);
    ~DestinationProber(); // stops and joins the thread
    DestinationProber(const DestinationProber &) = delete;
    DestinationProber &operator=(const DestinationProber &) = delete;

    // The destination probe of entry index, waiting for it when the thread is behind.
    DestinationProbe take(std::size_t index);

private:
    void run(int root);

    const PathList &entries_;
    std::vector<DestinationProbe> results_;
    std::atomic<std::size_t> ready_ {0};
    std::atomic<bool> stop_ {false};
    std::thread thread_;
};
