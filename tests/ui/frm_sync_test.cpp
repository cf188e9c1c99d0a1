#include "frm_sync.h"
#include "main_window_driver.h"

#include <QAbstractItemModel>
#include <QListView>
#include <QTest>

#include <sys/resource.h>
#include <unistd.h>

namespace {

QStringList lines(const frm_sync &w)
{
    const QAbstractItemModel *model = child<QListView>(w, "List1")->model();
    QStringList texts;
    for (int row = 0; row < model->rowCount(); ++row)
        texts << model->index(row, 0).data().toString();
    return texts;
}

} // namespace

class FrmSyncTest : public QObject {
    Q_OBJECT

private slots:
    void aRunFromLoadToClose()
    {
        std::atomic<int> runNice {0};
        ScriptedRun run;
        run.script = [&runNice](RunObserver &o) {
            runNice = getpriority(PRIO_PROCESS, id_t(gettid()));
            o.lineAdded(QStringLiteral("avant"));
        };
        // The window takes the lines in several batches, and empties its list at each flush.
        run.afterRelease = [](RunObserver &o) {
            o.reportFlushed();
            for (int i = 0; i < 3000; ++i) {
                o.lineAdded(QString::number(i));
                if (i % 1000 == 999)
                    std::this_thread::sleep_for(std::chrono::milliseconds(60));
            }
            o.reportFlushed();
            o.lineAdded(QStringLiteral("fin"));
        };
        ScriptedPrompter prompter;
        frm_sync w(RunRequest(), prompter, run.function());
        auto *close = child<QPushButton>(w, "cmd_close");
        w.show();

        // Before the first tick nothing runs and the window cannot be closed.
        QVERIFY(!close->isEnabled() && !w.close());
        QTRY_COMPARE(lines(w), QStringList {"avant"});
        // The run's thread steps back so that the window gets a processor first.
        const int windowNice = getpriority(PRIO_PROCESS, id_t(gettid()));
        QVERIFY(runNice > windowNice || windowNice == 19);

        QStringList betweenFlushes;
        QTimer watch;
        connect(&watch, &QTimer::timeout, [&] {
            if (lines(w).size() >= 1000)
                betweenFlushes = lines(w);
        });
        watch.start(5);
        run.released = true;
        QTRY_VERIFY(w.isFinished());
        QCOMPARE(lines(w), QStringList {"fin"});
        QVERIFY(betweenFlushes.size() >= 1000);
        QCOMPARE(betweenFlushes.first() + u'-' + betweenFlushes.last(),
            QStringLiteral("0-%1").arg(betweenFlushes.size() - 1));
        QVERIFY(close->isEnabled() && prompter.shown.isEmpty());
        w.Timer1_Timer(); // one run per window
        QTest::qWait(50);
        QCOMPARE(run.runs.load(), 1);

        // Enter closes the finished window whatever has the focus.
        QTest::keyClick(child<QListView>(w, "List1"), Qt::Key_Return);
        QVERIFY(!w.isVisible() && !w.CancelRequested());
    }

    void escTheButtonAndTheCloseBoxStopTheRun()
    {
        const std::function<void(frm_sync &)> stops[] = {
            [](frm_sync &w) { QTest::keyClick(child<QListView>(w, "List1"), Qt::Key_Escape); },
            [](frm_sync &w) { child<QPushButton>(w, "cmd_stop")->click(); },
            [](frm_sync &w) { QVERIFY(!w.close()); }, // the window manager's close command
        };
        for (const auto &stop : stops) {
            ScriptedRun run;
            ScriptedPrompter prompter;
            frm_sync w(RunRequest(), prompter, run.function());
            w.show();
            QTRY_VERIFY(w.isRunning());
            auto *list = child<QListView>(w, "List1");
            QTest::keyClick(list, Qt::Key_Return);
            QVERIFY(!w.CancelRequested());
            stop(w);
            QTRY_VERIFY(w.isFinished());
            QVERIFY(w.isVisible() && child<QPushButton>(w, "cmd_close")->isEnabled());
            QCOMPARE(lines(w), QStringList {"annulée"});
            QTest::keyClick(list, Qt::Key_Escape); // the finished window closes
            QVERIFY(!w.isVisible());
        }
    }

    void schedulerRunsCloseThemselvesAndFatalErrorsAreTold()
    {
        using Status = RunOutcome::Status;
        const struct {
            RunMode mode;
            Status status;
            bool staysOpen;
        } cases[] = {
            {RunMode::Scheduler, Status::Finished, false},
            {RunMode::Scheduler, Status::Failed, false},
            {RunMode::Simulate, Status::Failed, true},
        };
        for (const auto &c : cases) {
            ScriptedRun run;
            run.released = true;
            run.outcome.status = c.status;
            ScriptedPrompter prompter;
            RunRequest request;
            request.mode = c.mode;
            frm_sync w(request, prompter, run.function());
            bool openWhenFinished = false;
            connect(&w, &frm_sync::runFinished, [&] { openWhenFinished = w.isVisible(); });
            w.show();
            QTRY_VERIFY(w.isFinished());
            QCOMPARE(w.isVisible(), c.staysOpen);
            QVERIFY(openWhenFinished);
            // A fatal error is told in an error box.
            QCOMPARE(prompter.said(false),
                c.status == Status::Failed ? QStringList {"Erreur"} : QStringList());
        }
    }
};

QTEST_MAIN(FrmSyncTest)
#include "frm_sync_test.moc"
