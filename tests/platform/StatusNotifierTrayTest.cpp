// The tray of Wayland panels and KDE: a StatusNotifierWatcher on the session
// bus with a host. Played here by an object of the test on its own bus connection.
#include "platform/freedesktop/StatusNotifierTrayMonitor.h"
#include "support/StatusNotifierWatcherStandIn.h"
#include "support/TestMain.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QSignalSpy>

namespace {

const QString kService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kPath = QStringLiteral("/StatusNotifierWatcher");

} // namespace

class StatusNotifierTrayTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void followsTheWatcherAndItsHost()
    {
        QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("panel"));
        if (!bus.isConnected())
            QSKIP("no session bus");
        StatusNotifierTrayMonitor monitor;
        QSignalSpy changed(&monitor, &SystemTrayMonitor::isAvailableChanged);
        QTest::qWait(100);
        QVERIFY(!monitor.isAvailable());

        // A watcher without a host (a panel still starting) is no tray yet.
        StatusNotifierWatcherStandIn watcher;
        watcher.hostRegistered = false;
        QVERIFY(bus.registerObject(kPath, &watcher, QDBusConnection::ExportAllContents));
        QVERIFY(bus.registerService(kService));
        QTest::qWait(200);
        QVERIFY(!monitor.isAvailable());

        watcher.hostRegistered = true;
        bus.send(QDBusMessage::createSignal(kPath, kService, QStringLiteral("StatusNotifierHostRegistered")));
        QTRY_VERIFY(monitor.isAvailable());
        QCOMPARE(changed.size(), 1);

        // The panel quits.
        QVERIFY(bus.unregisterService(kService));
        QTRY_VERIFY(!monitor.isAvailable());
        QCOMPARE(changed.size(), 2);
        QDBusConnection::disconnectFromBus(QStringLiteral("panel"));
    }
};

TOLVANE_TEST_GUILESS_MAIN(StatusNotifierTrayTest)
#include "StatusNotifierTrayTest.moc"
