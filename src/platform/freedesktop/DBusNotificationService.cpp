#include "DBusNotificationService.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QStringList>
#include <QVariantMap>

namespace {
const QString service = QStringLiteral("org.freedesktop.Notifications");
const QString path = QStringLiteral("/org/freedesktop/Notifications");
const QString interface = QStringLiteral("org.freedesktop.Notifications");
} // namespace

DBusNotificationService::DBusNotificationService(QObject* parent)
    : DBusNotificationService(QDBusConnection::sessionBus(), parent)
{
}

DBusNotificationService::DBusNotificationService(const QDBusConnection& connection, QObject* parent)
    : NotificationService(parent)
    , m_connection(connection)
{
}

QString DBusNotificationService::escapedBody(const QString& text)
{
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : text) {
        if (c == QLatin1Char('&'))
            escaped += QLatin1String("&amp;");
        else if (c == QLatin1Char('<'))
            escaped += QLatin1String("&lt;");
        else if (c == QLatin1Char('>'))
            escaped += QLatin1String("&gt;");
        else
            escaped += c;
    }
    return escaped;
}

void DBusNotificationService::post(const QString& title, const QString& body, Completion completion)
{
    if (!m_connection.isConnected()) {
        if (completion)
            completion(QStringLiteral("The session bus is not reachable"));
        return;
    }
    Post request{title, body, std::move(completion)};
    if (m_bodyMarkup) {
        send(request);
        return;
    }
    m_waiting.append(std::move(request));
    askCapabilities();
}

void DBusNotificationService::askCapabilities()
{
    if (m_asking)
        return;
    m_asking = true;
    const QDBusMessage call =
        QDBusMessage::createMethodCall(service, path, interface, QStringLiteral("GetCapabilities"));
    auto* watcher = new QDBusPendingCallWatcher(m_connection.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* finished) {
        finished->deleteLater();
        m_asking = false;
        const QDBusPendingReply<QStringList> reply = *finished;
        // Without an answer the posts go out as they are (a server that does
        // not answer this will hardly take a notification), and the next post
        // asks again.
        if (!reply.isError())
            m_bodyMarkup = reply.value().contains(QStringLiteral("body-markup"));
        const QList<Post> waiting = std::exchange(m_waiting, {});
        for (const Post& post : waiting)
            send(post);
    });
}

void DBusNotificationService::send(const Post& post)
{
    QDBusMessage call = QDBusMessage::createMethodCall(service, path, interface, QStringLiteral("Notify"));
    const QVariantMap hints{{QStringLiteral("suppress-sound"), true}};
    const QString body = m_bodyMarkup.value_or(false) ? escapedBody(post.body) : post.body;
    call << QStringLiteral("Tolvane") // app_name
         << quint32(0) // replaces_id: always a new notification
         << QString() // app_icon
         << post.title // summary
         << body // body
         << QStringList() // actions
         << hints // hints
         << qint32(-1); // expire_timeout: the server's default

    auto* watcher = new QDBusPendingCallWatcher(m_connection.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [completion = post.completion](QDBusPendingCallWatcher* finished) {
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
