#include "ui/DesktopNotification.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>

namespace quorvex {

bool ShowDesktopNotification(const QString& title, const QString& body) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return false;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    // Application, id to replace (none), icon, summary, body, actions, hints, time-out (the server's).
    call << QStringLiteral("Quorvex") << 0u << QStringLiteral("org.quorvex.Quorvex") << title << body << QStringList()
         << QVariantMap() << -1;
    // Sent, not called: the answer (or the bus's "no such service") is not waited for.
    return bus.send(call);
}

}  // namespace quorvex
