#include "support/TestMain.h"

#include "app/SingleInstance.h"

#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <future>

class SingleInstanceTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void peersSayingAnythingElseAreDropped_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::newRow("request with more on the line") << QByteArray("open-settings now\n");
        QTest::newRow("endless line") << QByteArray(64 * 1024, 'x');
    }

    void peersSayingAnythingElseAreDropped()
    {
        QFETCH(QByteArray, request);
        QTemporaryDir runtime;
        SingleInstance first(runtime.path());
        QCOMPARE(first.claim(), SingleInstance::Role::Primary);
        QSignalSpy requested(&first, &SingleInstance::openSettingsRequested);

        QLocalSocket peer;
        peer.connectToServer(first.socketPath());
        QVERIFY(peer.waitForConnected(1000));
        peer.write(request);
        QTRY_COMPARE(peer.state(), QLocalSocket::UnconnectedState);
        QCOMPARE(peer.readAll(), QByteArray());
        QCOMPARE(requested.count(), 0);

        // The instance still serves the next launch, which hands over to it: a
        // claim from another thread while this one keeps serving.
        auto later = std::async(std::launch::async, [&runtime] { return SingleInstance(runtime.path()).claim(2000); });
        while (later.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QCOMPARE(later.get(), SingleInstance::Role::Secondary);
        QCOMPARE(requested.count(), 1);
    }
};

TOLVANE_TEST_GUILESS_MAIN(SingleInstanceTest)
#include "SingleInstanceTest.moc"
