#include "support/TestMain.h"

#include "platform/freedesktop/DBusNotificationService.h"

#include <QDBusConnection>
#include <QDBusContext>

// A stand-in for the desktop's notification server on the session bus. Records
// each call as "app|replaces id|summary|body|suppress-sound hint|timeout".
class StandInNotifications : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    QStringList calls;
    QString failWith;

public Q_SLOTS:
    uint Notify(const QString& appName, uint replacesId, const QString&, const QString& summary,
                const QString& body, const QStringList&, const QVariantMap& hints, int expireTimeout)
    {
        calls.append(QStringList{appName, QString::number(replacesId), summary, body,
                                 hints.value(QStringLiteral("suppress-sound")).toString(),
                                 QString::number(expireTimeout)}
                         .join(QLatin1Char('|')));
        if (!failWith.isEmpty())
            sendErrorReply(QStringLiteral("org.freedesktop.Notifications.Error.Refused"), failWith);
        return uint(calls.size());
    }
};

class DBusNotificationServiceTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void postsAndReportsRefusal()
    {
        StandInNotifications server;
        QDBusConnection bus = QDBusConnection::sessionBus();
        QVERIFY(bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &server,
                                   QDBusConnection::ExportAllSlots));
        QVERIFY(bus.registerService(QStringLiteral("org.freedesktop.Notifications")));

        DBusNotificationService service;
        QList<std::optional<QString>> errors;
        const auto record = [&](const std::optional<QString>& error) { errors.append(error); };
        service.post(QStringLiteral("Eingabequelle geändert"), QStringLiteral("Русский"), record);
        QVERIFY(errors.isEmpty()); // asynchronous
        QTRY_COMPARE(errors.size(), 1);
        server.failWith = QStringLiteral("Do not disturb is on");
        service.post(QStringLiteral("Eingabequelle geändert"), QStringLiteral("Deutsch"), record);
        QTRY_COMPARE(errors.size(), 2);
        // Every switch is a new, silent notification with the server's own timeout.
        QCOMPARE(server.calls, (QStringList{QStringLiteral("Tolvane|0|Eingabequelle geändert|Русский|true|-1"),
                                            QStringLiteral("Tolvane|0|Eingabequelle geändert|Deutsch|true|-1")}));
        QCOMPARE(errors, (QList<std::optional<QString>>{std::nullopt, server.failWith}));
    }
};

TOLVANE_TEST_GUILESS_MAIN(DBusNotificationServiceTest)
#include "DBusNotificationServiceTest.moc"
