#include "stand_in_notifications.h"

namespace {

const QString path = QStringLiteral("/org/freedesktop/Notifications");
const QString interface = QStringLiteral("org.freedesktop.Notifications");

} // namespace

bool StandInNotifications::serve(QDBusConnection bus)
{
    bus_ = bus;
    return bus_.registerObject(path, this, QDBusConnection::ExportAllSlots)
        && bus_.registerService(interface);
}

uint StandInNotifications::Notify(const QString &appName, uint, const QString &icon,
    const QString &summary, const QString &body, const QStringList &actions,
    const QVariantMap &hints, int, const QDBusMessage &message)
{
    // Ids a client could not guess.
    const uint id = 41u + uint(sent.size()) * 7u;
    sent.append({appName, icon, summary, body, actions, hints, id});
    if (!answers)
        message.setDelayedReply(true); // and never replies
    return id;
}

void StandInNotifications::click(uint id, const QString &action)
{
    emitSignal(QStringLiteral("ActionInvoked"), {id, action});
}

void StandInNotifications::close(uint id)
{
    emitSignal(QStringLiteral("NotificationClosed"), {id, 2u});
}

void StandInNotifications::emitSignal(const QString &name, const QVariantList &arguments)
{
    QDBusMessage signal = QDBusMessage::createSignal(path, interface, name);
    signal.setArguments(arguments);
    bus_.send(signal);
}
