#pragma once

#include "platform/NotificationService.h"

#include <QDBusConnection>

// Desktop notifications through org.freedesktop.Notifications on the session
// bus. Each post is a new notification (replaces-id 0) with the service's
// default expiry and the "suppress-sound" hint; the call never blocks.
class DBusNotificationService : public NotificationService {
    Q_OBJECT
public:
    explicit DBusNotificationService(QObject* parent = nullptr);
    DBusNotificationService(const QDBusConnection& connection, QObject* parent = nullptr);

    void post(const QString& title, const QString& body, Completion completion) override;

private:
    QDBusConnection m_connection;
};
