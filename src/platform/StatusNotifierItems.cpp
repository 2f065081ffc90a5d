#include "platform/StatusNotifierItems.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>

#include <algorithm>

namespace platform {
namespace {

// The watcher is another program: it gets a second to answer, so that a
// watcher that hangs cannot hold the window's thread for long.
constexpr int kWatcherTimeoutMs = 1000;

} // namespace

QString StatusNotifierItemService(const QString& registered)
{
    return registered.section(QLatin1Char('/'), 0, 0);
}

bool OffersStatusNotifierItem()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface())
        return false;
    QDBusMessage get = QDBusMessage::createMethodCall(
        QStringLiteral("org.kde.StatusNotifierWatcher"), QStringLiteral("/StatusNotifierWatcher"),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << QStringLiteral("org.kde.StatusNotifierWatcher") << QStringLiteral("RegisteredStatusNotifierItems");
    const QDBusMessage reply = bus.call(get, QDBus::Block, kWatcherTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return false;
    const QStringList items = reply.arguments().constFirst().value<QDBusVariant>().variant().toStringList();
    const auto pid = static_cast<uint>(QCoreApplication::applicationPid());
    return std::any_of(items.begin(), items.end(), [&](const QString& item) {
        const auto owner = bus.interface()->servicePid(StatusNotifierItemService(item));
        return owner.isValid() && owner.value() == pid;
    });
}

} // namespace platform
