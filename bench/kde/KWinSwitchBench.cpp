// Switching on KDE Plasma, on a real headless KWin: Tolvane's KDE backend and
// rule engine side by side with the least a switcher can do over the same
// interfaces (a KWin script's activation call → setLayout(index) on
// org.kde.keyboard, written at once), driven in interleaved blocks in
// one run.
//
// Measured for each: from the activation call arriving from KWin to KWin's
// layoutChanged signal arriving, over activations cycling through three
// Wayland windows whose rules select us, de and de(neo).
//
//   kwin_switch_bench [activations]     (needs kwin_wayland; skips without it)
#include "support/KWinSession.h"
#include "support/TestMain.h"

#include "base/LogSink.h"
#include "base/Logger.h"
#include "core/InputSourceManager.h"
#include "core/RuleEngine.h"
#include "core/RulesStore.h"
#include "core/WindowWatcher.h"
#include "platform/freedesktop/DesktopEntryIndex.h"
#include "platform/freedesktop/XkbRegistry.h"
#include "platform/kde/KWinActivationScript.h"
#include "platform/kde/KWinApplicationSource.h"
#include "platform/kde/KdeKeyboardLayoutProvider.h"
#include "platform/kde/KxkbConfig.h"

#include <QDBusMessage>
#include <QElapsedTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace {

using Clock = std::chrono::steady_clock;
using tolvane::test::KWinSession;

constexpr int kBlock = 50;
const QStringList kApps = {QStringLiteral("org.kelvora.BenchAlpha"), QStringLiteral("org.kelvora.BenchBeta"),
                           QStringLiteral("org.kelvora.BenchGamma")};
const QStringList kLayouts = {QStringLiteral("xkb:us"), QStringLiteral("xkb:de"), QStringLiteral("xkb:de(neo)")};

// Catches KWin's layoutChanged, the end of every measured switch.
class LayoutWatch : public QObject {
    Q_OBJECT
public:
    explicit LayoutWatch(QDBusConnection bus)
    {
        bus.connect(QStringLiteral("org.kde.keyboard"), QStringLiteral("/Layouts"),
                    QStringLiteral("org.kde.KeyboardLayouts"), QStringLiteral("layoutChanged"), this,
                    SLOT(changed(uint)));
    }
    std::optional<Clock::time_point> at;
    uint index = 0;

public Q_SLOTS:
    void changed(uint newIndex)
    {
        at = Clock::now();
        index = newIndex;
    }
};

// The floor: the activation call straight to an index, one message out,
// written at once as Tolvane's call is (a plain send would wait for QtDBus's
// own thread to write it).
class FloorSwitcher : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.kelvora.Tolvane.KWinScript")
public:
    explicit FloorSwitcher(QDBusConnection bus)
        : m_bus(bus)
    {
    }
    std::optional<Clock::time_point> received;

public Q_SLOTS:
    Q_SCRIPTABLE void WindowActivated(const QString&, const QString&, const QString&, const QString& appId,
                                      const QString&, const QString&, const QString&)
    {
        const qsizetype index = kApps.indexOf(appId);
        if (index < 0)
            return;
        received = Clock::now();
        QDBusMessage message =
            QDBusMessage::createMethodCall(QStringLiteral("org.kde.keyboard"), QStringLiteral("/Layouts"),
                                           QStringLiteral("org.kde.KeyboardLayouts"), QStringLiteral("setLayout"));
        message << uint(index);
        m_bus.call(message);
    }
    Q_SCRIPTABLE void WindowAdded(const QString&, const QString&, const QString&, const QString&, const QString&,
                                  const QString&, const QString&)
    {
    }
    Q_SCRIPTABLE void WindowRemoved(const QString&) { }

private:
    QDBusConnection m_bus;
};

// The engine logs every switch; the figures are the output here.
class DiscardingLogSink : public LogSink {
public:
    void write(Level, const QString&, const QString&, const QString&) override { }
};

double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t at = std::min(values.size() - 1, size_t(p * double(values.size() - 1) + 0.5));
    return values[at];
}

struct Series {
    std::vector<double> ms;
    int missed = 0;
};

} // namespace

class KWinSwitchBench : public QObject {
    Q_OBJECT
public:
    int run(int activations);

private:
    bool measure(qint64 pid, uint expected, const std::function<std::optional<Clock::time_point>()>& received,
                 Series& into);

    std::unique_ptr<KWinSession> m_kwin;
    std::unique_ptr<LayoutWatch> m_watch;
};

bool KWinSwitchBench::measure(qint64 pid, uint expected,
                              const std::function<std::optional<Clock::time_point>()>& received, Series& into)
{
    m_watch->at.reset();
    if (!m_kwin->activate(pid))
        return false;
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 3000 && !(m_watch->at && m_watch->index == expected && received()))
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    const auto start = received();
    if (!m_watch->at || m_watch->index != expected || !start) {
        ++into.missed;
        return true;
    }
    into.ms.push_back(std::chrono::duration<double, std::milli>(*m_watch->at - *start).count());
    return true;
}

int KWinSwitchBench::run(int activations)
{
    if (!KWinSession::isAvailable()) {
        std::printf("kwin_wayland is not installed: skipped\n");
        return 0;
    }
    m_kwin = std::make_unique<KWinSession>();
    if (!m_kwin->isRunning()) {
        std::printf("KWin did not start: %s\n", qPrintable(m_kwin->error()));
        return 1;
    }
    QDBusConnection bus = m_kwin->bus();
    m_watch = std::make_unique<LayoutWatch>(bus);
    QList<qint64> windows;
    for (const QString& app : kApps)
        windows.append(m_kwin->openWindow(app, QStringLiteral("wayland")));
    if (windows.contains(0)) {
        std::printf("The GTK windows did not open\n");
        return 1;
    }

    // Tolvane: the backend and the rule engine as the application builds them.
    DesktopEntryIndex entries(QStringList{m_kwin->path(QStringLiteral("applications"))});
    KWinApplicationSource source(bus, entries, m_kwin->path(QStringLiteral("run/tolvane.js")));
    std::optional<Clock::time_point> tolvaneReceived;
    // Connected before the watcher's connection, so it runs first.
    QObject::connect(&source, &ApplicationSource::applicationActivated, &source,
                     [&](const RunningApplication&) { tolvaneReceived = Clock::now(); });
    KdeKeyboardLayoutProvider layouts(bus, XkbRegistry::system(), [this] {
        QFile file(m_kwin->kxkbrcPath());
        file.open(QIODevice::ReadOnly);
        return KxkbConfig::parse({file.readAll()});
    });
    InputSourceManager manager(&layouts);
    WindowWatcher watcher(&source);
    RulesStore store(m_kwin->path(QStringLiteral("rules.json")));
    RuleEngine engine(manager, watcher, store, RuleEngine::Feedback{});
    for (int i = 0; i < kApps.size(); ++i) {
        AppRule rule;
        rule.appBundleID = kApps[i];
        rule.appName = kApps[i];
        rule.targetInputSourceID = kLayouts[i];
        engine.addRule(rule);
    }

    FloorSwitcher floor(bus);
    const QString floorPath = QStringLiteral("/bench/Floor");
    bus.registerObject(floorPath, &floor, QDBusConnection::ExportScriptableSlots);
    KWinActivationScript floorScript(bus, floorPath, QStringLiteral("com.kelvora.Tolvane.KWinScript"));

    Series tolvane, least;
    int next = 0;
    for (int done = 0; done < activations; done += kBlock) {
        for (const bool isTolvane : {true, false}) {
            // One script at a time, as one switcher would run.
            if (isTolvane) {
                floorScript.unload();
                if (!source.start())
                    return 1;
            } else {
                source.stop();
                if (!floorScript.load(m_kwin->path(QStringLiteral("run/floor.js"))))
                    return 1;
            }
            QTest::qWait(100);
            for (int i = 0; i < kBlock; ++i) {
                const int app = (next++) % int(kApps.size());
                Series& into = isTolvane ? tolvane : least;
                auto& received = isTolvane ? tolvaneReceived : floor.received;
                received.reset();
                if (!measure(
                        windows[app], uint(app), [&] { return received; }, into))
                    return 1;
            }
        }
    }
    source.stop();
    floorScript.unload();

    std::printf("activation received -> layoutChanged, %d activations each, interleaved blocks of %d\n", activations,
                kBlock);
    std::printf("%-22s %10s %10s %10s %8s\n", "", "median ms", "p90 ms", "p99 ms", "missed");
    for (const auto& [name, series] : {std::pair{"minimal switcher", &least}, std::pair{"Tolvane", &tolvane}})
        std::printf("%-22s %10.3f %10.3f %10.3f %8d\n", name, percentile(series->ms, 0.5), percentile(series->ms, 0.9),
                    percentile(series->ms, 0.99), series->missed);
    const double medianRatio = percentile(tolvane.ms, 0.5) / std::max(1e-9, percentile(least.ms, 0.5));
    const double p99Ratio = percentile(tolvane.ms, 0.99) / std::max(1e-9, percentile(least.ms, 0.99));
    std::printf("Tolvane / minimal: median %.2fx, p99 %.2fx (target: within 1.2x)\n", medianRatio, p99Ratio);
    return 0;
}

int main(int argc, char** argv)
{
    tolvane::test::isolateHome();
    QCoreApplication app(argc, argv);
    DiscardingLogSink quiet;
    Logger::shared().setSink(&quiet);
    const int activations = argc > 1 ? std::max(kBlock, QString::fromLocal8Bit(argv[1]).toInt()) : 600;
    int status = 0;
    {
        KWinSwitchBench bench;
        status = bench.run(activations);
    }
    Logger::shared().setSink(nullptr);
    return status;
}

#include "KWinSwitchBench.moc"
