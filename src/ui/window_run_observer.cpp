#include "window_run_observer.h"

void WindowRunObserver::push(Event::Kind kind, const QString &text)
{
    const std::lock_guard lock(mutex_);
    events_.push_back({kind, text});
}

void WindowRunObserver::lineAdded(const QString &line)
{
    push(Event::Kind::Line, line);
}

void WindowRunObserver::reportFlushed()
{
    push(Event::Kind::Flushed);
}

void WindowRunObserver::titleChanged(const QString &title)
{
    push(Event::Kind::Title, title);
}

void WindowRunObserver::progressChanged(qint64 value, qint64 maximum)
{
    const std::lock_guard lock(mutex_);
    progress_ = Progress {value, maximum};
}

void WindowRunObserver::finished(const RunOutcome &outcome)
{
    const std::lock_guard lock(mutex_);
    outcome_ = outcome;
    events_.push_back({Event::Kind::Finished, {}});
}

std::deque<WindowRunObserver::Event> WindowRunObserver::takeEvents()
{
    const std::lock_guard lock(mutex_);
    return std::exchange(events_, {});
}

std::optional<WindowRunObserver::Progress> WindowRunObserver::takeProgress()
{
    const std::lock_guard lock(mutex_);
    return std::exchange(progress_, std::nullopt);
}

RunOutcome WindowRunObserver::outcome() const
{
    const std::lock_guard lock(mutex_);
    return outcome_;
}
