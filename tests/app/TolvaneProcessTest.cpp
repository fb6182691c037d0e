#include "support/TestMain.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <csignal>
#include <memory>

namespace {
// The real binary with a home, configuration, cache and runtime directory of its
// own, or those of an earlier instance given its root.
class TolvaneProcess {
public:
    explicit TolvaneProcess(const QString& root = QString()) : m_root(root.isEmpty() ? m_home.path() : root) {}

    QString root() const { return m_root; }
    QString cacheFile() const { return m_root + QStringLiteral("/cache/telemetrysignalcache"); }
    QString socketPath() const { return m_root + QStringLiteral("/runtime/com.kelvora.Tolvane"); }

    QProcess& start()
    {
        QDir(m_root).mkpath(QStringLiteral("runtime"));
        QFile::setPermissions(m_root + QStringLiteral("/runtime"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), m_root);
        for (const QString part : {QStringLiteral("config"), QStringLiteral("data"), QStringLiteral("cache"),
                                   QStringLiteral("state")})
            environment.insert(QStringLiteral("XDG_%1_HOME").arg(part.toUpper()), m_root + QLatin1Char('/') + part);
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_root + QStringLiteral("/runtime"));
        environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
        // Nothing leaves the machine: uploads go to a closed port on loopback.
        environment.insert(QStringLiteral("https_proxy"), QStringLiteral("http://127.0.0.1:9"));
        environment.insert(QStringLiteral("http_proxy"), QStringLiteral("http://127.0.0.1:9"));
        environment.remove(QStringLiteral("no_proxy"));
        m_process.setProcessEnvironment(environment);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QStringLiteral(TOLVANE_BINARY), QStringList());
        m_process.waitForStarted(5000);
        return m_process;
    }

    // Up once it serves later launches.
    bool waitUntilServing()
    {
        return QTest::qWaitFor([this] { return QFile::exists(socketPath()); }, 10000);
    }

    QProcess& process() { return m_process; }

    // Sends `signalNumber` and waits for a clean end.
    bool endWith(int signalNumber)
    {
        ::kill(static_cast<pid_t>(m_process.processId()), signalNumber);
        return m_process.waitForFinished(5000) && m_process.exitStatus() == QProcess::NormalExit
            && m_process.exitCode() == 0;
    }

    ~TolvaneProcess()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(3000);
        }
    }

private:
    QTemporaryDir m_home;
    QString m_root;
    QProcess m_process;
};

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
    void secondLaunchOpensTheSettingsOfTheFirst()
    {
        TolvaneProcess first;
        first.start();
        QVERIFY(first.waitUntilServing());
        QCOMPARE(windowsOf(first.process()), 0);

        TolvaneProcess second(first.root());
        QElapsedTimer timer;
        timer.start();
        QProcess& later = second.start();
        QVERIFY(later.waitForFinished(5000));
        QCOMPARE(later.exitStatus(), QProcess::NormalExit);
        QCOMPARE(later.exitCode(), 0);
        QVERIFY2(timer.elapsed() < 3000, qPrintable(QString::number(timer.elapsed())));
        QTRY_COMPARE_WITH_TIMEOUT(windowsOf(first.process()), 1, 5000);

        // A third launch brings the same window forward instead of adding one.
        TolvaneProcess third(first.root());
        QVERIFY(third.start().waitForFinished(5000));
        QCOMPARE(third.process().exitCode(), 0);
        QTest::qWait(300);
        QCOMPARE(windowsOf(first.process()), 1);
        QVERIFY(first.endWith(SIGTERM));
    }

    void terminationSignalsQuitCleanly_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("SIGTERM") << SIGTERM;
        QTest::newRow("SIGINT") << SIGINT;
        QTest::newRow("SIGHUP") << SIGHUP;
    }

    // Started offline and ended by a signal, the binary leaves its launch signal
    // and, after half a second, the session start in the analytics cache.
    void terminationSignalsQuitCleanly()
    {
        QFETCH(int, signalNumber);
        TolvaneProcess tolvane;
        tolvane.start();
        QVERIFY(tolvane.waitUntilServing());
        QTest::qWait(1500);
        QVERIFY(!QFile::exists(tolvane.cacheFile()));
        QVERIFY(tolvane.endWith(signalNumber));

        QFile cache(tolvane.cacheFile());
        QVERIFY(cache.open(QIODevice::ReadOnly));
        const QByteArray records = cache.readAll();
        QVERIFY2(records.contains("\"TelemetryDeck.Session.started\""), records.constData());
        QCOMPARE(records.count("\"appLaunched\""), 1);
        // The socket is gone with the process.
        QVERIFY(!QFile::exists(tolvane.socketPath()));
    }
};

TOLVANE_TEST_GUILESS_MAIN(TolvaneProcessTest)
#include "TolvaneProcessTest.moc"
