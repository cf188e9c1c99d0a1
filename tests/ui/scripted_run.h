#pragma once

#include "frm_sync.h"
#include "run_observer.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <thread>

// A run that the test steers: it reports what `script` tells it, waits until the test releases
// it or the window cancels it, then reports `afterRelease` and ends with `outcome` (Cancelled,
// after a line "annulée", when it saw the cancel flag).
class ScriptedRun {
public:
    std::function<void(RunObserver &)> script, afterRelease;
    RunOutcome outcome;
    std::atomic<bool> released {false}, started {false};
    std::atomic<int> runs {0};

    RunFunction function()
    {
        return [this](const RunRequest &request, RunObserver &o, const std::atomic<bool> &cancel) {
            {
                const std::lock_guard lock(mutex_);
                lastRequest_ = request;
            }
            ++runs;
            started = true;
            if (script)
                script(o);
            while (!released && !cancel)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            RunOutcome result = outcome;
            if (cancel) {
                o.lineAdded(QStringLiteral("annulée"));
                result.status = RunOutcome::Status::Cancelled;
            } else if (afterRelease) {
                afterRelease(o);
            }
            return result;
        };
    }

    RunRequest lastRequest() const
    {
        const std::lock_guard lock(mutex_);
        return lastRequest_;
    }

private:
    mutable std::mutex mutex_;
    RunRequest lastRequest_;
};
