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
    void initTestCase()
    {
        QDBusConnection bus = QDBusConnection::sessionBus();
        QVERIFY2(bus.isConnected(), "needs a session bus");
        QVERIFY(bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &m_server,
                                   QDBusConnection::ExportAllSlots));
        QVERIFY(bus.registerService(QStringLiteral("org.freedesktop.Notifications")));
    }

    void posts_data()
    {
        QTest::addColumn<QString>("failWith");
        QTest::newRow("accepted") << QString();
        QTest::newRow("refused") << QStringLiteral("Do not disturb is on");
    }
    void posts()
    {
        QFETCH(QString, failWith);
        m_server.calls.clear();
        m_server.failWith = failWith;
        DBusNotificationService service;
        QList<std::optional<QString>> errors;
        for (const QString& body : {QStringLiteral("Deutsch"), QStringLiteral("Русский")})
            service.post(QStringLiteral("Eingabequelle geändert"), body,
                         [&](const std::optional<QString>& e) { errors.append(e); });
        QVERIFY(errors.isEmpty()); // asynchronous
        QTRY_COMPARE(errors.size(), 2);
        // Every switch is a new, silent notification with the server's own timeout.
        QCOMPARE(m_server.calls, (QStringList{QStringLiteral("Tolvane|0|Eingabequelle geändert|Deutsch|true|-1"),
                                              QStringLiteral("Tolvane|0|Eingabequelle geändert|Русский|true|-1")}));
        const std::optional<QString> error = failWith.isEmpty() ? std::nullopt : std::optional<QString>(failWith);
        QCOMPARE(errors, (QList<std::optional<QString>>{error, error}));
    }

    void noServiceIsAnError()
    {
        QDBusConnection bus = QDBusConnection::sessionBus();
        QVERIFY(bus.unregisterService(QStringLiteral("org.freedesktop.Notifications")));
        DBusNotificationService service;
        QList<std::optional<QString>> errors;
        service.post(QStringLiteral("t"), QStringLiteral("b"), [&](const std::optional<QString>& e) { errors.append(e); });
        QTRY_COMPARE(errors.size(), 1);
        QVERIFY(errors[0] && !errors[0]->isEmpty());
        QVERIFY(bus.registerService(QStringLiteral("org.freedesktop.Notifications")));
    }

private:
    StandInNotifications m_server;
};

TOLVANE_TEST_GUILESS_MAIN(DBusNotificationServiceTest)
#include "DBusNotificationServiceTest.moc"
