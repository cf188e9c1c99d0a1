// The window's dealings with the desktop's buses, against stand-ins for the notification service
// and logind on a dbus-daemon of the test's own.
#include "app_id.h"
#include "main_window_driver.h"
#include "missed_run_check.h"
#include "run_notifier.h"
#include "scripted_prompter.h"
#include "scripted_run.h"

#include <QDBusMessage>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryFile>
#include <QTest>
#include <QWidget>

namespace {

// A bus where anyone may own any name and nothing is started by itself.
class PrivateBus {
public:
    PrivateBus()
    {
        config_.open();
        config_.write("<busconfig><type>session</type><listen>unix:tmpdir=/tmp</listen>"
                      "<auth>EXTERNAL</auth>"
                      "<policy context='default'><allow send_destination='*'/>"
                      "<allow receive_sender='*'/><allow own='*'/>"
                      "</policy></busconfig>");
        config_.flush();
        daemon_.start(
            "dbus-daemon", {"--config-file=" + config_.fileName(), "--print-address", "--nofork"});
        if (daemon_.waitForReadyRead(5000))
            address_ = QString::fromLocal8Bit(daemon_.readLine()).trimmed();
    }
    ~PrivateBus()
    {
        for (const QString &name : std::as_const(names_))
            QDBusConnection::disconnectFromBus(name);
        daemon_.kill();
        daemon_.waitForFinished();
    }
    bool running() const { return !address_.isEmpty(); }
    QString address() const { return address_; }
    QDBusConnection connect()
    {
        names_ << QStringLiteral("test bus %1").arg(names_.size());
        return QDBusConnection::connectToBus(address_, names_.last());
    }

private:
    QTemporaryFile config_;
    QProcess daemon_;
    QString address_;
    QStringList names_;
};

void emitOn(QDBusConnection bus, const QString &path, const QString &interface, const QString &name,
    const QVariantList &arguments)
{
    QDBusMessage signal = QDBusMessage::createSignal(path, interface, name);
    signal.setArguments(arguments);
    bus.send(signal);
}

void emitNotificationSignal(QDBusConnection bus, const QString &name, const QVariantList &arguments)
{
    emitOn(bus, "/org/freedesktop/Notifications", "org.freedesktop.Notifications", name, arguments);
}

RunRequest request(const QString &project, const QString &appDir = "/app/")
{
    RunRequest r;
    r.projectName = project;
    r.appDir = appDir;
    r.locale = QLocale(QLocale::English);
    return r;
}

RunOutcome outcome(RunOutcome::Status status, bool copyErrors = false)
{
    return {status, copyErrors, 0, {}, 3, 1234567, {}};
}

} // namespace

// The desktop's notification service: keeps what it is sent, answers with an id or never.
class StandInNotifications : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    explicit StandInNotifications(QDBusConnection bus, bool answers = true)
        : answers_(answers)
    {
        serving = bus.registerObject(
                      "/org/freedesktop/Notifications", this, QDBusConnection::ExportAllSlots)
            && bus.registerService("org.freedesktop.Notifications");
    }
    bool serving = false;
    QList<QVariantList> sent; // summary, body, actions, hints

public slots:
    uint Notify(const QString &, uint, const QString &, const QString &summary, const QString &body,
        const QStringList &actions, const QVariantMap &hints, int, const QDBusMessage &message)
    {
        sent.append({summary, body, actions, hints});
        message.setDelayedReply(!answers_);
        return uint(40 + sent.size());
    }

private:
    bool answers_;
};

// A notifier with what it shows without the service and the reports it opens.
struct Notifier {
    explicit Notifier(QDBusConnection bus)
        : notifier(
            bus,
            [this](const QString &, const QString &text, bool critical) {
                fallbacks << text + (critical ? " !" : "");
            },
            [this](const QString &appDir, const QString &project) { opened << appDir + project; })
    {
    }
    QStringList fallbacks;
    QStringList opened;
    RunNotifier notifier;
};

class DesktopBusTest : public QObject {
    Q_OBJECT

private slots:
    void theServiceIsToldAndItsClickOpensTheReport()
    {
        PrivateBus bus;
        QVERIFY2(bus.running(), "dbus-daemon did not start");
        QDBusConnection serviceBus = bus.connect();
        StandInNotifications service(serviceBus);
        QVERIFY(service.serving);
        Notifier n(bus.connect());
        const std::pair<RunOutcome, int> urgencies[] = {{outcome(RunOutcome::Status::Finished), 1},
            {outcome(RunOutcome::Status::Finished, true), 2},
            {outcome(RunOutcome::Status::Failed), 2}, {outcome(RunOutcome::Status::Cancelled), 1}};
        QSet<QString> bodies;
        for (const auto &[ended, urgency] : urgencies) {
            n.notifier.notify(request("Photos & <Vidéos>"), ended);
            QTRY_COMPARE(service.sent.size(), bodies.size() + 1);
            const QVariantList sent = service.sent.last();
            const QVariantMap hints = sent[3].toMap();
            QCOMPARE(sent[0].toString(), QStringLiteral("Tandrel"));
            QCOMPARE(hints["desktop-entry"].toString(), AppId());
            QCOMPARE(hints["urgency"].metaType(), QMetaType::fromType<uchar>()); // a byte
            QCOMPARE(hints["urgency"].toInt(), urgency);
            QVERIFY(sent[2].toStringList().contains("default"));
            // The project escaped for services that read markup, the totals, each outcome in
            // its own words.
            const QString body = sent[1].toString();
            QVERIFY2(body.startsWith("Photos &amp; &lt;Vidéos&gt;")
                    && body.contains(QRegularExpression("\\b3\\b")) && body.contains("1,234,567"),
                qPrintable(body));
            bodies << body;
        }
        QCOMPARE(bodies.size(), qsizetype(std::size(urgencies)));

        // Only a click on one of its own notifications, still open, opens that run's report.
        n.notifier.notify(request("Musique", "/ailleurs/"), outcome(RunOutcome::Status::Finished));
        QTRY_COMPARE(service.sent.size(), 5);
        QTest::qWait(50); // the reply with the id is on its way
        emitNotificationSignal(serviceBus, "ActionInvoked", {46u, "default"});
        emitNotificationSignal(serviceBus, "ActionInvoked", {41u, "autre"});
        emitNotificationSignal(serviceBus, "NotificationClosed", {41u, 2u});
        emitNotificationSignal(serviceBus, "ActionInvoked", {41u, "default"});
        emitNotificationSignal(serviceBus, "ActionInvoked", {45u, "default"});
        QTRY_COMPARE(n.opened, QStringList {"/ailleurs/Musique"});
        QVERIFY(n.fallbacks.isEmpty());
    }

    void withoutAnAnsweringServiceTheTrayTells()
    {
        Notifier noBus(QDBusConnection::connectToBus("unix:path=/nonexistent", "none"));
        noBus.notifier.notify(request("Photos"), outcome(RunOutcome::Status::Failed));
        QCOMPARE(noBus.fallbacks.size(), 1); // at once
        QVERIFY(noBus.fallbacks[0].startsWith("Photos") && noBus.fallbacks[0].endsWith(" !"));

        PrivateBus bus;
        QVERIFY2(bus.running(), "dbus-daemon did not start");
        Notifier nobody(bus.connect());
        nobody.notifier.notify(request("Photos"), outcome(RunOutcome::Status::Finished));
        QTRY_COMPARE(nobody.fallbacks.size(), 1);
        QVERIFY(!nobody.fallbacks[0].endsWith(" !"));

        // A service that never answers holds nothing up and is given up within the second.
        StandInNotifications silent(bus.connect(), false);
        Notifier n(bus.connect());
        QElapsedTimer timer;
        timer.start();
        n.notifier.notify(request("Photos"), outcome(RunOutcome::Status::Finished));
        QVERIFY(timer.elapsed() < 100);
        QTRY_COMPARE_WITH_TIMEOUT(n.fallbacks.size(), 1, 3000);
        QVERIFY2(timer.elapsed() < 1500, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(silent.sent.size(), 1);
    }

    void onlyRunsNobodyWatchedAreTold()
    {
        QWidget window;
        window.show();
        QVERIFY(!RunNotifier::Unwatched(RunMode::Synchronize, window));
        QVERIFY(RunNotifier::Unwatched(RunMode::Scheduler, window));
        window.setWindowState(Qt::WindowMinimized);
        QVERIFY(RunNotifier::Unwatched(RunMode::Simulate, window));
        window.setWindowState(Qt::WindowNoState);
        window.hide(); // in the tray
        QVERIFY(RunNotifier::Unwatched(RunMode::Synchronize, window));
    }

    void theWindowTellsOfTheRunsNobodyWatched()
    {
        PrivateBus bus;
        QVERIFY2(bus.running(), "dbus-daemon did not start");
        // The window's session bus; nothing in this test program used another before.
        qputenv("DBUS_SESSION_BUS_ADDRESS", bus.address().toUtf8());
        QDBusConnection serviceBus = bus.connect();
        StandInNotifications service(serviceBus);
        TempDir dir;
        addProject(dir, "Photos", {"*.a"});
        dir.write("Photos.log");
        ScriptedPrompter prompter;
        ScriptedRun run;
        run.released = true;
        QList<QUrl> opened;
        frm_main w(prompter, run.function(),
            [&opened](const QUrl &url, const OpenFailed &) { opened << url; });
        QVERIFY(w.Form_Load(dir.path()));
        w.show();
        choose(w, "Photos");
        for (bool watched : {true, false}) {
            w.setVisible(watched); // hidden: in the tray
            w.mnu_simulate_Click();
            QPointer<frm_sync> ended = runWindow();
            QTRY_VERIFY(run.returned && ended->isFinished());
            run.returned = false;
            ended->close(); // which brings a hidden main window back
            QTRY_VERIFY(ended.isNull());
        }
        QTRY_COMPARE(service.sent.size(), 1);
        QTest::qWait(50); // the reply with the id is on its way
        emitNotificationSignal(serviceBus, "ActionInvoked", {41u, "default"});
        QTRY_COMPARE(opened, QList<QUrl> {QUrl::fromLocalFile(dir("Photos.log"))});
    }

    void logindWakingUpAsksForALook()
    {
        PrivateBus bus;
        QVERIFY2(bus.running(), "dbus-daemon did not start");
        MissedRunCheck check(bus.connect());
        const QDateTime now = QDateTime::currentDateTime();
        QVERIFY(check.shouldLook(now)); // the first tick
        const auto prepareForSleep = [](QDBusConnection from, bool sleeping) {
            emitOn(from, "/org/freedesktop/login1", "org.freedesktop.login1.Manager",
                "PrepareForSleep", {sleeping});
        };
        // Only logind is heard, and only when the machine wakes up.
        prepareForSleep(bus.connect(), false);
        QDBusConnection logind = bus.connect();
        QVERIFY(logind.registerService("org.freedesktop.login1"));
        prepareForSleep(logind, true);
        QTest::qWait(200);
        QVERIFY(!check.shouldLook(now));
        prepareForSleep(logind, false);
        bool looked = false;
        QTRY_VERIFY((looked = looked || check.shouldLook(now)));
        QVERIFY(!check.shouldLook(now));
    }
};

QTEST_MAIN(DesktopBusTest)
#include "desktop_bus_test.moc"
