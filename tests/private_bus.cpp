#include "private_bus.h"

#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>
#include <QDBusVirtualObject>

#include <mutex>
#include <stdexcept>

#include <poll.h>
#include <unistd.h>

PrivateBus::PrivateBus()
{
    daemon_.start("dbus-daemon", {"--session", "--nofork", "--nopidfile", "--print-address=1"});
    while (!daemon_.canReadLine() && daemon_.waitForReadyRead(10000)) { }
    address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
    if (address_.isEmpty())
        throw std::runtime_error("dbus-daemon cannot be started");
}

PrivateBus::~PrivateBus()
{
    for (const QString &name : std::as_const(names_))
        QDBusConnection::disconnectFromBus(name);
    daemon_.terminate();
    daemon_.waitForFinished(5000);
}

QDBusConnection PrivateBus::connect()
{
    names_ << QStringLiteral("private bus %1").arg(names_.size());
    return QDBusConnection::connectToBus(address_, names_.last());
}

struct FakeLogind::State : QDBusVirtualObject {
    mutable std::mutex mutex;
    std::vector<QStringList> calls;
    int readEnd = -1; // of the pipe whose write end went out last
    bool silent = false;

    ~State() override { ::close(readEnd); }
    QString introspect(const QString &) const override { return {}; }
    bool handleMessage(const QDBusMessage &message, const QDBusConnection &connection) override
    {
        int ends[2];
        if (message.member() != QLatin1String("Inhibit") || ::pipe(ends) != 0)
            return false;
        {
            const std::lock_guard lock(mutex);
            calls.emplace_back();
            for (const QVariant &argument : message.arguments())
                calls.back() << argument.toString();
            ::close(readEnd);
            readEnd = ends[0];
        }
        if (!silent)
            connection.send(
                message.createReply(QVariant::fromValue(QDBusUnixFileDescriptor(ends[1]))));
        ::close(ends[1]); // the reply held its own copy
        return true;
    }
};

FakeLogind::FakeLogind(PrivateBus &bus, bool silent)
    : state_(std::make_shared<State>())
{
    state_->silent = silent;
    state_->moveToThread(&thread_); // answers while the test's thread waits for the answer
    thread_.start();
    QDBusConnection connection = bus.connect();
    connection_ = connection.name();
    if (!connection.registerService("org.freedesktop.login1")
        || !connection.registerVirtualObject("/org/freedesktop/login1", state_.get()))
        throw std::runtime_error("the fake logind cannot take its name");
}

FakeLogind::~FakeLogind()
{
    QDBusConnection::disconnectFromBus(connection_);
    thread_.quit();
    thread_.wait();
}

std::vector<QStringList> FakeLogind::calls() const
{
    const std::lock_guard lock(state_->mutex);
    return state_->calls;
}

bool FakeLogind::released(std::chrono::milliseconds timeout) const
{
    const std::lock_guard lock(state_->mutex);
    pollfd end {state_->readEnd, POLLIN, 0};
    return end.fd >= 0 && ::poll(&end, 1, int(timeout.count())) == 1 && (end.revents & POLLHUP);
}
