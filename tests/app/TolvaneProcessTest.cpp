#include "support/ProcessEnvironment.h"
#include "support/TestMain.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <csignal>

using tolvane::test::environmentUnder;
using tolvane::test::windowsOf;

namespace {
// Whether the running Tolvane owns its name on the session bus.
bool tolvaneOnTheBus()
{
    return QDBusConnection::sessionBus().interface()->isServiceRegistered(QStringLiteral("com.kelvora.Tolvane"));
}
} // namespace

class TolvaneProcessTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // A later launch hands over to the running one, which opens its settings, and ends.
    void secondLaunchOpensTheSettingsOfTheFirst()
    {
        QTemporaryDir home;
        const QProcessEnvironment environment = environmentUnder(home.path());
        QProcess first;
        first.setProcessEnvironment(environment);
        first.start(QStringLiteral(TOLVANE_BINARY), QStringList());
        QVERIFY(QTest::qWaitFor(tolvaneOnTheBus, 10000));
        QCOMPARE(windowsOf(first.processId()), 0);

        QProcess second;
        second.setProcessEnvironment(environment);
        second.start(QStringLiteral(TOLVANE_BINARY), QStringList());
        QVERIFY(second.waitForFinished(5000));
        QCOMPARE(second.exitCode(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(windowsOf(first.processId()), 1, 5000);
        first.terminate();
        QVERIFY(first.waitForFinished(5000));
    }

    void terminationSignalsQuitCleanly_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("SIGTERM") << SIGTERM;
        QTest::newRow("SIGINT") << SIGINT;
        QTest::newRow("SIGHUP") << SIGHUP;
    }

    // Started offline and ended by a signal as Quit ends it, the binary leaves
    // its launch signal and, after half a second, the session start in the
    // analytics cache.
    void terminationSignalsQuitCleanly()
    {
        QFETCH(int, signalNumber);
        QTemporaryDir home;
        const QString cacheFile = home.filePath(QStringLiteral("cache/telemetrysignalcache"));
        QProcess tolvane; // its destructor kills it should the test fail
        tolvane.setProcessEnvironment(environmentUnder(home.path()));
        tolvane.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        tolvane.start(QStringLiteral(TOLVANE_BINARY), QStringList());
        QVERIFY(QTest::qWaitFor(tolvaneOnTheBus, 10000));
        QTest::qWait(1500);
        QVERIFY(!QFile::exists(cacheFile));

        ::kill(static_cast<pid_t>(tolvane.processId()), signalNumber);
        QVERIFY(tolvane.waitForFinished(5000));
        QCOMPARE(tolvane.exitStatus(), QProcess::NormalExit);
        QCOMPARE(tolvane.exitCode(), 0);
        QFile cache(cacheFile);
        QVERIFY(cache.open(QIODevice::ReadOnly));
        const QByteArray records = cache.readAll();
        QVERIFY2(records.contains("\"TelemetryDeck.Session.started\""), records.constData());
        QCOMPARE(records.count("\"appLaunched\""), 1);
        // The name is released with the process.
        QVERIFY(!tolvaneOnTheBus());
    }
};

TOLVANE_TEST_GUILESS_MAIN(TolvaneProcessTest)
#include "TolvaneProcessTest.moc"
