#include "forms/DesktopNotice.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>

namespace {
const QString Service = QStringLiteral("org.freedesktop.Notifications");
const QString Path = QStringLiteral("/org/freedesktop/Notifications");
// The service's own choice of how long a notice stays.
constexpr int ServerTimeout = -1;
} // namespace

bool DesktopNotice::Send(const QString& summary, const QString& body) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    // Asked first, so that no service is started by the bus just for this.
    if (!bus.isConnected() || !bus.interface() || !bus.interface()->isServiceRegistered(Service)) {
        return false;
    }
    QDBusMessage notify =
        QDBusMessage::createMethodCall(Service, Path, Service, QStringLiteral("Notify"));
    notify << QStringLiteral("Brindlex Music Converter") << 0U << QStringLiteral("brindlex")
           << summary << body << QStringList() << QVariantMap() << ServerTimeout;
    // The reply (the notice's number) is of no use here: nothing waits for it.
    notify.setAutoStartService(false);
    return bus.send(notify);
}
