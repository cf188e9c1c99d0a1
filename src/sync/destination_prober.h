#pragma once

#include "file_probe.h"

#include <QByteArray>

#include <atomic>
#include <thread>
#include <vector>

// Probes the destination side of a file list on a second thread, ahead of the copy loop, so
// that the two sides of each file are probed at the same time on two cores. Each result is
// taken once, in list order; the copy loop probes again itself whenever the result says that
// something is missing (it may have created the folder since).
class DestinationProber {
public:
    DestinationProber(const QByteArray &toPath, const std::vector<QByteArray> &entries);
    ~DestinationProber(); // stops and joins the thread
    DestinationProber(const DestinationProber &) = delete;
    DestinationProber &operator=(const DestinationProber &) = delete;

    // The destination probe of entry index, waiting for it when the thread is behind.
    FileStat take(std::size_t index);

private:
    void run(QByteArray toPath);

    const std::vector<QByteArray> &entries_;
    std::vector<FileStat> results_;
    std::atomic<std::size_t> ready_ {0};
    std::atomic<bool> stop_ {false};
    std::thread thread_;
};
