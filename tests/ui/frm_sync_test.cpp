#include "frm_sync.h"
#include "scripted_prompter.h"
#include "scripted_run.h"

#include <QAbstractItemModel>
#include <QLabel>
#include <QListView>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <sys/resource.h>
#include <unistd.h>

namespace {

RunRequest requestFor(RunMode mode = RunMode::Synchronize)
{
    RunRequest request;
    request.projectName = QStringLiteral("Sauvegarde");
    request.mode = mode;
    return request;
}

template <typename T> T *child(const QWidget &w, const char *name)
{
    return w.findChild<T *>(QString::fromLatin1(name));
}

QStringList lines(const frm_sync &w)
{
    const QAbstractItemModel *model = child<QListView>(w, "List1")->model();
    QStringList texts;
    for (int row = 0; row < model->rowCount(); ++row)
        texts << model->index(row, 0).data().toString();
    return texts;
}

QStringList numbered(const char *prefix, int count)
{
    QStringList texts;
    for (int i = 0; i < count; ++i)
        texts << QString::fromLatin1(prefix) + QString::number(i);
    return texts;
}

} // namespace

class FrmSyncTest : public QObject {
    Q_OBJECT

private slots:
    void aRunFromLoadToClose();
    void escTheButtonAndTheCloseBoxStopTheRun();
    void schedulerRunsCloseThemselvesAndFatalErrorsAreTold();
};

void FrmSyncTest::aRunFromLoadToClose()
{
    std::atomic<int> runNice {0};
    ScriptedRun run;
    run.script = [&runNice](RunObserver &o) {
        runNice = getpriority(PRIO_PROCESS, id_t(gettid()));
        o.titleChanged(QStringLiteral("Création de la liste"));
        for (const QString &line : numbered("avant ", 2500))
            o.lineAdded(line);
        o.progressChanged(3, 4);
    };
    run.afterRelease = [](RunObserver &o) {
        o.reportFlushed();
        for (int i = 0; i < 3000; ++i) {
            o.lineAdded(QStringLiteral("ligne %1").arg(i));
            if (i % 1000 == 999) // the window takes them in several batches
                std::this_thread::sleep_for(std::chrono::milliseconds(60));
        }
        o.reportFlushed();
        o.lineAdded(QStringLiteral("fin"));
        o.progressChanged(3'000'000'000, 6'000'000'000); // beyond the bar's own range
    };
    run.outcome.totalFiles = 7;
    ScriptedPrompter prompter;
    frm_sync w(requestFor(), prompter, run.function());
    QList<qint64> finished;
    connect(&w, &frm_sync::runFinished, [&](const RunOutcome &o) { finished << o.totalFiles; });
    auto *close = child<QPushButton>(w, "cmd_close");
    auto *esc = child<QLabel>(w, "Label1");
    auto *stop = child<QPushButton>(w, "cmd_stop");
    auto *list = child<QListView>(w, "List1");
    auto *bar = child<QProgressBar>(w, "Pb1");
    w.show();

    // Before the first tick nothing runs, ESC does nothing and the window cannot be closed.
    QCOMPARE(w.windowTitle(), QStringLiteral("Synchronisation en cours... Patientez"));
    QVERIFY(!close->isEnabled() && esc->isHidden() && stop->isHidden());
    QTest::keyClick(&w, Qt::Key_Escape);
    QVERIFY(!w.CancelRequested() && !w.close());

    QTRY_COMPARE(lines(w), numbered("avant ", 2500));
    QVERIFY(w.isRunning() && esc->isVisible() && stop->isVisible());
    QCOMPARE(w.windowTitle(), QStringLiteral("Création de la liste"));
    // The run's thread steps back so that the window gets a processor first.
    const int windowNice = getpriority(PRIO_PROCESS, id_t(gettid()));
    QVERIFY(runNice > windowNice || windowNice == 19);
    QCOMPARE(list->currentIndex().row(), 2499); // the list follows the last line
    QTRY_COMPARE(bar->value(), 3);
    QCOMPARE(bar->maximum(), 4);

    QStringList betweenFlushes;
    QTimer watch;
    connect(&watch, &QTimer::timeout, [&] {
        if (list->model()->rowCount() >= 1000)
            betweenFlushes = lines(w);
    });
    watch.start(5);
    run.released = true;
    QTRY_COMPARE(w.windowTitle(), QStringLiteral("Terminé!"));
    QCOMPARE(lines(w), QStringList {"fin"});
    QCOMPARE(betweenFlushes, numbered("ligne ", int(betweenFlushes.size())));
    QVERIFY(betweenFlushes.size() >= 1000);
    QCOMPARE(double(bar->value()) / bar->maximum(), 0.5);
    QVERIFY(close->isEnabled() && esc->isHidden() && stop->isHidden());
    QCOMPARE(finished, QList<qint64> {7});
    QVERIFY(prompter.shown.isEmpty());

    // After the run there is no second run, and Enter closes the window whatever has the focus.
    w.Timer1_Timer();
    QTest::qWait(100);
    QCOMPARE(run.runs.load(), 1);
    QTest::keyClick(list, Qt::Key_Return);
    QVERIFY(!w.isVisible() && !w.CancelRequested());
}

void FrmSyncTest::escTheButtonAndTheCloseBoxStopTheRun()
{
    const std::function<void(frm_sync &)> stops[] = {
        [](frm_sync &w) { QTest::keyClick(child<QListView>(w, "List1"), Qt::Key_Escape); },
        [](frm_sync &w) { child<QPushButton>(w, "cmd_stop")->click(); },
        [](frm_sync &w) { QVERIFY(!w.close()); }, // the window manager's close command
    };
    for (const auto &stop : stops) {
        ScriptedRun run;
        ScriptedPrompter prompter;
        frm_sync w(requestFor(), prompter, run.function());
        w.show();
        QTRY_VERIFY(w.isRunning());
        auto *list = child<QListView>(w, "List1");
        QTest::keyClick(list, Qt::Key_Return);
        QVERIFY(!w.CancelRequested());
        stop(w);
        QVERIFY(w.CancelRequested() && child<QLabel>(w, "Label1")->isHidden());
        QTRY_COMPARE(w.windowTitle(), QStringLiteral("User canceled!"));
        QVERIFY(w.isVisible() && child<QPushButton>(w, "cmd_close")->isEnabled());
        QCOMPARE(lines(w), QStringList {"annulée"});
        QTest::keyClick(list, Qt::Key_Escape); // the finished window closes
        QVERIFY(!w.isVisible());
    }
}

void FrmSyncTest::schedulerRunsCloseThemselvesAndFatalErrorsAreTold()
{
    using Status = RunOutcome::Status;
    const struct {
        RunMode mode;
        Status status;
        bool staysOpen;
        const char *title;
    } cases[] = {
        {RunMode::Scheduler, Status::Finished, false, "Terminé!"},
        {RunMode::Scheduler, Status::Failed, false, "Terminé!"},
        {RunMode::Scheduler, Status::Cancelled, false, "User canceled!"},
        {RunMode::Simulate, Status::Failed, true, "Terminé!"},
    };
    for (const auto &c : cases) {
        ScriptedRun run;
        run.released = true;
        run.outcome.status = c.status;
        ScriptedPrompter prompter;
        frm_sync w(requestFor(c.mode), prompter, run.function());
        bool openWhenFinished = false;
        connect(&w, &frm_sync::runFinished, [&] { openWhenFinished = w.isVisible(); });
        w.show();
        QTRY_VERIFY(w.isFinished());
        QCOMPARE(w.windowTitle(), QString::fromUtf8(c.title));
        QCOMPARE(w.isVisible(), c.staysOpen);
        QVERIFY(openWhenFinished);
        // A fatal error is told in an error box.
        QVERIFY(
            prompter.shown.isEmpty() || prompter.shown.front().icon == Prompter::Icon::Critical);
        QCOMPARE(prompter.said(false),
            c.status == Status::Failed ? QStringList {"Erreur"} : QStringList());
    }
}

QTEST_MAIN(FrmSyncTest)
#include "frm_sync_test.moc"
