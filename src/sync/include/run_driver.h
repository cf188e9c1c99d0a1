#pragma once

#include "run_request.h"

#include <atomic>

class RunObserver;

// Runs a project's actions one by one, writes the report through the observer and appends it
// to the project's report file. Setting cancel stops the run: the cancellation block is written
// and saved. Safe to call on any thread; it touches no widget and no global state.
class RunDriver {
public:
    static RunOutcome run(
        const RunRequest &request, RunObserver &observer, const std::atomic<bool> &cancel);
};
