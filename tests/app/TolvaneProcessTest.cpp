#include "support/TestMain.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <csignal>
#include <memory>

namespace {
// The real binary with a home, configuration, cache and runtime directory of its own.
class TolvaneProcess {
public:
    TolvaneProcess() = default;
    explicit TolvaneProcess(const QString& root) { m_root = root; }

    QString root() const { return m_root.isEmpty() ? m_home.path() : m_root; }
    QString cacheFile() const { return root() + QStringLiteral("/cache/telemetrysignalcache"); }
    QString socketPath() const { return root() + QStringLiteral("/runtime/com.kelvora.Tolvane"); }

    QProcess& start()
    {
        QDir(root()).mkpath(QStringLiteral("runtime"));
        QFile::setPermissions(root() + QStringLiteral("/runtime"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), root());
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), root() + QStringLiteral("/config"));
        environment.insert(QStringLiteral("XDG_DATA_HOME"), root() + QStringLiteral("/data"));
        environment.insert(QStringLiteral("XDG_CACHE_HOME"), root() + QStringLiteral("/cache"));
        environment.insert(QStringLiteral("XDG_STATE_HOME"), root() + QStringLiteral("/state"));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), root() + QStringLiteral("/runtime"));
        environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
        // Nothing leaves the machine: uploads go to a closed port on loopback.
        environment.insert(QStringLiteral("https_proxy"), QStringLiteral("http://127.0.0.1:9"));
        environment.insert(QStringLiteral("http_proxy"), QStringLiteral("http://127.0.0.1:9"));
        environment.remove(QStringLiteral("no_proxy"));
        m_process = std::make_unique<QProcess>();
        m_process->setProcessEnvironment(environment);
        m_process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process->start(QStringLiteral(TOLVANE_BINARY), QStringList());
        m_process->waitForStarted(5000);
        return *m_process;
    }

    // Up once it serves later launches.
    bool waitUntilServing(int timeoutMs = 10000) const
    {
        QElapsedTimer timer;
        timer.start();
        while (!QFile::exists(socketPath())) {
            if (timer.elapsed() > timeoutMs || m_process->state() != QProcess::Running)
                return false;
            QTest::qWait(20);
        }
        return true;
    }

    QProcess& process() { return *m_process; }

    ~TolvaneProcess()
    {
        if (m_process && m_process->state() != QProcess::NotRunning) {
            m_process->kill();
            m_process->waitForFinished(3000);
        }
    }

private:
    QTemporaryDir m_home;
    QString m_root;
    std::unique_ptr<QProcess> m_process;
};

// The mapped top-level windows the window manager lists for a process.
int clientWindowsOf(qint64 pid)
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return -1;
    const Atom clientList = XInternAtom(display, "_NET_CLIENT_LIST", False);
    const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
    Atom type;
    int format;
    unsigned long count = 0, after;
    unsigned char* data = nullptr;
    int found = 0;
    if (XGetWindowProperty(display, DefaultRootWindow(display), clientList, 0, 4096, False, XA_WINDOW, &type, &format,
                           &count, &after, &data) == Success && data) {
        const auto* windows = reinterpret_cast<const Window*>(data);
        for (unsigned long i = 0; i < count; ++i) {
            unsigned char* pidData = nullptr;
            unsigned long pidCount = 0;
            if (XGetWindowProperty(display, windows[i], pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &pidCount,
                                   &after, &pidData) == Success && pidData) {
                if (pidCount == 1 && static_cast<qint64>(*reinterpret_cast<const unsigned long*>(pidData)) == pid)
                    ++found;
                XFree(pidData);
            }
        }
        XFree(data);
    }
    XCloseDisplay(display);
    return found;
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
        QCOMPARE(clientWindowsOf(first.process().processId()), 0);

        TolvaneProcess second(first.root());
        QElapsedTimer timer;
        timer.start();
        QProcess& later = second.start();
        QVERIFY(later.waitForFinished(5000));
        QCOMPARE(later.exitStatus(), QProcess::NormalExit);
        QCOMPARE(later.exitCode(), 0);
        QVERIFY2(timer.elapsed() < 3000, qPrintable(QString::number(timer.elapsed())));

        QTRY_COMPARE_WITH_TIMEOUT(clientWindowsOf(first.process().processId()), 1, 5000);
        QCOMPARE(first.process().state(), QProcess::Running);

        // A third launch brings the same window forward instead of adding one.
        TolvaneProcess third(first.root());
        QVERIFY(third.start().waitForFinished(5000));
        QCOMPARE(third.process().exitCode(), 0);
        QTest::qWait(300);
        QCOMPARE(clientWindowsOf(first.process().processId()), 1);

        // Closing the settings window does not end the application.
        ::kill(static_cast<pid_t>(first.process().processId()), SIGTERM);
        QVERIFY(first.process().waitForFinished(5000));
        QCOMPARE(first.process().exitCode(), 0);
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

        ::kill(static_cast<pid_t>(tolvane.process().processId()), signalNumber);
        QVERIFY(tolvane.process().waitForFinished(5000));
        QCOMPARE(tolvane.process().exitStatus(), QProcess::NormalExit);
        QCOMPARE(tolvane.process().exitCode(), 0);

        QFile cache(tolvane.cacheFile());
        QVERIFY(cache.open(QIODevice::ReadOnly));
        const QByteArray records = cache.readAll();
        QVERIFY2(records.contains("\"appLaunched\""), records.constData());
        QVERIFY2(records.contains("\"TelemetryDeck.Session.started\""), records.constData());
        QCOMPARE(records.count("\"appLaunched\""), 1);
        // The socket is gone with the process.
        QVERIFY(!QFile::exists(tolvane.socketPath()));
    }
};

TOLVANE_TEST_GUILESS_MAIN(TolvaneProcessTest)
#include "TolvaneProcessTest.moc"
