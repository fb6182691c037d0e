#include "DBusNotificationService.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QStringList>
#include <QVariantMap>

DBusNotificationService::DBusNotificationService(QObject* parent)
    : DBusNotificationService(QDBusConnection::sessionBus(), parent)
{
}

DBusNotificationService::DBusNotificationService(const QDBusConnection& connection, QObject* parent)
    : NotificationService(parent)
    , m_connection(connection)
{
}

void DBusNotificationService::post(const QString& title, const QString& body, Completion completion)
{
    if (!m_connection.isConnected()) {
        if (completion)
            completion(QStringLiteral("The session bus is not reachable"));
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    const QVariantMap hints{{QStringLiteral("suppress-sound"), true}};
    call << QStringLiteral("Tolvane")        // app_name
         << quint32(0)                       // replaces_id: always a new notification
         << QString()                        // app_icon
         << title                            // summary
         << body                             // body
         << QStringList()                    // actions
         << hints                            // hints
         << qint32(-1);                      // expire_timeout: the server's default

    auto* watcher = new QDBusPendingCallWatcher(m_connection.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [completion = std::move(completion)](QDBusPendingCallWatcher* finished) {
                const QDBusPendingReply<quint32> reply = *finished;
                finished->deleteLater();
                if (!completion)
                    return;
                if (reply.isError()) {
                    const QDBusError error = reply.error();
                    completion(error.message().isEmpty() ? error.name() : error.message());
                } else {
                    completion(std::nullopt);
                }
            });
}
