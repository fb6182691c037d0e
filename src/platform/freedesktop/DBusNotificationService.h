#pragma once

#include "platform/NotificationService.h"

#include <QDBusConnection>
#include <QList>

#include <optional>

// Desktop notifications through org.freedesktop.Notifications on the session
// bus. Each post is a new notification (replaces-id 0) with the service's
// default expiry and the "suppress-sound" hint; the call never blocks.
//
// The body is plain text: before the first post the server is asked once for
// its capabilities, and when it reads markup in bodies ("body-markup") the
// characters &, < and > are sent escaped. Posts made while that question is
// open are sent, in order, when the answer arrives.
class DBusNotificationService : public NotificationService {
    Q_OBJECT
public:
    explicit DBusNotificationService(QObject* parent = nullptr);
    DBusNotificationService(const QDBusConnection& connection, QObject* parent = nullptr);

    void post(const QString& title, const QString& body, Completion completion) override;

    // "a < b & c" -> "a &lt; b &amp; c".
    static QString escapedBody(const QString& text);

private:
    struct Post {
        QString title;
        QString body;
        Completion completion;
    };
    void askCapabilities();
    void send(const Post& post);

    QDBusConnection m_connection;
    // Whether the server parses markup in bodies; nullopt until it has answered.
    std::optional<bool> m_bodyMarkup;
    bool m_asking = false;
    QList<Post> m_waiting;
};
