#pragma once

#include "run_driver.h"
#include "run_request.h"
#include "window_run_observer.h"

#include <QWidget>

#include <atomic>
#include <functional>
#include <thread>

class Prompter;
class QLabel;
class QListView;
class QProgressBar;
class QPushButton;
class QTimer;
class ReportListModel;

// What carries out a run: RunDriver::run in the program. Called on the worker thread.
using RunFunction
    = std::function<RunOutcome(const RunRequest &, RunObserver &, const std::atomic<bool> &)>;

// The run window: serves exactly one run. The first tick of Timer1 starts the run on a worker
// thread; the window mirrors the on-screen report in List1, the progress in Pb1 and the title
// the run asks for, and stays responsive throughout. ESC, the button "Arrêter" and the window
// manager's close command cancel the run; the window itself closes only once the run has ended,
// then also with Enter or ESC.
class frm_sync : public QWidget {
    Q_OBJECT

public:
    frm_sync(RunRequest request, Prompter &prompter, RunFunction run = &RunDriver::run,
        QWidget *parent = nullptr);
    // Stops a run still going (as ESC does) and waits for its thread.
    ~frm_sync() override;

    const RunRequest &request() const { return request_; }
    // From the first tick to the end of the run.
    bool isRunning() const { return running_; }
    // The run has ended (finished, cancelled or failed).
    bool isFinished() const { return finished_; }
    bool CancelRequested() const { return cancel_.load(); }

    // The first tick: starts the run.
    void Timer1_Timer();
    void cmd_close_Click();
    // ESC sets CancelRequested while a run is going; every other key is left alone.
    void Form_KeyDown(int key);
    // What ESC does during a run: the run stops at its next check.
    void stopRun();

signals:
    // The run has begun: the main window leaves its action browser alone from now on.
    void runStarted();
    // The run has ended; emitted before the window closes by itself (Scheduler mode) and
    // before the fatal-error box.
    void runFinished(const RunOutcome &outcome);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildWindow();
    void drainRun();
    void appendLines(QStringList &lines);
    void setProgress(qint64 value, qint64 maximum);
    void finishRun(const RunOutcome &outcome);

    const RunRequest request_;
    Prompter &prompter_;
    RunFunction run_;
    WindowRunObserver observer_;
    std::atomic<bool> cancel_ {false};
    std::thread worker_;
    bool running_ = false;
    bool finished_ = false;
    bool draining_ = false;

    ReportListModel *model_ = nullptr;
    QListView *List1 = nullptr;
    QProgressBar *Pb1 = nullptr;
    QLabel *Label1 = nullptr;
    QPushButton *cmd_close = nullptr;
    QPushButton *cmd_stop = nullptr;
    QTimer *Timer1 = nullptr;
    QTimer *drainTimer_ = nullptr;
};
