#include "services/PermissionsManager.h"
#include "support/TestMain.h"

#include <QElapsedTimer>
#include <QSignalSpy>

class PermissionsManagerTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void publishesAfterCurrentWorkThenFollowsEveryPoll()
    {
        bool trusted = true;
        int asked = 0;
        PermissionsManager manager([&] {
            ++asked;
            return trusted;
        });
        QSignalSpy spy(&manager, &PermissionsManager::isAccessibilityTrustedChanged);
        QCOMPARE(asked, 1);
        QCOMPARE(manager.isAccessibilityTrusted(), false); // until the posted update runs
        QCoreApplication::processEvents();
        QCOMPARE(manager.isAccessibilityTrusted(), true);
        QCOMPARE(spy.size(), 1);

        // Revoked: the next poll, about 2 s later, publishes it.
        trusted = false;
        QElapsedTimer clock;
        clock.start();
        QTRY_COMPARE_WITH_TIMEOUT(manager.isAccessibilityTrusted(), false, 5000);
        QVERIFY(clock.elapsed() > 1000);
        QCOMPARE(asked, 2);

        // Granted again, without any action in the application.
        trusted = true;
        QTRY_COMPARE_WITH_TIMEOUT(manager.isAccessibilityTrusted(), true, 5000);
        QCOMPARE(spy.size(), 3);
    }
};

TOLVANE_TEST_GUILESS_MAIN(PermissionsManagerTest)
#include "PermissionsManagerTest.moc"
