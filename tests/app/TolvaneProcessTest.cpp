#include "platform/x11/X11Platform.h"
#include "support/LoopbackHttpServer.h"
#include "support/ProcessEnvironment.h"
#include "support/StatusNotifierWatcherStandIn.h"
#include "support/TestFiles.h"
#include "support/TestMain.h"
#include "support/TestWindow.h"

#include "core/RulesCodec.h"
#include "support/EngineHarness.h"

#include "services/UsageStatisticsManager.h"
#ifdef TOLVANE_HAS_TELEMETRY
#include "telemetrydeck/SignalPostBody.h"
#endif

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QRegularExpression>
#include <QSet>

#include <QDir>
#include <QFile>
#include <QFileInfo>
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

std::optional<QList<AppRule>> rulesIn(const QString& home)
{
    if (!QFile::exists(rulesFile(home)))
        return std::nullopt;
    return RulesCodec::decode(readFile(rulesFile(home))).rules;
}

QStringList lines(const QString& program, const QStringList& arguments)
{
    return QString::fromLocal8Bit(tolvane::test::runProgram(program, arguments, 5000).value_or(QByteArray()))
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

unsigned long parentOf(unsigned long window)
{
    static const QRegularExpression parent(QStringLiteral("Parent window id: (0x[0-9a-f]+)"));
    const QString info =
        lines(QStringLiteral("xwininfo"), {QStringLiteral("-children"), QStringLiteral("-id"), QString::number(window)})
            .join(QLatin1Char('\n'));
    const auto match = parent.match(info);
    return match.hasMatch() ? match.captured(1).toULong(nullptr, 16) : 0;
}

// Windows of `embedded` that sit inside a window of `host`.
int windowsEmbedded(qint64 embedded, qint64 host)
{
    QSet<unsigned long> hostWindows;
    for (const QString& id :
         lines(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--pid"), QString::number(host)}))
        hostWindows.insert(id.toULong());
    int count = 0;
    for (const QString& id : lines(QStringLiteral("xdotool"),
                                   {QStringLiteral("search"), QStringLiteral("--pid"), QString::number(embedded)})) {
        unsigned long window = id.toULong();
        for (int depth = 0; depth < 6 && window != 0; ++depth) {
            window = parentOf(window);
            if (hostWindows.contains(window)) {
                ++count;
                break;
            }
        }
    }
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
    for (const QString& type : {QStringLiteral("earlier-1"), QStringLiteral("earlier-2"), QStringLiteral("earlier-3")})
        records.append({QDateTime::currentDateTimeUtc(),
                        QStringLiteral("APP"),
                        QString(64, QLatin1Char('a')),
                        QStringLiteral("6C1D9D5E-0F7B-4D7E-9A33-0F3B2B0E8F11"),
                        type,
                        std::nullopt,
                        {},
                        QStringLiteral("false")});
    QVERIFY(writeFile(cacheFile, telemetrydeck::SignalPostBody::encodeForCache(records)));
#endif
}

// Starts the binary in `environment` and waits until it answers on the bus.
bool startTolvane(QProcess& tolvane, const QProcessEnvironment& environment)
{
    tolvane.setProcessEnvironment(environment);
    tolvane.start(QStringLiteral(TOLVANE_BINARY), QStringList());
    return QTest::qWaitFor(tolvaneOnTheBus, 10000);
}

// The same under `home`, its standard error passed on.
bool startTolvane(QProcess& tolvane, const QString& home)
{
    tolvane.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    return startTolvane(tolvane, environmentUnder(home));
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
    // A later launch hands over to the running one, which opens its settings, and ends.
    void secondLaunchOpensTheSettingsOfTheFirst()
    {
        QTemporaryDir home;
        const QProcessEnvironment environment = environmentUnder(home.path());
        QProcess first;
        QVERIFY(startTolvane(first, environment));
        QCOMPARE(windowsOf(first.processId()), 0);

        QProcess second;
        second.setProcessEnvironment(environment);
        second.start(QStringLiteral(TOLVANE_BINARY), QStringList());
        QVERIFY(second.waitForFinished(5000));
        QCOMPARE(second.exitCode(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(windowsOf(first.processId()), 1, 5000);
        QVERIFY(quitTolvane(first));
    }

    // A first copy that is stopped holds on to being Tolvane: a later launch
    // says so on standard error, ends with a failure and changes nothing.
    void stoppedFirstCopyKeepsALaterLaunchOut()
    {
        QTemporaryDir home;
        writeRules(home.path());
        const QProcessEnvironment environment = environmentUnder(home.path());
        QProcess first;
        QVERIFY(startTolvane(first, environment));
        QTest::qWait(500);
        ::kill(pid_t(first.processId()), SIGSTOP);
        const QByteArray before = readFile(rulesFile(home.path()));

        QProcess second;
        second.setProcessEnvironment(environment);
        second.start(QStringLiteral(TOLVANE_BINARY), QStringList());
        QVERIFY(second.waitForFinished(30000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QVERIFY(second.exitCode() != 0);
        const QString said = QString::fromLocal8Bit(second.readAllStandardError());
        QVERIFY2(said.contains(QStringLiteral("Tolvane is already running but does not respond; end that process, then "
                                              "start Tolvane again.")),
                 qPrintable(said));
        QCOMPARE(readFile(rulesFile(home.path())), before);
        QCOMPARE(rulesIn(home.path())->size(), 2);

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
        for (int i = 0; i < 20; ++i) {
            launches.push_back(std::make_unique<QProcess>());
            launches.back()->setProcessEnvironment(environment);
        }
        for (auto& launch : launches)
            launch->start(QStringLiteral(TOLVANE_BINARY), QStringList());
        int running = 20;
        QTRY_VERIFY_WITH_TIMEOUT(
            (running = int(std::count_if(launches.begin(), launches.end(),
                                         [](const auto& p) { return p->state() != QProcess::NotRunning; })))
                <= 1,
            60000);
        QTest::qWait(1000);
        QCOMPARE(running, 1);
        QCOMPARE(int(std::count_if(launches.begin(), launches.end(),
                                   [](const auto& p) { return p->state() != QProcess::NotRunning; })),
                 1);
        QVERIFY(tolvaneOnTheBus());
        const auto rules = rulesIn(home.path());
        QVERIFY(rules);
        QCOMPARE(RulesCodec::encode(*rules), written);
        for (auto& launch : launches) {
            launch->terminate();
            launch->waitForFinished(5000);
        }
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

        QProcess trayer;
        StatusNotifierWatcherStandIn watcher;
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (statusNotifier) {
            QVERIFY(bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), &watcher,
                                       QDBusConnection::ExportAllContents));
            QVERIFY(bus.registerService(QStringLiteral("org.kde.StatusNotifierWatcher")));
            QTRY_COMPARE_WITH_TIMEOUT(watcher.items.size(), 1, 10000);
            bus.unregisterService(QStringLiteral("org.kde.StatusNotifierWatcher"));
            bus.unregisterObject(QStringLiteral("/StatusNotifierWatcher"));
        } else {
            trayer.start(QStringLiteral("trayer"),
                         {QStringLiteral("--edge"), QStringLiteral("top"), QStringLiteral("--align"),
                          QStringLiteral("right"), QStringLiteral("--widthtype"), QStringLiteral("request")});
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

    // Started offline and ended by a signal as Quit ends it, the binary leaves
    // its launch signal and, after half a second, the session start in the
    // analytics cache.
    void terminationSignalsQuitCleanly()
    {
        QFETCH(int, signalNumber);
        QTemporaryDir home;
        const QString cacheFile = analyticsQueue(home);
        QProcess tolvane; // its destructor kills it should the test fail
        QVERIFY(startTolvane(tolvane, home.path()));
        QTest::qWait(1500);
        QVERIFY(!QFile::exists(cacheFile));

        ::kill(static_cast<pid_t>(tolvane.processId()), signalNumber);
        QVERIFY(tolvane.waitForFinished(5000));
        QCOMPARE(tolvane.exitStatus(), QProcess::NormalExit);
        QCOMPARE(tolvane.exitCode(), 0);
        // The name is released with the process.
        QVERIFY(!tolvaneOnTheBus());
        if (!UsageStatisticsManager::isAvailable()) {
            QVERIFY(!QFile::exists(cacheFile)); // nothing of analytics is written
            return;
        }
        QFile cache(cacheFile);
        QVERIFY(cache.open(QIODevice::ReadOnly));
        const QByteArray records = cache.readAll();
        QVERIFY2(records.contains("\"TelemetryDeck.Session.started\""), records.constData());
        QCOMPARE(records.count("\"appLaunched\""), 1);
    }

    // The user's choice and the environment decide whether anything is sent. Shared: the
    // queue is uploaded (here: refused by the proxy) and kept, but with no window active no
    // session time is counted. Silenced: nothing leaves, the queue is deleted and no session
    // statistics are written.
    void usageStatisticsFollowTheUsersChoice_data()
    {
        QTest::addColumn<QString>("variable");
        QTest::addColumn<bool>("turnedOff");
        QTest::addColumn<bool>("shares");
        QTest::newRow("shared by default") << QString() << false << true;
        QTest::newRow("turned off in the settings") << QString() << true << false;
        QTest::newRow("DO_NOT_TRACK=1") << QStringLiteral("DO_NOT_TRACK") << false << false;
        QTest::newRow("preview variable") << QStringLiteral("XCODE_RUNNING_FOR_PREVIEWS") << false << false;
    }

    void usageStatisticsFollowTheUsersChoice()
    {
        QFETCH(QString, variable);
        QFETCH(bool, turnedOff);
        QFETCH(bool, shares);
        shares = shares && UsageStatisticsManager::isAvailable(); // a build without analytics never shares
        QTemporaryDir home;
        const QString cacheFile = analyticsQueue(home);
        leaveQueuedRecords(cacheFile);
        if (turnedOff) {
            QDir(home.path()).mkpath(QStringLiteral("config/kelvora"));
            QFile preferences(home.filePath(QStringLiteral("config/kelvora/Tolvane.conf")));
            QVERIFY(preferences.open(QIODevice::WriteOnly));
            preferences.write("[General]\n" + UsageStatisticsManager::sharingKey().toUtf8() + "=false\n");
        }
        RefusingProxy proxy;
        QProcessEnvironment environment = environmentUnder(home.path());
        environment.insert(QStringLiteral("https_proxy"), proxy.url().toString());
        if (!variable.isEmpty())
            environment.insert(variable, QStringLiteral("1"));
        QProcess tolvane;
        QVERIFY(startTolvane(tolvane, environment));
        QTest::qWait(2500); // the first session begins after half a second
        QVERIFY(quitTolvane(tolvane));

        const QStringList suites = QDir(home.filePath(QStringLiteral("config")))
                                       .entryList({QStringLiteral("com.telemetrydeck.*")}, QDir::Files);
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
        QVERIFY(!readFile(home.filePath(QStringLiteral("config/") + suites.constFirst())).contains("recentSessions"));
    }

    // Records loaded from the cache file stay in it until they are delivered: a kill -9
    // while the uploads fail loses none of them.
    void analyticsQueueSurvivesKill9()
    {
        if (!UsageStatisticsManager::isAvailable())
            QSKIP("built without analytics");
        QTemporaryDir home;
        const QString cacheFile = analyticsQueue(home);
        leaveQueuedRecords(cacheFile);
        RefusingProxy proxy;
        QProcessEnvironment environment = environmentUnder(home.path());
        environment.insert(QStringLiteral("https_proxy"), proxy.url().toString());
        QProcess tolvane;
        tolvane.setProcessEnvironment(environment);
        tolvane.start(QStringLiteral(TOLVANE_BINARY), QStringList());
        QTRY_VERIFY_WITH_TIMEOUT(proxy.connections() > 0, 10000); // the first upload failed
        QTest::qWait(300);
        tolvane.kill();
        QVERIFY(tolvane.waitForFinished(5000));
        QCOMPARE(readFile(cacheFile).count("\"earlier-"), 3);
    }

    // An application without a rule gets back the source last used in it,
    // also after a restart, while the setting asks for it.
    void remembersTheSourceOfAnApplicationWithoutRule()
    {
        auto x11 = X11Platform::create();
        QVERIFY(x11);
        InputSourceProvider* sources = x11->inputSourceProvider();
        const auto current = [sources] {
            const auto source = sources->currentInputSource();
            return source && source->id ? *source->id : QString();
        };
        QTemporaryDir home;
        const QString settings = home.filePath(QStringLiteral("config/kelvora/Tolvane.conf"));
        QVERIFY(writeFile(settings, "[General]\ndefaultInputSourceID=xkb:us\nrememberLastInputSource=true\n"));
        writeRules(home.path(), {ruleFor("MemoryB", "xkb:ru")});
        TestWindow a(QStringLiteral("MemoryA"));
        TestWindow b(QStringLiteral("MemoryB"));
        QVERIFY(a.isValid() && b.isValid() && a.activate());
        QVERIFY(sources->selectInputSource(QStringLiteral("xkb:ru")));

        // A is new: it gets the default.
        QProcess tolvane;
        QVERIFY(startTolvane(tolvane, home.path()));
        QTRY_COMPARE(current(), QStringLiteral("xkb:us"));
        // The user's layout hotkey, in A.
        QVERIFY(TestWindow::lockGroupElsewhere(1));
        QTRY_COMPARE(current(), QStringLiteral("xkb:de"));
        QVERIFY(b.activate());
        QTRY_COMPARE(current(), QStringLiteral("xkb:ru"));
        QVERIFY(a.activate());
        QTRY_COMPARE(current(), QStringLiteral("xkb:de"));

        // Quit at once, well within the write delay, and start again with A in front.
        QVERIFY(quitTolvane(tolvane));
        QVERIFY(sources->selectInputSource(QStringLiteral("xkb:us")));
        QTRY_COMPARE(current(), QStringLiteral("xkb:us"));
        QVERIFY(startTolvane(tolvane, home.path()));
        QTRY_COMPARE(current(), QStringLiteral("xkb:de"));
        QVERIFY(quitTolvane(tolvane));

        // Set to the default input source, A gets it as before.
        QVERIFY(writeFile(settings, "[General]\ndefaultInputSourceID=xkb:us\nrememberLastInputSource=false\n"));
        QVERIFY(startTolvane(tolvane, home.path()));
        QTRY_COMPARE(current(), QStringLiteral("xkb:us"));
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
        QVERIFY(sources->selectInputSource(QStringLiteral("xkb:us")));

        QProcessEnvironment environment = environmentUnder(home.path());
        environment.insert(QStringLiteral("XDG_SESSION_TYPE"), QStringLiteral("wayland"));
        environment.insert(QStringLiteral("WAYLAND_DISPLAY"), QStringLiteral("wayland-tolvane-test"));
        environment.insert(QStringLiteral("XDG_CURRENT_DESKTOP"), QStringLiteral("Weston"));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        environment.insert(QStringLiteral("TOLVANE_LOG_STDERR"), QStringLiteral("1"));
        QProcess tolvane;
        QVERIFY(startTolvane(tolvane, environment));
        QProcess status;
        status.setProcessEnvironment(environment);
        status.start(QStringLiteral(TOLVANE_BINARY), {QStringLiteral("--status")});
        QVERIFY(status.waitForFinished(10000));
        QVERIFY2(status.readAllStandardOutput().contains("backend: none"), "the running copy reports a backend");
        QTest::qWait(500);
        QCOMPARE(sources->currentInputSource().value_or(InputSourceProperties{}).id.value_or(QString()),
                 QStringLiteral("xkb:us"));
        QVERIFY(quitTolvane(tolvane));
        const QByteArray log = tolvane.readAllStandardError();
        QVERIFY2(log.contains("No platform backend: Wayland session") && log.contains("X11 is not used")
                     && log.contains("XDG_CURRENT_DESKTOP=Weston"),
                 log.constData());
    }
};

TOLVANE_TEST_GUILESS_MAIN(TolvaneProcessTest)
#include "TolvaneProcessTest.moc"
