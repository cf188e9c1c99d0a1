#include "app_id.h"
#include "private_bus.h"
#include "run_notifier.h"
#include "stand_in_notifications.h"

#include <QElapsedTimer>
#include <QTest>
#include <QWidget>

namespace {

RunRequest request(const QString &project, const QString &appDir = QStringLiteral("/app/"))
{
    RunRequest r;
    r.projectName = project;
    r.appDir = appDir;
    r.mode = RunMode::Scheduler;
    r.locale = QLocale(QLocale::English);
    return r;
}

RunOutcome outcome(RunOutcome::Status status, bool copyErrors = false)
{
    RunOutcome o;
    o.status = status;
    o.copyErrors = copyErrors;
    o.totalFiles = 3;
    o.totalBytes = 1234567;
    return o;
}

// A notifier on bus, with what it shows without the service and the reports it opens.
struct Notifier {
    explicit Notifier(QDBusConnection bus)
        : notifier(
            bus,
            [this](const QString &title, const QString &text, bool critical) {
                fallbacks << QStringList {title, text, critical ? "critical" : "normal"};
            },
            [this](const QString &appDir, const QString &project) { opened << appDir + project; })
    {
    }

    QList<QStringList> fallbacks;
    QStringList opened;
    RunNotifier notifier;
};

} // namespace

class RunNotifierTest : public QObject {
    Q_OBJECT

private slots:
    void whatTheServiceIsSentAndWhatAClickOpens();
    void withoutAnAnsweringServiceTheTrayTells();
    void onlyRunsNobodyWatchedAreTold();
};

void RunNotifierTest::whatTheServiceIsSentAndWhatAClickOpens()
{
    PrivateBus bus;
    QVERIFY2(bus.failure().isEmpty(), qPrintable(bus.failure()));
    StandInNotifications service;
    QVERIFY(service.serve(bus.connect()));
    Notifier n(bus.connect());

    struct Case {
        RunOutcome outcome;
        bool critical;
    };
    const Case cases[] = {
        {outcome(RunOutcome::Status::Finished), false},
        {outcome(RunOutcome::Status::Finished, true), true},
        {outcome(RunOutcome::Status::Failed), true},
        {outcome(RunOutcome::Status::Cancelled), false},
    };
    QSet<QString> bodies;
    for (const Case &c : cases) {
        const qsizetype before = service.sent.size();
        n.notifier.notify(request(QStringLiteral("Photos & <Vidéos>")), c.outcome);
        QTRY_COMPARE(service.sent.size(), before + 1);
        const StandInNotifications::Sent &sent = service.sent.last();
        QCOMPARE(sent.summary, QStringLiteral("Tandrel"));
        QCOMPARE(sent.hints.value("desktop-entry").toString(), AppId());
        // A byte, as the service expects: 1 normal, 2 critical.
        const QVariant urgency = sent.hints.value("urgency");
        QCOMPARE(urgency.metaType(), QMetaType::fromType<uchar>());
        QCOMPARE(urgency.toInt(), c.critical ? 2 : 1);
        QVERIFY(sent.actions.contains("default"));
        // The project, escaped for services that read markup, and the totals.
        QVERIFY2(sent.body.startsWith("Photos &amp; &lt;Vidéos&gt;"), qPrintable(sent.body));
        QVERIFY2(sent.body.contains("3") && sent.body.contains("1,234,567"), qPrintable(sent.body));
        bodies << sent.body;
    }
    // Each outcome in its own words; nothing fell back.
    QCOMPARE(bodies.size(), qsizetype(std::size(cases)));
    QVERIFY(n.fallbacks.isEmpty());

    // A click on a notification opens the report of its run; clicks on notifications of
    // others, other actions and notifications already closed open nothing.
    n.notifier.notify(request(QStringLiteral("Musique"), QStringLiteral("/ailleurs/")),
        outcome(RunOutcome::Status::Finished));
    QTRY_COMPARE(service.sent.size(), qsizetype(std::size(cases)) + 1);
    const uint photos = service.sent.first().id;
    const uint musique = service.sent.last().id;
    QTest::qWait(50); // the reply with the id is on its way
    service.click(musique + 1, "default");
    service.click(photos, "autre");
    service.close(photos);
    service.click(photos, "default");
    service.click(musique, "default");
    QTRY_COMPARE(n.opened, QStringList {"/ailleurs/Musique"});
}

void RunNotifierTest::withoutAnAnsweringServiceTheTrayTells()
{
    // No bus at all: at once.
    Notifier noBus(QDBusConnection::connectToBus(
        QStringLiteral("unix:path=/nonexistent/bus"), QStringLiteral("no bus")));
    noBus.notifier.notify(request("Photos"), outcome(RunOutcome::Status::Failed));
    QCOMPARE(noBus.fallbacks.size(), 1);
    QCOMPARE(noBus.fallbacks.first().first(), QStringLiteral("Tandrel"));
    QCOMPARE(noBus.fallbacks.first().last(), QStringLiteral("critical"));
    QVERIFY(noBus.fallbacks.first().at(1).startsWith("Photos"));

    PrivateBus bus;
    QVERIFY2(bus.failure().isEmpty(), qPrintable(bus.failure()));
    // A bus without the service.
    Notifier nobody(bus.connect());
    nobody.notifier.notify(request("Photos"), outcome(RunOutcome::Status::Finished));
    QTRY_COMPARE(nobody.fallbacks.size(), 1);
    QCOMPARE(nobody.fallbacks.first().last(), QStringLiteral("normal"));

    // A service that never answers holds nothing up, and is given up within the second.
    StandInNotifications silent;
    silent.answers = false;
    QVERIFY(silent.serve(bus.connect()));
    Notifier n(bus.connect());
    QElapsedTimer timer;
    timer.start();
    n.notifier.notify(request("Photos"), outcome(RunOutcome::Status::Finished, true));
    QVERIFY(timer.elapsed() < 100);
    QTRY_COMPARE_WITH_TIMEOUT(n.fallbacks.size(), 1, 3000);
    QVERIFY2(timer.elapsed() < 1500, qPrintable(QString::number(timer.elapsed())));
    QCOMPARE(silent.sent.size(), 1);
    QCOMPARE(n.fallbacks.first().last(), QStringLiteral("critical"));
}

void RunNotifierTest::onlyRunsNobodyWatchedAreTold()
{
    QWidget window;
    window.show();
    QVERIFY(!RunNotifier::Unwatched(RunMode::Synchronize, window));
    QVERIFY(!RunNotifier::Unwatched(RunMode::Simulate, window));
    QVERIFY(RunNotifier::Unwatched(RunMode::Scheduler, window));
    window.setWindowState(Qt::WindowMinimized);
    QVERIFY(RunNotifier::Unwatched(RunMode::Synchronize, window));
    window.setWindowState(Qt::WindowNoState);
    window.hide(); // in the tray
    QVERIFY(RunNotifier::Unwatched(RunMode::Simulate, window));
}

QTEST_MAIN(RunNotifierTest)
#include "run_notifier_test.moc"
