#pragma once

#include "file_probe.h"
#include "safe_copy.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

struct RunContext;

// Copies files on threads of its own while the run goes on with the next files, and writes each
// file's report lines in list order once its copy is done, so that the report reads as if every
// copy had been made in turn.
class CopyQueue {
public:
    // copyAhead false: each copy is made on the run's thread as it is added, so that a cancelled
    // run has made no copy beyond the ones it had reported.
    explicit CopyQueue(RunContext &run, bool copyAhead = true);
    ~CopyQueue(); // waits for the copies under way (their files are whole either way)
    CopyQueue(const CopyQueue &) = delete;
    CopyQueue &operator=(const CopyQueue &) = delete;

    // A report line, written after everything queued before it.
    void addLine(const QString &line);
    // A decided file: copied (by a copy thread) when copy is true, else only reported.
    void addFile(bool copy, bool copied, qint64 size, QByteArrayView shown,
        std::shared_ptr<const FolderHandle> from, std::shared_ptr<const FolderHandle> to,
        const char *name, long existingMode);
    // A file that cannot be copied, for the reason given (and its errno).
    void addFailure(QByteArrayView shown, CopyFault fault, int error = 0);
    // Waits for every copy and writes every queued line.
    void finish();
    // On cancel: copies not started are not made, copies under way stop; every line and every
    // copy made is still written, in order.
    void abandon();

private:
    struct Item;
    void work();
    std::deque<Item *>::iterator nextToCopy();
    void makeCopy(Item &item) const;
    void writeDone(bool wait);

    RunContext &run_;
    std::mutex mutex_;
    std::condition_variable changed_;
    // In list order, written from the front; only the run's own thread touches this deque (the
    // copy threads only touch the items they were given, under the mutex).
    std::deque<std::unique_ptr<Item>> items_;
    std::deque<Item *> todo_; // copies not yet started
    std::vector<const FolderHandle *> busy_; // the folders of the copies under way
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};
