#include "support/TestMain.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <csignal>

namespace {
// An environment in which the binary has a home, configuration, cache and
// runtime directory of its own under `root`.
QProcessEnvironment environmentUnder(const QString& root)
{
    QDir(root).mkpath(QStringLiteral("runtime"));
    QFile::setPermissions(root + QStringLiteral("/runtime"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), root);
    for (const QString part : {QStringLiteral("config"), QStringLiteral("data"), QStringLiteral("cache"),
                               QStringLiteral("state")})
        environment.insert(QStringLiteral("XDG_%1_HOME").arg(part.toUpper()), root + QLatin1Char('/') + part);
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), root + QStringLiteral("/runtime"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    // Nothing leaves the machine: uploads go to a closed port on loopback.
    environment.insert(QStringLiteral("https_proxy"), QStringLiteral("http://127.0.0.1:9"));
    environment.insert(QStringLiteral("http_proxy"), QStringLiteral("http://127.0.0.1:9"));
    environment.remove(QStringLiteral("no_proxy"));
    return environment;
}

// The visible windows of a process, as the window manager's clients list them.
int windowsOf(const QProcess& process)
{
    QProcess xdotool;
    xdotool.start(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                              QStringLiteral("--pid"), QString::number(process.processId())});
    xdotool.waitForFinished();
    return int(xdotool.readAllStandardOutput().count('\n'));
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
        QVERIFY(QTest::qWaitFor([&] { return QFile::exists(home.filePath(QStringLiteral("runtime/com.kelvora.Tolvane"))); }, 10000));
        QCOMPARE(windowsOf(first), 0);

        QProcess second;
        second.setProcessEnvironment(environment);
        second.start(QStringLiteral(TOLVANE_BINARY), QStringList());
        QVERIFY(second.waitForFinished(5000));
        QCOMPARE(second.exitCode(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(windowsOf(first), 1, 5000);
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
        const QString socket = home.filePath(QStringLiteral("runtime/com.kelvora.Tolvane"));
        const QString cacheFile = home.filePath(QStringLiteral("cache/telemetrysignalcache"));
        QProcess tolvane; // its destructor kills it should the test fail
        tolvane.setProcessEnvironment(environmentUnder(home.path()));
        tolvane.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        tolvane.start(QStringLiteral(TOLVANE_BINARY), QStringList());
        QVERIFY(QTest::qWaitFor([&] { return QFile::exists(socket); }, 10000));
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
        // The socket is gone with the process.
        QVERIFY(!QFile::exists(socket));
    }
};

TOLVANE_TEST_GUILESS_MAIN(TolvaneProcessTest)
#include "TolvaneProcessTest.moc"
