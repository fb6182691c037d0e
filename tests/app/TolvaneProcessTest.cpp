#include "platform/x11/X11Platform.h"
#include "support/EngineHarness.h"
#include "support/LoopbackHttpServer.h"
#include "support/ProcessEnvironment.h"
#include "support/StatusNotifierWatcherStandIn.h"
#include "support/TestFiles.h"
#include "support/TestMain.h"
#include "support/TestWindow.h"

#include "core/RulesCodec.h"
#include "services/UsageStatisticsManager.h"
#ifdef TOLVANE_HAS_TELEMETRY
#include "telemetrydeck/SignalPostBody.h"
#endif

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <csignal>

using tolvane::test::environmentUnder;
using tolvane::test::readFile;
using tolvane::test::windowsOf;
using tolvane::test::writeFile;

namespace {
// Whether the running Tolvane owns its name on the session bus.
bool tolvaneOnTheBus()
{
    return QDBusConnection::sessionBus().interface()->isServiceRegistered(QStringLiteral("com.kelvora.Tolvane"));
}

QString rulesFile(const QString& home)
{
    return home + QStringLiteral("/data/Tolvane/rules.json");
}

// Writes the rules of `home`, by default two of them, and returns the file's contents.
QByteArray writeRules(const QString& home,
                      const QList<AppRule>& rules = {ruleFor("org.example.Mail", "xkb:de"), ruleFor("kitty", "xkb:us")})
{
    const QByteArray encoded = RulesCodec::encode(rules);
    writeFile(rulesFile(home), encoded);
    return encoded;
}

QString analyticsQueue(const QTemporaryDir& home)
{
    return home.filePath(QStringLiteral("cache/telemetrysignalcache"));
}

// The id of the input source the X server has selected.
QString currentSource(InputSourceProvider& sources)
{
    return sources.currentInputSource().value_or(InputSourceProperties{}).id.value_or(QString());
}

QStringList lines(const QString& program, const QStringList& arguments)
{
    return QString::fromLocal8Bit(tolvane::test::runProgram(program, arguments, 5000).value_or(QByteArray()))
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// Windows of `embedded` that sit somewhere inside a window of `host`.
int windowsEmbedded(qint64 embedded, qint64 host)
{
    QString hostTrees;
    for (const QString& id : lines("xdotool", {"search", "--pid", QString::number(host)}))
        hostTrees += lines("xwininfo", {"-tree", "-id", id}).join(QLatin1Char('\n')) + QLatin1Char('\n');
    int count = 0;
    for (const QString& id : lines("xdotool", {"search", "--pid", QString::number(embedded)}))
        count += hostTrees.contains(QStringLiteral(" 0x%1 ").arg(id.toULong(), 0, 16)) ? 1 : 0;
    return count;
}

// A proxy on loopback that lets nothing through: it counts the requests the binary
// makes for its uploads and closes each connection at once, so every upload fails.
struct RefusingProxy : tolvane::test::LoopbackHttpServer {
    RefusingProxy()
        : LoopbackHttpServer([](QTcpSocket* socket, const Request&) { socket->abort(); })
    {
    }
    int connections() const { return int(requests().size()); }
};

// Three records an earlier run left in the analytics queue (none in a build without analytics).
void leaveQueuedRecords(const QString& cacheFile)
{
#ifndef TOLVANE_HAS_TELEMETRY
    Q_UNUSED(cacheFile);
#else
    QList<telemetrydeck::SignalPostBody> records;
    const QString user(64, QLatin1Char('a')), session("6C1D9D5E-0F7B-4D7E-9A33-0F3B2B0E8F11");
    for (const char* type : {"earlier-1", "earlier-2", "earlier-3"})
        records.append({QDateTime::currentDateTimeUtc(), "APP", user, session, type, std::nullopt, {}, "false"});
    QVERIFY(writeFile(cacheFile, telemetrydeck::SignalPostBody::encodeForCache(records)));
#endif
}

// Starts the binary in `environment`.
void launch(QProcess& tolvane, const QProcessEnvironment& environment, const QStringList& arguments = {})
{
    tolvane.setProcessEnvironment(environment);
    tolvane.start(QStringLiteral(TOLVANE_BINARY), arguments);
}

// The same, waiting until it answers on the bus.
bool startTolvane(QProcess& tolvane, const QProcessEnvironment& environment)
{
    launch(tolvane, environment);
    return QTest::qWaitFor(tolvaneOnTheBus, 10000);
}

bool quitTolvane(QProcess& tolvane)
{
    tolvane.terminate();
    return tolvane.waitForFinished(5000) && tolvane.exitCode() == 0;
}
} // namespace

class TolvaneProcessTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // A later launch hands over to the running copy, which opens its settings, and ends. A
    // first copy that is stopped holds on to being Tolvane: a later launch says so on
    // standard error, ends with a failure and changes nothing.
    void stoppedFirstCopyKeepsALaterLaunchOut()
    {
        QTemporaryDir home;
        writeRules(home.path());
        const QProcessEnvironment environment = environmentUnder(home.path());
        QProcess first;
        QVERIFY(startTolvane(first, environment));
        QCOMPARE(windowsOf(first.processId()), 0);
        QProcess second;
        launch(second, environment);
        QVERIFY(second.waitForFinished(5000));
        QCOMPARE(second.exitCode(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(windowsOf(first.processId()), 1, 5000);

        ::kill(pid_t(first.processId()), SIGSTOP);
        const QByteArray before = readFile(rulesFile(home.path()));

        QProcess third;
        launch(third, environment);
        QVERIFY(third.waitForFinished(30000));
        QCOMPARE(third.exitStatus(), QProcess::NormalExit);
        QVERIFY(third.exitCode() != 0);
        const QString said = QString::fromLocal8Bit(third.readAllStandardError());
        QVERIFY2(said.contains("Tolvane is already running but does not respond; end that process, then start "
                               "Tolvane again."),
                 qPrintable(said));
        QCOMPARE(readFile(rulesFile(home.path())), before);
        QCOMPARE(RulesCodec::decode(before).rules.value_or(QList<AppRule>()).size(), 2);

        ::kill(pid_t(first.processId()), SIGCONT);
        QVERIFY(quitTolvane(first));
    }

    // Whatever the interleaving of twenty starts, one engine runs, and the rules are intact.
    void twentySimultaneousStartsLeaveOne()
    {
        QTemporaryDir home;
        const QByteArray written = writeRules(home.path());
        const QProcessEnvironment environment = environmentUnder(home.path());
        std::vector<std::unique_ptr<QProcess>> launches;
        for (int i = 0; i < 20; ++i)
            launches.push_back(std::make_unique<QProcess>());
        for (auto& tolvane : launches)
            launch(*tolvane, environment);
        const auto running = [&launches] {
            return int(std::count_if(launches.begin(), launches.end(),
                                     [](const auto& p) { return p->state() != QProcess::NotRunning; }));
        };
        QTRY_VERIFY_WITH_TIMEOUT(running() <= 1, 60000);
        QTest::qWait(1000);
        QCOMPARE(running(), 1);
        QVERIFY(tolvaneOnTheBus());
        const auto rules = RulesCodec::decode(readFile(rulesFile(home.path()))).rules;
        QVERIFY(rules);
        QCOMPARE(RulesCodec::encode(*rules), written);
        for (auto& tolvane : launches)
            quitTolvane(*tolvane);
    }

    void trayHostStartedAfterTolvaneGetsTheItem_data()
    {
        QTest::addColumn<bool>("statusNotifier"); // else XEmbed through trayer
        QTest::newRow("XEmbed tray (trayer)") << false;
        QTest::newRow("StatusNotifierWatcher on the bus") << true;
    }

    // Started in a session without a tray, Tolvane shows its settings once, then
    // puts its item into the tray that appears later.
    void trayHostStartedAfterTolvaneGetsTheItem()
    {
        QFETCH(bool, statusNotifier);
        QTemporaryDir home;
        const QProcessEnvironment environment = environmentUnder(home.path());
        QFile::remove(home.filePath(QStringLiteral("runtime/com.kelvora.Tolvane.no-tray-shown")));
        QProcess tolvane;
        QVERIFY(startTolvane(tolvane, environment));
        QTRY_COMPARE_WITH_TIMEOUT(windowsOf(tolvane.processId()), 1, 5000);
        QTest::qWait(1000);

        if (statusNotifier) {
            StatusNotifierWatcherStandIn watcher;
            QDBusConnection bus = QDBusConnection::sessionBus();
            QVERIFY(bus.registerObject("/StatusNotifierWatcher", &watcher, QDBusConnection::ExportAllContents));
            QVERIFY(bus.registerService("org.kde.StatusNotifierWatcher"));
            QTRY_COMPARE_WITH_TIMEOUT(watcher.items.size(), 1, 10000);
            bus.unregisterService("org.kde.StatusNotifierWatcher");
            bus.unregisterObject("/StatusNotifierWatcher");
        } else {
            QProcess trayer;
            trayer.start("trayer", {"--edge", "top", "--align", "right", "--widthtype", "request"});
            QVERIFY(trayer.waitForStarted(5000));
            QTRY_COMPARE_WITH_TIMEOUT(windowsEmbedded(tolvane.processId(), trayer.processId()), 1, 10000);
            trayer.kill();
            trayer.waitForFinished(2000);
        }
        QVERIFY(quitTolvane(tolvane));
    }

    void terminationSignalsQuitCleanly_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("SIGTERM") << SIGTERM;
        QTest::newRow("SIGINT") << SIGINT;
        QTest::newRow("SIGHUP") << SIGHUP;
    }

    // Ended by a signal as Quit ends it, the binary releases its name and leaves its
    // launch signal and, after half a second, the session start in the analytics cache.
    void terminationSignalsQuitCleanly()
    {
        QFETCH(int, signalNumber);
        QTemporaryDir home;
        const QString cacheFile = analyticsQueue(home);
        QProcess tolvane; // its destructor kills it should the test fail
        tolvane.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QVERIFY(startTolvane(tolvane, environmentUnder(home.path())));
        QTest::qWait(1500);
        QVERIFY(!QFile::exists(cacheFile));

        ::kill(pid_t(tolvane.processId()), signalNumber);
        QVERIFY(tolvane.waitForFinished(5000));
        QCOMPARE(tolvane.exitStatus(), QProcess::NormalExit);
        QCOMPARE(tolvane.exitCode(), 0);
        QVERIFY(!tolvaneOnTheBus());
        if (!UsageStatisticsManager::isAvailable()) {
            QVERIFY(!QFile::exists(cacheFile)); // nothing of analytics is written
            return;
        }
        const QByteArray records = readFile(cacheFile);
        QVERIFY2(records.contains("\"TelemetryDeck.Session.started\""), records.constData());
        QCOMPARE(records.count("\"appLaunched\""), 1);
    }

    // The user's choice and the environment decide whether anything is sent. Shared: the
    // queue is uploaded (here: refused by the proxy) and kept, also through a kill -9, but
    // with no window active no session time is counted. Silenced: nothing leaves, the
    // queue is deleted and no session statistics are written.
    void usageStatisticsFollowTheUsersChoice_data()
    {
        QTest::addColumn<QString>("variable");
        QTest::addColumn<bool>("turnedOff");
        QTest::addColumn<bool>("shares");
        QTest::addColumn<bool>("killed");
        QTest::newRow("shared by default") << QString() << false << true << false;
        QTest::newRow("shared, killed with -9 while uploads fail") << QString() << false << true << true;
        QTest::newRow("turned off in the settings") << QString() << true << false << false;
        QTest::newRow("DO_NOT_TRACK=1") << "DO_NOT_TRACK" << false << false << false;
        QTest::newRow("preview variable") << "XCODE_RUNNING_FOR_PREVIEWS" << false << false << false;
    }

    void usageStatisticsFollowTheUsersChoice()
    {
        QFETCH(QString, variable);
        QFETCH(bool, turnedOff);
        QFETCH(bool, shares);
        QFETCH(bool, killed);
        if (killed && !UsageStatisticsManager::isAvailable())
            QSKIP("built without analytics");
        shares = shares && UsageStatisticsManager::isAvailable(); // a build without analytics never shares
        QTemporaryDir home;
        const QString cacheFile = analyticsQueue(home);
        leaveQueuedRecords(cacheFile);
        if (turnedOff)
            QVERIFY(writeFile(home.filePath("config/kelvora/Tolvane.conf"),
                              "[General]\n" + UsageStatisticsManager::sharingKey().toUtf8() + "=false\n"));
        RefusingProxy proxy;
        QProcessEnvironment environment = environmentUnder(home.path());
        environment.insert("https_proxy", proxy.url().toString());
        if (!variable.isEmpty())
            environment.insert(variable, "1");
        QProcess tolvane;
        QVERIFY(startTolvane(tolvane, environment));
        if (killed) {
            // Records loaded from the cache file stay in it until they are delivered.
            QTRY_VERIFY_WITH_TIMEOUT(proxy.connections() > 0, 10000);
            QTest::qWait(300);
            tolvane.kill();
            QVERIFY(tolvane.waitForFinished(5000));
            QCOMPARE(readFile(cacheFile).count("\"earlier-"), 3);
            return;
        }
        QTest::qWait(2500); // the first session begins after half a second
        QVERIFY(quitTolvane(tolvane));

        const QStringList suites = QDir(home.filePath("config")).entryList({"com.telemetrydeck.*"}, QDir::Files);
        if (!shares) {
            QCOMPARE(proxy.connections(), 0);
            QVERIFY(!QFile::exists(cacheFile));
            QCOMPARE(suites, QStringList());
            return;
        }
        QVERIFY(proxy.connections() > 0);
        const QByteArray queued = readFile(cacheFile);
        QCOMPARE(queued.count("\"earlier-"), 3);
        QCOMPARE(queued.count("\"appLaunched\""), 1);
        QVERIFY2(queued.contains("\"buildNumber\":\"" TOLVANE_BUILD_NUMBER "\""), queued.constData());
        QCOMPARE(suites.size(), 1);
        QVERIFY(!readFile(home.filePath("config/" + suites.constFirst())).contains("recentSessions"));
    }

    // An application without a rule gets back the source last used in it,
    // also after a restart, while the setting asks for it.
    void remembersTheSourceOfAnApplicationWithoutRule()
    {
        auto x11 = X11Platform::create();
        QVERIFY(x11);
        InputSourceProvider* sources = x11->inputSourceProvider();
        QTemporaryDir home;
        const QProcessEnvironment environment = environmentUnder(home.path());
        const QString settings = home.filePath("config/kelvora/Tolvane.conf");
        QVERIFY(writeFile(settings, "[General]\ndefaultInputSourceID=xkb:us\nrememberLastInputSource=true\n"));
        writeRules(home.path(), {ruleFor("MemoryB", "xkb:ru")});
        TestWindow a(QStringLiteral("MemoryA"));
        TestWindow b(QStringLiteral("MemoryB"));
        QVERIFY(a.isValid() && b.isValid() && a.activate());
        QVERIFY(sources->selectInputSource("xkb:ru"));

        // A is new: it gets the default; then the user's layout hotkey, in A.
        QProcess tolvane;
        QVERIFY(startTolvane(tolvane, environment));
        QTRY_COMPARE(currentSource(*sources), QStringLiteral("xkb:us"));
        QVERIFY(TestWindow::lockGroupElsewhere(1));
        QTRY_COMPARE(currentSource(*sources), QStringLiteral("xkb:de"));
        QVERIFY(b.activate());
        QTRY_COMPARE(currentSource(*sources), QStringLiteral("xkb:ru"));
        QVERIFY(a.activate());
        QTRY_COMPARE(currentSource(*sources), QStringLiteral("xkb:de"));

        // Quit at once, well within the write delay, and start again with A in front.
        QVERIFY(quitTolvane(tolvane));
        QVERIFY(sources->selectInputSource("xkb:us"));
        QTRY_COMPARE(currentSource(*sources), QStringLiteral("xkb:us"));
        QVERIFY(startTolvane(tolvane, environment));
        QTRY_COMPARE(currentSource(*sources), QStringLiteral("xkb:de"));
        QVERIFY(quitTolvane(tolvane));

        // Set to the default input source, A gets it as before.
        QVERIFY(writeFile(settings, "[General]\ndefaultInputSourceID=xkb:us\nrememberLastInputSource=false\n"));
        QVERIFY(startTolvane(tolvane, environment));
        QTRY_COMPARE(currentSource(*sources), QStringLiteral("xkb:us"));
        QVERIFY(quitTolvane(tolvane));
    }

    // A Wayland session whose compositor no backend drives, with Xwayland's
    // display at hand: Tolvane neither follows nor switches through X11, says
    // why in its log, and reports no backend.
    void unknownWaylandCompositorLeavesX11Alone()
    {
        auto x11 = X11Platform::create();
        QVERIFY(x11);
        InputSourceProvider* sources = x11->inputSourceProvider();
        QTemporaryDir home;
        writeRules(home.path(), {ruleFor("WaylandA", "xkb:ru")});
        TestWindow window(QStringLiteral("WaylandA"));
        QVERIFY(window.isValid() && window.activate());
        QVERIFY(sources->selectInputSource("xkb:us"));

        QProcessEnvironment environment = environmentUnder(home.path());
        environment.insert("XDG_SESSION_TYPE", "wayland");
        environment.insert("WAYLAND_DISPLAY", "wayland-tolvane-test");
        environment.insert("XDG_CURRENT_DESKTOP", "Weston");
        environment.insert("QT_QPA_PLATFORM", "xcb");
        environment.insert("TOLVANE_LOG_STDERR", "1");
        QProcess tolvane;
        QVERIFY(startTolvane(tolvane, environment));
        QProcess status;
        launch(status, environment, {"--status"});
        QVERIFY(status.waitForFinished(10000));
        QVERIFY2(status.readAllStandardOutput().contains("backend: none"), "the running copy reports a backend");
        QTest::qWait(500);
        QCOMPARE(currentSource(*sources), QStringLiteral("xkb:us"));
        QVERIFY(quitTolvane(tolvane));
        const QByteArray log = tolvane.readAllStandardError();
        QVERIFY2(log.contains("No platform backend: Wayland session") && log.contains("X11 is not used")
                     && log.contains("XDG_CURRENT_DESKTOP=Weston"),
                 log.constData());
    }
};

TOLVANE_TEST_GUILESS_MAIN(TolvaneProcessTest)
#include "TolvaneProcessTest.moc"
