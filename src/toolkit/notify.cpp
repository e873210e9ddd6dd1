#include "toolkit/notify.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>

namespace kab::tk {

bool notifyDesktop(const QString& appName, const QString& summary, const QString& body) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface()) return false;
    const QString service = QStringLiteral("org.freedesktop.Notifications");
    QDBusConnectionInterface& names = *bus.interface();
    if (!names.isServiceRegistered(service).value() &&
        !names.activatableServiceNames().value().contains(service))
        return false;
    QDBusMessage call =
        QDBusMessage::createMethodCall(service, QStringLiteral("/org/freedesktop/Notifications"),
                                       service, QStringLiteral("Notify"));
    // app name, replaces id, icon, summary, body, actions, hints, timeout
    // (-1: the service's own)
    call << appName << 0u << QStringLiteral("kabrelo24") << summary << body << QStringList()
         << QVariantMap() << -1;
    return bus.send(call);
}

} // namespace kab::tk
