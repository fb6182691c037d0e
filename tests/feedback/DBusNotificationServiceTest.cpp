#include "support/RecordingLogSink.h"
#include "support/TestMain.h"

#include "platform/freedesktop/DBusNotificationService.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusVariant>

// A stand-in for the desktop's notification server on the session bus.
class StandInNotifications : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    struct Call {
        QString appName;
        uint replacesId = 0;
        QString summary;
        QString body;
        QVariantMap hints;
        int expireTimeout = 0;
    };
    QList<Call> calls;
    QString failWith;

public Q_SLOTS:
    uint Notify(const QString& appName, uint replacesId, const QString&, const QString& summary,
                const QString& body, const QStringList&, const QVariantMap& hints, int expireTimeout)
    {
        calls.append({appName, replacesId, summary, body, hints, expireTimeout});
        if (!failWith.isEmpty()) {
            sendErrorReply(QStringLiteral("org.freedesktop.Notifications.Error.Refused"), failWith);
            return 0;
        }
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
        QCOMPARE(m_server.calls.size(), 2);
        for (const auto& call : std::as_const(m_server.calls)) {
            QCOMPARE(call.appName, QStringLiteral("Tolvane"));
            QCOMPARE(call.replacesId, 0u); // every switch is a new notification
            QCOMPARE(call.summary, QStringLiteral("Eingabequelle geändert"));
            QCOMPARE(call.hints.value(QStringLiteral("suppress-sound")).toBool(), true);
            QCOMPARE(call.expireTimeout, -1);
        }
        QCOMPARE(m_server.calls.at(0).body, QStringLiteral("Deutsch"));
        QCOMPARE(m_server.calls.at(1).body, QStringLiteral("Русский"));
        for (const auto& error : std::as_const(errors))
            QCOMPARE(error, failWith.isEmpty() ? std::nullopt : std::optional<QString>(failWith));
    }

    void noServiceIsAnError()
    {
        QDBusConnection bus = QDBusConnection::sessionBus();
        QVERIFY(bus.unregisterService(QStringLiteral("org.freedesktop.Notifications")));
        DBusNotificationService service;
        std::optional<QString> error;
        bool done = false;
        service.post(QStringLiteral("t"), QStringLiteral("b"), [&](const std::optional<QString>& e) {
            done = true;
            error = e;
        });
        QTRY_VERIFY(done);
        QVERIFY(error && !error->isEmpty());
        QVERIFY(bus.registerService(QStringLiteral("org.freedesktop.Notifications")));
    }

private:
    StandInNotifications m_server;
};

TOLVANE_TEST_GUILESS_MAIN(DBusNotificationServiceTest)
#include "DBusNotificationServiceTest.moc"
