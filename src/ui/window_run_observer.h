#pragma once

#include "run_observer.h"
#include "run_request.h"

#include <QString>

#include <deque>
#include <mutex>
#include <optional>

// The run window's side of a run: the worker thread pushes what the run reports, the window's
// timer takes it in batches on the user-interface thread. Lines, report flushes, titles and the
// end of the run keep their order; progress keeps only its latest value, since only that one is
// ever shown.
class WindowRunObserver final : public RunObserver {
public:
    struct Event {
        enum class Kind { Line, Flushed, Title, Finished };
        Kind kind;
        QString text;
    };
    struct Progress {
        qint64 value = 0;
        qint64 maximum = 0;
    };

    // Worker side.
    void lineAdded(const QString &line) override;
    void reportFlushed() override;
    void titleChanged(const QString &title) override;
    void progressChanged(qint64 value, qint64 maximum) override;
    // The last event of a run.
    void finished(const RunOutcome &outcome);

    // Window side.
    std::deque<Event> takeEvents();
    std::optional<Progress> takeProgress();
    RunOutcome outcome() const;

private:
    void push(Event::Kind kind, const QString &text = {});

    mutable std::mutex mutex_;
    std::deque<Event> events_;
    std::optional<Progress> progress_;
    RunOutcome outcome_;
};
