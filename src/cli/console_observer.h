#pragma once

#include "run_observer.h"
#include "run_request.h"

#include <QString>

#include <chrono>
#include <cstdio>

// The console side of a run: each report line goes to standard output as soon as it is written
// (UTF-8, flushed, so a pipe sees it at once); progress goes to standard error, only when that
// is a terminal; the file-limit notice goes to standard error.
class ConsoleObserver : public RunObserver {
public:
    // printLines false: report lines are not printed (--quiet). progressOnTerminal false:
    // never show progress (standard error is not a terminal).
    ConsoleObserver(std::FILE *out, std::FILE *err, bool printLines, bool progressOnTerminal);
    ~ConsoleObserver() override;
    ConsoleObserver(const ConsoleObserver &) = delete;
    ConsoleObserver &operator=(const ConsoleObserver &) = delete;

    void lineAdded(const QString &line) override;
    void reportFlushed() override { }
    void titleChanged(const QString &title) override;
    void progressChanged(qint64 value, qint64 maximum) override;

    // The run is over (only the JSON lines tell it).
    virtual void runEnded(const RunOutcome &) { }

    // Writes a message line on standard error, clearing the progress line first.
    void error(const QString &message);
    // Removes the progress line from the terminal.
    void clearProgress();

private:
    void drawProgress();

    std::FILE *out_;
    std::FILE *err_;
    bool printLines_;
    bool progress_;
    bool progressShown_ = false;
    int columns_ = 80;
    QString title_;
    qint64 value_ = 0;
    qint64 maximum_ = -1;
    std::chrono::steady_clock::time_point lastDraw_ {};
};
