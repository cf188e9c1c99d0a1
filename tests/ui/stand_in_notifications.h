#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

// The desktop's notification service, played by the test on a bus of its own: keeps what it is
// sent, and answers or not.
class StandInNotifications : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    struct Sent {
        QString appName;
        QString icon;
        QString summary;
        QString body;
        QStringList actions;
        QVariantMap hints;
        uint id;
    };

    // Owns the service's name on bus; false when it cannot.
    bool serve(QDBusConnection bus);
    // The service's signals, as the desktop sends them when a notification is clicked or
    // closed.
    void click(uint id, const QString &action);
    void close(uint id);

    QList<Sent> sent;
    bool answers = true;

public slots:
    uint Notify(const QString &appName, uint replacesId, const QString &icon,
        const QString &summary, const QString &body, const QStringList &actions,
        const QVariantMap &hints, int timeout, const QDBusMessage &message);

private:
    void emitSignal(const QString &name, const QVariantList &arguments);

    QDBusConnection bus_ {QString()};
};
