#pragma once

#include "run_observer.h"

#include <QStringList>

#include <functional>

// Keeps what a run tells, as the run window would show it.
class RecordingObserver : public RunObserver {
public:
    QStringList lines; // every line, flushes included
    int flushes = 0;
    std::function<void(const QString &)> onLine; // called after each line
    std::function<void(qint64, qint64)> onProgress;

    void lineAdded(const QString &line) override
    {
        lines << line;
        if (onLine)
            onLine(line);
    }
    void reportFlushed() override { ++flushes; }
    void titleChanged(const QString &) override { }
    void progressChanged(qint64 value, qint64 maximum) override
    {
        if (onProgress)
            onProgress(value, maximum);
    }
};
