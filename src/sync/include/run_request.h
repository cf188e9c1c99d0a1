#pragma once

#include "records.h"

#include <QDateTime>
#include <QLocale>
#include <QString>

#include <functional>
#include <vector>

// How a run treats the files: "Synchronize" copies, "Simulate" only reports, "Scheduler" copies
// and closes its window at the end.
enum class RunMode { Synchronize, Simulate, Scheduler };

// The run mode's own text: "Synchronize", "Simulate" or "Scheduler".
QString RunModeText(RunMode mode);

// Everything a run needs, taken on the user-interface thread before the run starts.
struct RunRequest {
    QString projectName;
    QString appDir; // ends with "/"; the report file goes there
    RunMode mode = RunMode::Synchronize;
    bool showAllInReport = false; // also report the files left unchanged
    bool saveReport = true; // false: the report is only shown, never written to its file
    std::vector<Action> actions; // the project's actions, in browser order
    QLocale locale = QLocale::system(); // thousands separator of the byte counts
    std::function<QDateTime()> now = [] { return QDateTime::currentDateTime(); };
};

// How a run ended.
struct RunOutcome {
    enum class Status { Finished, Cancelled, Failed };
    Status status = Status::Finished;
    bool copyErrors = false; // a copy failed, or a folder an action needs was missing
    int errorNumber = 0; // Failed: the fatal error
    QString errorText;
    qint64 totalFiles = 0;
    qint64 totalBytes = 0;
    QString reportFile; // the report file written
};
