#pragma once

#include <QByteArrayView>
#include <QString>
#include <QtGlobal>

// One file a run looked at, whatever became of it.
struct ExaminedFile {
    enum class Decision { Copied, Unchanged, Failed, WouldCopy };
    int action = 0; // from 1, in the run's order
    QByteArrayView
        path; // relative to the origin, file-system bytes as found; valid during the call
    Decision decision = Decision::Unchanged;
    qint64 bytes = 0;
    QString reason; // Failed: the French cause the report gives
};

// An action's end: its folders and what it copied (or would copy).
struct ActionTotals {
    int number = 0;
    QString from;
    QString to;
    qint64 files = 0;
    qint64 bytes = 0;
};

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
    // Every file decided, unchanged ones too, in report order. Only a front end that lists
    // files needs it.
    virtual void fileExamined(const ExaminedFile &) { }
    // An action ended (not one cut short by a cancellation or a fatal error).
    virtual void actionEnded(const ActionTotals &) { }
};
