#pragma once

#include "schedule_file.h"

#include <QDBusConnection>
#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>

class Prompter;
class QWidget;

// Finds the schedule that fell due while the program was closed or the machine asleep, and asks
// the user whether to run it now: at the watcher's first tick, after the machine wakes up (logind
// says so on the system bus, where there is one) and after a leap of the wall clock. Nothing runs
// without the user's answer.
class MissedRunCheck : public QObject {
    Q_OBJECT

public:
    enum class Answer { NothingMissed, RunNow, Leave };

    explicit MissedRunCheck(
        QDBusConnection systemBus = QDBusConnection::systemBus(), QObject *parent = nullptr);

    // Called at every tick of the watcher: true when it is time to look for a missed run.
    bool shouldLook(const QDateTime &now);
    // Looks for a run of the schedule missed at now and asks about it, once per missed moment.
    // "Non" switches a one-time schedule off in the file, and counts today as done for a daily
    // one; "Oui" leaves the run, and what the watcher writes for it, to the caller.
    Answer ask(const Schedule &schedule, const QString &appDir, const QDateTime &now,
        Prompter &prompter, QWidget *parent);

private slots:
    void prepareForSleep(bool sleeping);

private:
    QDateTime lastTick_;
    QElapsedTimer sinceLastTick_;
    bool woke_ = false;
    // The missed moment last asked about: a file that cannot be written must not bring the
    // same question back.
    QDateTime asked_;
};
