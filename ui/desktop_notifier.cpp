#include "ui/desktop_notifier.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QStringList>
#include <QVariantMap>

namespace {
const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
}  // namespace

DesktopNotifier::DesktopNotifier(QObject* parent) : QObject(parent) {}

DesktopNotifier::~DesktopNotifier() {
    if (bus_) QDBusConnection::disconnectFromBus(bus_->name());
}

QDBusConnection& DesktopNotifier::Bus() {
    if (!bus_) {
        // A connection of its own: the bus is the one of the moment, not the
        // one the process happened to meet first.
        const QString name = QStringLiteral("vannoir-notices-%1").arg(reinterpret_cast<quintptr>(this));
        bus_ = std::make_unique<QDBusConnection>(
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, name));
        bus_->connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                      SLOT(ActionInvoked(uint, QString)));
        bus_->connect(kService, kPath, kInterface, QStringLiteral("NotificationClosed"), this,
                      SLOT(Closed(uint, uint)));
    }
    return *bus_;
}

void DesktopNotifier::Notify(const QString& title, const QString& body) {
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    // The default action is the click on the notice itself.
    call << QStringLiteral("Vannoir") << 0u << QStringLiteral("mail-unread") << title << body
         << QStringList{QStringLiteral("default"), QStringLiteral("Afficher")} << QVariantMap() << -1;
    auto* watcher = new QDBusPendingCallWatcher(Bus().asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* done) {
        QDBusPendingReply<uint> reply = *done;
        if (!reply.isError()) sent_.insert(reply.value());
        done->deleteLater();
    });
}

void DesktopNotifier::ActionInvoked(uint id, const QString& action) {
    if (sent_.contains(id) && action == QStringLiteral("default")) emit activated();
}

void DesktopNotifier::Closed(uint id, uint) { sent_.remove(id); }
