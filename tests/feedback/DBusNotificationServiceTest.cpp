#include "support/TestMain.h"

#include "platform/freedesktop/DBusNotificationService.h"

#include <QDBusConnection>
#include <QDBusContext>

// A stand-in for the desktop's notification server, on the session bus while it lives.
// Records each call as "app|replaces id|summary|body|suppress-sound hint|timeout".
class StandInNotifications : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    StandInNotifications()
    {
        QDBusConnection bus = QDBusConnection::sessionBus();
        registered =
            bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), this, QDBusConnection::ExportAllSlots)
            && bus.registerService(QStringLiteral("org.freedesktop.Notifications"));
    }
    ~StandInNotifications() override
    {
        QDBusConnection bus = QDBusConnection::sessionBus();
        bus.unregisterService(QStringLiteral("org.freedesktop.Notifications"));
        bus.unregisterObject(QStringLiteral("/org/freedesktop/Notifications"));
    }

    bool registered = false;
    QStringList calls;
    QString failWith;
    QStringList capabilities{QStringLiteral("body")};
    int capabilityQuestions = 0;

public Q_SLOTS:
    QStringList GetCapabilities()
    {
        ++capabilityQuestions;
        return capabilities;
    }
    uint Notify(const QString& appName, uint replacesId, const QString&, const QString& summary, const QString& body,
                const QStringList&, const QVariantMap& hints, int expireTimeout)
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
        QVERIFY(server.registered);

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
        QCOMPARE(server.calls,
                 (QStringList{QStringLiteral("Tolvane|0|Eingabequelle geändert|Русский|true|-1"),
                              QStringLiteral("Tolvane|0|Eingabequelle geändert|Deutsch|true|-1")}));
        QCOMPARE(errors, (QList<std::optional<QString>>{std::nullopt, server.failWith}));
    }

    // Names are text: a server that reads markup in bodies gets them escaped,
    // one that does not gets them as they are.
    void bodyStaysText_data()
    {
        QTest::addColumn<QStringList>("capabilities");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("received");
        // As xkeyboard-config names it, with its stray backslash (see platform_xkb_registry).
        const QString czech = QStringLiteral("Czech (with <\\|> key)");
        const QString link = QStringLiteral("<a href=\"https://example.com/?a=1&b=2\">Click</a>");
        const QStringList markup{QStringLiteral("actions"), QStringLiteral("body"), QStringLiteral("body-markup")};
        QTest::newRow("markup, cz(bksl)") << markup << czech << QStringLiteral("Czech (with &lt;\\|&gt; key)");
        QTest::newRow("markup, a link") << markup << link
                                        << QStringLiteral(
                                               "&lt;a href=\"https://example.com/?a=1&amp;b=2\"&gt;Click&lt;/a&gt;");
        QTest::newRow("markup, an entity already") << markup << QStringLiteral("&amp;") << QStringLiteral("&amp;amp;");
        QTest::newRow("plain, cz(bksl)") << QStringList{QStringLiteral("body")} << czech << czech;
        QTest::newRow("plain, a link") << QStringList{} << link << link;
    }
    void bodyStaysText()
    {
        QFETCH(QStringList, capabilities);
        QFETCH(QString, name);
        QFETCH(QString, received);
        StandInNotifications server;
        QVERIFY(server.registered);
        server.capabilities = capabilities;

        DBusNotificationService service;
        int done = 0;
        // Two at once, before the server has told what it reads, and one after.
        for (int i = 0; i < 2; ++i)
            service.post(QStringLiteral("Input Source Changed"), name, [&](const auto&) { ++done; });
        QTRY_COMPARE(done, 2);
        service.post(QStringLiteral("Input Source Changed"), name, [&](const auto&) { ++done; });
        QTRY_COMPARE(done, 3);
        QCOMPARE(server.capabilityQuestions, 1);
        const QString call = QStringLiteral("Tolvane|0|Input Source Changed|") + received + QStringLiteral("|true|-1");
        QCOMPARE(server.calls, (QStringList{call, call, call}));
    }
};

TOLVANE_TEST_GUILESS_MAIN(DBusNotificationServiceTest)
#include "DBusNotificationServiceTest.moc"
