#pragma once
// Desktop notifications through the session bus's notification service
// (org.freedesktop.Notifications). A click on one, its default action,
// emits activated(). Without a service nothing is shown and nothing fails.
#include <QDBusConnection>
#include <QObject>
#include <QSet>
#include <QString>
#include <memory>

class DesktopNotifier : public QObject {
    Q_OBJECT
public:
    explicit DesktopNotifier(QObject* parent = nullptr);
    ~DesktopNotifier() override;
    // Sent without waiting for the answer.
    void Notify(const QString& title, const QString& body);

signals:
    void activated();

private slots:
    void ActionInvoked(uint id, const QString& action);
    void Closed(uint id, uint reason);

private:
    // The session bus as the environment names it at the first notification.
    QDBusConnection& Bus();

    std::unique_ptr<QDBusConnection> bus_;
    QSet<uint> sent_;
};
