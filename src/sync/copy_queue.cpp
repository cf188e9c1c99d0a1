#include "copy_queue.h"

#include "file_step.h"
#include "run_context.h"
#include "safe_copy.h"

#include <algorithm>

namespace {

constexpr int copyThreads = 2;
// On a share each copy mostly waits on the network (create, write, rename): more at once.
constexpr int slowCopyThreads = 8;
// How far the run may go ahead of the oldest copy not yet reported.
constexpr std::size_t maxQueued = 256;

} // namespace

struct CopyQueue::Item {
    bool isLine = false;
    QString line;
    bool copy = false;
    bool copied = false;
    qint64 size = 0;
    QByteArrayView shown;
    std::shared_ptr<const FolderHandle> from;
    std::shared_ptr<const FolderHandle> to;
    const char *name = nullptr;
    long existingMode = -1;
    CopyResult result;
    bool done = false;
    bool abandoned = false; // not copied after all: nothing to report
};

CopyQueue::CopyQueue(RunContext &run, bool copyAhead)
    : run_(run)
{
    const int threads = !copyAhead ? 0 : run_.volume.slow ? slowCopyThreads : copyThreads;
    for (int i = 0; i < threads; ++i)
        threads_.emplace_back(&CopyQueue::work, this);
}

CopyQueue::~CopyQueue()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        todo_.clear(); // copies not started are not made
    }
    changed_.notify_all();
    for (std::thread &thread : threads_)
        thread.join();
}

void CopyQueue::work()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return stopping_ || !todo_.empty(); });
        if (todo_.empty())
            return;
        const auto next = nextToCopy();
        Item *item = *next;
        todo_.erase(next);
        const FolderHandle *folder = item->to.get();
        busy_.push_back(folder);
        lock.unlock();
        makeCopy(*item);
        lock.lock();
        busy_.erase(std::find(busy_.begin(), busy_.end(), folder));
        item->done = true;
        changed_.notify_all();
    }
}

// The oldest copy not started; on a share, the oldest into a folder no other copy is writing
// into, when there is one: creations and renames in one folder wait for each other there.
std::deque<CopyQueue::Item *>::iterator CopyQueue::nextToCopy()
{
    if (!run_.volume.slow)
        return todo_.begin();
    const auto idle = std::find_if(todo_.begin(), todo_.end(), [this](const Item *item) {
        return std::find(busy_.begin(), busy_.end(), item->to.get()) == busy_.end();
    });
    return idle != todo_.end() ? idle : todo_.begin();
}

// Makes the item's copy; only its own thread touches the item meanwhile.
void CopyQueue::makeCopy(Item &item) const
{
    const QByteArray name = QByteArray::fromRawData(item.name, qsizetype(qstrlen(item.name)));
    const KeepOld keepOld {run_.versions.get(), item.shown};
    item.result = SafeCopyAt(item.from->fd(), name, item.to->fd(), name, item.existingMode,
        &run_.cancel, &run_.volume, run_.versions ? &keepOld : nullptr);
    item.abandoned = item.result.fault == CopyFault::Cancelled; // a copy cut short was not made
}

void CopyQueue::addLine(const QString &line)
{
    if (items_.empty()) { // nothing waiting: write it now
        run_.add(line);
        run_.report.dumpIfFull();
        return;
    }
    auto item = std::make_unique<Item>();
    item->isLine = true;
    item->line = line;
    item->done = true;
    {
        std::lock_guard lock(mutex_);
        items_.push_back(std::move(item));
    }
    writeDone(false);
}

void CopyQueue::addFile(bool copy, bool copied, qint64 size, QByteArrayView shown,
    std::shared_ptr<const FolderHandle> from, std::shared_ptr<const FolderHandle> to,
    const char *name, long existingMode)
{
    auto item = std::make_unique<Item>();
    item->copy = copy;
    item->copied = copied;
    item->size = size;
    item->shown = shown;
    item->from = std::move(from);
    item->to = std::move(to);
    item->name = name;
    item->existingMode = existingMode;
    const bool ahead = copy && !threads_.empty();
    if (copy && !ahead)
        makeCopy(*item);
    item->done = !ahead;
    {
        std::lock_guard lock(mutex_);
        if (ahead)
            todo_.push_back(item.get());
        items_.push_back(std::move(item));
    }
    if (ahead)
        changed_.notify_one();
    writeDone(false);
}

void CopyQueue::addFailure(QByteArrayView shown, CopyFault fault, int error)
{
    auto item = std::make_unique<Item>();
    item->shown = shown;
    item->result.fault = fault;
    item->result.error = error;
    item->done = true;
    {
        std::lock_guard lock(mutex_);
        items_.push_back(std::move(item));
    }
    writeDone(false);
}

void CopyQueue::finish()
{
    writeDone(true);
}

void CopyQueue::abandon()
{
    {
        std::lock_guard lock(mutex_);
        for (Item *item : todo_) {
            item->abandoned = true;
            item->done = true;
        }
        todo_.clear();
    }
    writeDone(true);
}

// Writes the finished items at the front; waits for the front one when the queue is full (or
// for all of them when wait is true). Report lines are written on the run's own thread only.
void CopyQueue::writeDone(bool wait)
{
    for (;;) {
        std::unique_ptr<Item> item;
        {
            std::unique_lock lock(mutex_);
            if (items_.empty())
                return;
            if (!items_.front()->done) {
                if (!wait && items_.size() < maxQueued)
                    return;
                changed_.wait(lock, [this] { return items_.front()->done; });
            }
            item = std::move(items_.front());
            items_.pop_front();
        }
        if (item->isLine)
            run_.add(item->line);
        else if (!item->abandoned)
            ReportFile(run_, item->copied, item->result,
                item->copy ? item->result.bytes : item->size, item->shown);
        run_.report.dumpIfFull();
    }
}
