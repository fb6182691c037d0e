#include "support/TestMain.h"

#include "app/SingleInstance.h"

#include <QFile>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QSysInfo>
#include <QTemporaryDir>

#include <cstring>
#include <future>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {
// A later process, as far as the socket can tell: a claim from another thread
// while this one keeps serving.
std::future<SingleInstance::Role> claimElsewhere(const QString& directory)
{
    return std::async(std::launch::async, [directory] {
        SingleInstance later(directory);
        return later.claim(2000);
    });
}

SingleInstance::Role waitFor(std::future<SingleInstance::Role>& role)
{
    while (role.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return role.get();
}
} // namespace

class SingleInstanceTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void leftoversOfAnEndedInstanceAreTakenOver_data()
    {
        QTest::addColumn<QString>("leftover");
        QTest::newRow("socket of an ended process") << QStringLiteral("socket");
        QTest::newRow("lock of an ended process") << QStringLiteral("lock");
    }

    void leftoversOfAnEndedInstanceAreTakenOver()
    {
        QFETCH(QString, leftover);
        QTemporaryDir runtime;
        SingleInstance probe(runtime.path());
        if (leftover == QStringLiteral("socket")) {
            // What a killed instance leaves: a socket file nobody listens on.
            const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un address{};
            address.sun_family = AF_UNIX;
            const QByteArray path = QFile::encodeName(probe.socketPath());
            std::memcpy(address.sun_path, path.constData(), path.size());
            QCOMPARE(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
            ::close(fd);
            QVERIFY(QFile::exists(probe.socketPath()));
        } else {
            // pid 999999 does not exist: the lock is stale.
            QFile lock(probe.socketPath() + QStringLiteral(".lock"));
            QVERIFY(lock.open(QIODevice::WriteOnly));
            lock.write("999999\ntolvane\n" + QSysInfo::machineHostName().toUtf8() + "\n");
        }

        SingleInstance next(runtime.path());
        QCOMPARE(next.claim(1500), SingleInstance::Role::Primary);
        QSignalSpy requested(&next, &SingleInstance::openSettingsRequested);
        auto later = claimElsewhere(runtime.path());
        QCOMPARE(waitFor(later), SingleInstance::Role::Secondary);
        QCOMPARE(requested.count(), 1);
    }

    // Every case ends with a later launch handing over to the instance.
    void peersSayingAnythingElseAreDropped_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<int>("requests");
        QTest::addColumn<QByteArray>("answer");
        QTest::newRow("the request") << SingleInstance::openSettingsRequest() << 1 << QByteArray("ok\n");
        QTest::newRow("another line") << QByteArray("quit\n") << 0 << QByteArray();
        QTest::newRow("request with more on the line") << QByteArray("open-settings now\n") << 0 << QByteArray();
        QTest::newRow("endless line") << QByteArray(64 * 1024, 'x') << 0 << QByteArray();
    }

    void peersSayingAnythingElseAreDropped()
    {
        QFETCH(QByteArray, request);
        QFETCH(int, requests);
        QFETCH(QByteArray, answer);
        QTemporaryDir runtime;
        SingleInstance first(runtime.path());
        QCOMPARE(first.claim(), SingleInstance::Role::Primary);
        QSignalSpy requested(&first, &SingleInstance::openSettingsRequested);

        QLocalSocket peer;
        peer.connectToServer(first.socketPath());
        QVERIFY(peer.waitForConnected(1000));
        peer.write(request);
        QTRY_COMPARE(peer.state(), QLocalSocket::UnconnectedState);
        QCOMPARE(peer.readAll(), answer);
        QCOMPARE(requested.count(), requests);

        // The instance still serves the next launch.
        auto later = claimElsewhere(runtime.path());
        QCOMPARE(waitFor(later), SingleInstance::Role::Secondary);
        QCOMPARE(requested.count(), requests + 1);
    }
};

TOLVANE_TEST_GUILESS_MAIN(SingleInstanceTest)
#include "SingleInstanceTest.moc"
