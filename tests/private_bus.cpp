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
    daemon_.terminate();
    daemon_.waitForFinished(5000);
}

struct FakeLogind::State : QDBusVirtualObject {
    mutable std::mutex mutex;
    std::vector<QStringList> calls;
    int readEnd = -1; // of the pipe whose write end went out last
    bool silent = false;

    ~State() override
    {
        if (readEnd >= 0)
            ::close(readEnd);
    }
    QString introspect(const QString &) const override { return {}; }
    bool handleMessage(const QDBusMessage &message, const QDBusConnection &connection) override
    {
        int ends[2];
        if (message.member() != QLatin1String("Inhibit") || ::pipe(ends) != 0)
            return false;
        {
            const std::lock_guard lock(mutex);
            calls.push_back(message.arguments().front().toStringList());
            for (const QVariant &argument : message.arguments().mid(1))
                calls.back() << argument.toString();
            if (readEnd >= 0)
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

FakeLogind::FakeLogind(const PrivateBus &bus, bool silent)
    : state_(std::make_shared<State>())
{
    state_->silent = silent;
    state_->moveToThread(&thread_); // answers while the test's thread waits for the answer
    thread_.start();
    QDBusConnection connection = bus.connect("fake-logind");
    if (!connection.registerService("org.freedesktop.login1")
        || !connection.registerVirtualObject("/org/freedesktop/login1", state_.get()))
        throw std::runtime_error("the fake logind cannot take its name");
}

FakeLogind::~FakeLogind()
{
    QDBusConnection::disconnectFromBus("fake-logind");
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
    int fd = -1;
    {
        const std::lock_guard lock(state_->mutex);
        fd = state_->readEnd;
    }
    pollfd end {fd, POLLIN, 0};
    return fd >= 0 && ::poll(&end, 1, int(timeout.count())) == 1 && (end.revents & POLLHUP);
}
