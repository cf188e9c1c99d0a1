#pragma once

#include <QString>
#include <QtGlobal>

// What a run tells its front end (the run window or the console). Called on the run's own
// thread, in the order things happen.
class RunObserver {
public:
    virtual ~RunObserver() = default;

    // One more line of the on-screen report.
    virtual void lineAdded(const QString &line) = 0;
    // The on-screen report was appended to the report file and emptied.
    virtual void reportFlushed() = 0;
    // The window title the run asks for.
    virtual void titleChanged(const QString &title) = 0;
    // Position of the current file among the files of the current action: 0 to maximum.
    virtual void progressChanged(qint64 value, qint64 maximum) = 0;
};
