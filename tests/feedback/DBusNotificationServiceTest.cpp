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
        bool done = false;
        std::optional<QString> error;
        service.post(QStringLiteral("Eingabequelle geändert"), QStringLiteral("Deutsch"),
                     [&](const std::optional<QString>& e) {
                         done = true;
                         error = e;
                     });
        QVERIFY(!done); // asynchronous
        QTRY_VERIFY(done);
        QCOMPARE(m_server.calls.size(), 1);
        const auto& call = m_server.calls.constFirst();
        QCOMPARE(call.appName, QStringLiteral("Tolvane"));
        QCOMPARE(call.replacesId, 0u);
        QCOMPARE(call.summary, QStringLiteral("Eingabequelle geändert"));
        QCOMPARE(call.body, QStringLiteral("Deutsch"));
        QCOMPARE(call.hints.value(QStringLiteral("suppress-sound")).toBool(), true);
        QCOMPARE(call.expireTimeout, -1);
        QCOMPARE(error.has_value(), !failWith.isEmpty());
        if (error)
            QCOMPARE(*error, failWith);
    }

    void everySwitchIsANewNotification()
    {
        m_server.calls.clear();
        m_server.failWith.clear();
        DBusNotificationService service;
        int finished = 0;
        for (int i = 0; i < 3; ++i)
            service.post(QStringLiteral("t"), QString::number(i), [&](const auto&) { ++finished; });
        QTRY_COMPARE(finished, 3);
        for (const auto& call : std::as_const(m_server.calls))
            QCOMPARE(call.replacesId, 0u);
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
