#include "private_bus.h"

#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>
#include <QDBusVirtualObject>

#include <poll.h>
#include <unistd.h>

#include <stdexcept>

PrivateBus::PrivateBus()
{
    daemon_.start(QStringLiteral("dbus-daemon"),
        {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--nopidfile"),
            QStringLiteral("--print-address=1")});
    if (!daemon_.waitForStarted(10000))
        throw std::runtime_error("dbus-daemon cannot be started");
    while (!daemon_.canReadLine() && daemon_.waitForReadyRead(10000)) { }
    address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
    if (address_.isEmpty())
        throw std::runtime_error("dbus-daemon gave no address");
}

PrivateBus::~PrivateBus()
{
    daemon_.terminate();
    daemon_.waitForFinished(5000);
}

QDBusConnection PrivateBus::connect(const QString &name) const
{
    return QDBusConnection::connectToBus(address_, name);
}

struct FakeLogind::State {
    mutable std::mutex mutex;
    std::vector<QStringList> calls;
    int readEnd = -1; // of the pipe whose write end went out last
    bool silent = false;

    ~State()
    {
        if (readEnd >= 0)
            ::close(readEnd);
    }
};

namespace {

class Manager : public QDBusVirtualObject {
public:
    explicit Manager(std::shared_ptr<FakeLogind::State> state)
        : state_(std::move(state))
    {
    }
    QString introspect(const QString &) const override { return {}; }
    bool handleMessage(const QDBusMessage &message, const QDBusConnection &connection) override
    {
        if (message.member() != QLatin1String("Inhibit"))
            return false;
        int ends[2];
        if (::pipe(ends) != 0)
            return false;
        {
            const std::lock_guard lock(state_->mutex);
            QStringList arguments;
            for (const QVariant &argument : message.arguments())
                arguments << argument.toString();
            state_->calls.push_back(arguments);
            if (state_->readEnd >= 0)
                ::close(state_->readEnd);
            state_->readEnd = ends[0];
        }
        if (!state_->silent)
            connection.send(
                message.createReply(QVariant::fromValue(QDBusUnixFileDescriptor(ends[1]))));
        ::close(ends[1]); // the reply holds its own copy
        return true;
    }

private:
    std::shared_ptr<FakeLogind::State> state_;
};

} // namespace

FakeLogind::FakeLogind(const PrivateBus &bus, bool silent)
    : state_(std::make_shared<State>())
{
    state_->silent = silent;
    auto *manager = new Manager(state_);
    manager->moveToThread(&thread_);
    QObject::connect(&thread_, &QThread::finished, manager, &QObject::deleteLater);
    thread_.start();
    QDBusConnection connection = bus.connect(QStringLiteral("fake-logind"));
    if (!connection.registerService(QStringLiteral("org.freedesktop.login1"))
        || !connection.registerVirtualObject(QStringLiteral("/org/freedesktop/login1"), manager))
        throw std::runtime_error("the fake logind cannot take its name");
}

FakeLogind::~FakeLogind()
{
    QDBusConnection::disconnectFromBus(QStringLiteral("fake-logind"));
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
