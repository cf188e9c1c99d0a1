// The window's dealings with the desktop's buses, against stand-ins for the notification service
// and logind on a dbus-daemon of the test's own.
#include "main_window_driver.h"
#include "private_bus.h"
#include "run_lock.h"
#include "run_notifier.h"

#include <QDBusMessage>
#include <QElapsedTimer>
#include <QTest>

using namespace std::chrono_literals;

namespace {

const QString path = QStringLiteral("/org/freedesktop/Notifications");

void notificationSignal(QDBusConnection bus, const char *name, const QVariantList &arguments)
{
    QDBusMessage message = QDBusMessage::createSignal(path, "org.freedesktop.Notifications", name);
    message.setArguments(arguments);
    bus.send(message);
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
        bus.registerObject(path, this, QDBusConnection::ExportAllSlots);
        bus.registerService("org.freedesktop.Notifications");
    }
    QList<QVariantList> sent; // body, actions, hints

public slots:
    uint Notify(const QString &, uint, const QString &, const QString &, const QString &body,
        const QStringList &actions, const QVariantMap &hints, int, const QDBusMessage &message)
    {
        sent.append({body, actions, hints});
        message.setDelayedReply(!answers_);
        return uint(40 + sent.size());
    }

private:
    bool answers_;
};

class DesktopBusTest : public QObject {
    Q_OBJECT

private slots:
    // The window's runs hold the project's run lock and logind's sleep lock from their start to
    // their end and tell the desktop of those nobody watched; a project run elsewhere is left.
    void theWindowsRunsAreGuardedAndTold()
    {
        PrivateBus bus;
        // The window's buses; nothing in this test program used them before.
        qputenv("DBUS_SESSION_BUS_ADDRESS", bus.address().toUtf8());
        qputenv("DBUS_SYSTEM_BUS_ADDRESS", bus.address().toUtf8());
        QDBusConnection serviceBus = bus.connect();
        StandInNotifications service(serviceBus);
        FakeLogind logind(bus);
        OpenMainWindow m({{"Photos", {"*.a"}}});
        m.dir.write("Photos.log");
        choose(m.window, "Photos");
        auto other = std::make_optional<RunLock>(m.dir.path(), "Photos");
        QCOMPARE(other->tryLock(), RunLock::Result::Taken);
        m.window.mnu_simulate_Click();
        QTest::qWait(300);
        QVERIFY(!runWindow() && m.run.runs == 0 && logind.calls().empty());
        other.reset();

        for (bool watched : {true, false}) {
            m.window.setVisible(watched); // hidden: in the tray
            m.run.released = m.run.started = false;
            m.window.mnu_simulate_Click();
            QTRY_VERIFY(m.run.started);
            QCOMPARE(RunLock(m.dir.path(), "Photos").tryLock(), RunLock::Result::Busy);
            QVERIFY(!logind.released(0ms));
            m.run.released = true;
            QPointer<frm_sync> ended;
            QTRY_VERIFY((ended = runWindow()) && ended->isFinished());
            // Both let go at the run's end, while its window still shows the report.
            QCOMPARE(RunLock(m.dir.path(), "Photos").tryLock(), RunLock::Result::Taken);
            QVERIFY(logind.released(2000ms));
            ended->close(); // which brings a hidden main window back
            QTRY_VERIFY(ended.isNull());
        }
        QCOMPARE(logind.calls().size(), 2u);
        QTRY_COMPARE(service.sent.size(), 1);
        QTest::qWait(50); // the reply with the id is on its way
        notificationSignal(serviceBus, "ActionInvoked", {41u, "default"});
        QTRY_COMPARE(m.opened, QList<QUrl> {QUrl::fromLocalFile(m.dir("Photos.log"))});
        // Scheduled runs and those of a minimised window are not watched either.
        QVERIFY(RunNotifier::Unwatched(RunMode::Scheduler, m.window));
        m.window.setWindowState(Qt::WindowMinimized);
        QVERIFY(RunNotifier::Unwatched(RunMode::Simulate, m.window));
    }

    // Errors are urgent; the text is escaped for services that read markup; only a click on one
    // of its own notifications, still open, opens that run's report. A service that never
    // answers holds nothing up, and the tray tells within the second.
    void theServiceIsToldOrTheTray()
    {
        PrivateBus bus;
        QDBusConnection serviceBus = bus.connect();
        auto service = std::make_unique<StandInNotifications>(serviceBus);
        QStringList opened, fallbacks;
        RunNotifier notifier(
            bus.connect(), [&](const QString &, const QString &text, bool) { fallbacks << text; },
            [&](const QString &appDir, const QString &project) { opened << appDir + project; });
        RunRequest run;
        run.projectName = "Photos & <Vidéos>";
        run.appDir = "/ailleurs/";
        using enum RunOutcome::Status;
        for (const bool copyErrors : {true, false}) {
            notifier.notify(run, {Finished, copyErrors, 0, {}, 3, 4, {}});
            QTRY_VERIFY(service->sent.size() == 1 + !copyErrors);
            const QVariantList sent = service->sent.last();
            QCOMPARE(sent[2].toMap()["urgency"], QVariant::fromValue(uchar(1 + copyErrors)));
            QVERIFY(sent[1].toStringList().contains("default"));
            QVERIFY(sent[0].toString().startsWith("Photos &amp; &lt;Vidéos&gt;"));
        }
        QTest::qWait(50); // the replies with the ids are on their way
        notificationSignal(serviceBus, "NotificationClosed", {41u, 2u});
        for (const uint id : {41u, 43u, 42u})
            notificationSignal(serviceBus, "ActionInvoked", {id, "default"});
        QTRY_COMPARE(opened, QStringList {"/ailleurs/Photos & <Vidéos>"});
        QVERIFY(fallbacks.isEmpty());

        service.reset();
        service = std::make_unique<StandInNotifications>(serviceBus, false);
        QElapsedTimer timer;
        timer.start();
        notifier.notify(run, {});
        QVERIFY(timer.elapsed() < 100);
        QTRY_COMPARE_WITH_TIMEOUT(fallbacks.size(), 1, 3000);
        QVERIFY2(timer.elapsed() < 1500, qPrintable(QString::number(timer.elapsed())));
    }
};

QTEST_MAIN(DesktopBusTest)
#include "desktop_bus_test.moc"
