// Switching at the floor, on the real X server: Tolvane (the real binary)
// side by side with the least a switcher can do (floor-switcher: the active
// window's WM_CLASS to an XKB group), driven from one run in interleaved blocks.
//
// 1. Latency: from a pager's activation request (a _NET_ACTIVE_WINDOW client
//    message) through the window manager's property change to XKB reporting
//    the new group, over many switches among three applications (us, de, ru).
//    Each request waits until the previous switch has settled (15 ms unless
//    told), as a person changing windows does: back to back (0), a switcher's
//    reaction to the last switch (tray, indicator, sound) counts as latency.
// 2. First keystroke: two windows with rules to us and de; after each
//    activation request one physical key (AD06: "y" in us, "z" in de) is
//    pressed through XTest 0, 3 or 10 ms later; a letter is right when it
//    reaches the activated window in the rule's layout.
// 3. Idle: how often an idle engine's main loop wakes up.
//
//   switch_latency_bench [activations [settle-ms]]     (needs DISPLAY with the layouts us,de,ru)
#include "core/InputSourceManager.h"
#include "core/RuleEngine.h"
#include "core/RulesCodec.h"
#include "core/RulesStore.h"
#include "core/WindowWatcher.h"
#include "platform/x11/X11Platform.h"
#include "support/TestMain.h"

#include <QAbstractEventDispatcher>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <map>
#include <poll.h>

namespace {

using Clock = std::chrono::steady_clock;

// Short turns, so that a burst of load from elsewhere on this shared machine
// falls on both switchers alike rather than on one turn of one of them.
constexpr int kBlock = 20;
const QStringList kClasses = {QStringLiteral("BenchAlpha"), QStringLiteral("BenchBeta"), QStringLiteral("BenchGamma")};
const QStringList kLayouts = {QStringLiteral("xkb:us"), QStringLiteral("xkb:de"), QStringLiteral("xkb:ru")};

// A plain X window in its own process that reports the key presses it gets.
struct BenchWindow {
    explicit BenchWindow(const QString& className)
    {
        process.start(QStringLiteral(TOLVANE_TEST_WINDOW), {QStringLiteral("--class"), className});
        process.waitForStarted(5000);
        while (!process.canReadLine() && process.waitForReadyRead(5000)) { }
        const QByteArray line = process.readLine().trimmed();
        if (line.startsWith("window "))
            id = line.mid(7).toULong(nullptr, 16);
    }
    ~BenchWindow()
    {
        process.kill();
        process.waitForFinished(2000);
    }
    // The XKB group of the next key press this window reports, if one comes in time.
    std::optional<int> nextKeyGroup(int timeoutMs)
    {
        if (!process.canReadLine())
            process.waitForReadyRead(timeoutMs);
        while (process.canReadLine()) {
            const QList<QByteArray> fields = process.readLine().trimmed().split(' ');
            if (fields.size() == 3 && fields[0] == "key")
                return int((fields[2].toUInt() >> 13) & 3);
        }
        return std::nullopt;
    }
    void discardOutput() { process.readAllStandardOutput(); }

    QProcess process;
    unsigned long id = 0;
};

// A switcher under test, as a process of its own; stopped while the other one is measured.
struct Switcher {
    QString name;
    QProcess process;

    void pause() { ::kill(pid_t(process.processId()), SIGSTOP); }
    void resume()
    {
        ::kill(pid_t(process.processId()), SIGCONT);
        // Let it catch up with the activations it slept through.
        QThread::msleep(120);
    }
    ~Switcher()
    {
        process.kill();
        process.waitForFinished(2000);
    }
};

bool startFloor(Switcher& floor)
{
    floor.name = QStringLiteral("floor");
    QStringList arguments;
    for (int i = 0; i < kClasses.size(); ++i)
        arguments.append(kClasses[i] + QLatin1Char('=') + QString::number(i));
    floor.process.start(QStringLiteral(FLOOR_SWITCHER), arguments);
    return floor.process.waitForReadyRead(5000) && floor.process.readLine().trimmed() == "ready";
}

// Tolvane's log, kept where TOLVANE_BENCH_LOG says (by default in the bench's
// temporary home). A pipe that nobody reads while measuring would fill up and
// leave Tolvane blocked in its next log line.
QString tolvaneLogPath()
{
    return qEnvironmentVariable("TOLVANE_BENCH_LOG", QDir::homePath() + QStringLiteral("/tolvane.log"));
}

bool startTolvane(Switcher& tolvane)
{
    tolvane.name = QStringLiteral("Tolvane");
    QList<AppRule> rules;
    for (int i = 0; i < kClasses.size(); ++i) {
        AppRule rule;
        rule.appBundleID = kClasses[i];
        rule.appName = kClasses[i];
        rule.targetInputSourceID = kLayouts[i];
        rules.append(rule);
    }
    const QString rulesFile = RulesStore::standardPath();
    QFile file(rulesFile);
    if (!file.open(QIODevice::WriteOnly) || file.write(RulesCodec::encode(rules)) < 0)
        return false;
    file.close();

    const QString runtime = QDir::homePath() + QStringLiteral("/runtime");
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // This session has already been told there is no tray: no settings window takes the focus.
    QFile marker(runtime + QStringLiteral("/com.kelvora.Tolvane.no-tray-shown"));
    marker.open(QIODevice::WriteOnly);
    marker.close();

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    environment.insert(QStringLiteral("https_proxy"), QStringLiteral("http://127.0.0.1:9"));
    environment.insert(QStringLiteral("http_proxy"), QStringLiteral("http://127.0.0.1:9"));
    tolvane.process.setProcessEnvironment(environment);
    // Its log goes to a file: a pipe nobody reads while measuring would fill and stop it.
    tolvane.process.setProcessChannelMode(QProcess::MergedChannels);
    tolvane.process.setStandardOutputFile(tolvaneLogPath());
    tolvane.process.start(QStringLiteral(TOLVANE_BINARY), QStringList());
    const auto onTheBus = [] {
        return QDBusConnection::sessionBus()
            .interface()
            ->isServiceRegistered(QStringLiteral("com.kelvora.Tolvane"))
            .value();
    };
    for (int i = 0; i < 200 && !onTheBus(); ++i)
        QThread::msleep(50);
    QThread::msleep(1000); // the catalogue and the first switch
    return onTheBus();
}

struct XClient {
    Display* display = nullptr;
    Window root = 0;
    Atom activeWindow = 0;
    int xkbEventType = 0;

    bool open()
    {
        int error = 0, major = XkbMajorVersion, minor = XkbMinorVersion, reason = 0;
        display = XkbOpenDisplay(nullptr, &xkbEventType, &error, &major, &minor, &reason);
        if (!display)
            return false;
        root = DefaultRootWindow(display);
        activeWindow = XInternAtom(display, "_NET_ACTIVE_WINDOW", False);
        XkbSelectEventDetails(display, XkbUseCoreKbd, XkbStateNotify, XkbAllStateComponentsMask, XkbGroupLockMask);
        XSelectInput(display, root, PropertyChangeMask);
        XSync(display, False);
        return true;
    }
    ~XClient()
    {
        if (display)
            XCloseDisplay(display);
    }

    void requestActivation(Window window)
    {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = activeWindow;
        event.xclient.format = 32;
        event.xclient.data.l[0] = 2; // from a pager: honoured without focus-stealing checks
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(display, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
        XFlush(display);
    }

    int lockedGroup()
    {
        XkbStateRec state;
        XkbGetState(display, XkbUseCoreKbd, &state);
        return state.locked_group;
    }

    void drain()
    {
        XSync(display, False);
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
        }
    }

    // Waits for the window manager's property change, then for XKB's group change; returns the gap.
    std::optional<double> awaitSwitch()
    {
        std::optional<Clock::time_point> activated;
        const auto deadline = Clock::now() + std::chrono::seconds(1);
        while (Clock::now() < deadline) {
            if (XPending(display) == 0) {
                pollfd fd{ConnectionNumber(display), POLLIN, 0};
                poll(&fd, 1, 50);
                continue;
            }
            XEvent event;
            XNextEvent(display, &event);
            const auto now = Clock::now();
            if (event.type == PropertyNotify && event.xproperty.atom == activeWindow && !activated) {
                activated = now;
            } else if (event.type == xkbEventType && activated) {
                const auto& xkb = reinterpret_cast<const XkbEvent&>(event);
                if (xkb.any.xkb_type == XkbStateNotify && (xkb.state.changed & XkbGroupLockMask))
                    return std::chrono::duration<double, std::milli>(now - *activated).count();
            }
        }
        return std::nullopt;
    }

    bool awaitGroup(int group, int timeoutMs)
    {
        for (int waited = 0; waited < timeoutMs; waited += 2) {
            if (lockedGroup() == group)
                return true;
            QThread::msleep(2);
        }
        return false;
    }
};

double percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[std::min(values.size() - 1, size_t(p * double(values.size())))];
}

void sleepMs(int ms)
{
    if (ms <= 0)
        return;
    timespec until{};
    clock_gettime(CLOCK_MONOTONIC, &until);
    until.tv_nsec += long(ms) * 1000000L;
    until.tv_sec += until.tv_nsec / 1000000000L;
    until.tv_nsec %= 1000000000L;
    clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr);
}

struct Latency {
    std::vector<double> ms;
    int missed = 0;
};

void measureLatency(XClient& x, const std::vector<BenchWindow*>& windows, int activations, int settleMs,
                    std::vector<Switcher*> switchers, std::map<QString, Latency>& results)
{
    // Counted across the blocks of both switchers, so that every request,
    // a block's first included, asks for another window than the one in front.
    size_t sequence = 0;
    int done = 0;
    for (int block = 0; done < activations; ++block) {
        const int count = std::min(kBlock, activations - done);
        for (Switcher* switcher : switchers) {
            for (Switcher* other : switchers)
                other == switcher ? other->resume() : other->pause();
            x.drain();
            Latency& result = results[switcher->name];
            for (int i = 0; i < count; ++i) {
                sleepMs(settleMs);
                x.drain();
                // The next window always needs another group.
                x.requestActivation(windows[++sequence % windows.size()]->id);
                if (const auto latency = x.awaitSwitch())
                    result.ms.push_back(*latency);
                else
                    ++result.missed;
            }
        }
        done += count;
    }
}

// Right letters per switcher at one delay.
void measureFirstKeystroke(XClient& x, BenchWindow& us, BenchWindow& de, int delayMs, int presses,
                           std::vector<Switcher*> switchers, std::map<QString, int>& right)
{
    const KeyCode ad06 = XKeysymToKeycode(x.display, 'y'); // "y" of the us group is the key AD06
    for (int done = 0; done < presses; done += kBlock) {
        for (Switcher* switcher : switchers) {
            for (Switcher* other : switchers)
                other == switcher ? other->resume() : other->pause();
            for (int i = 0; i < std::min(kBlock, presses - done); ++i) {
                const bool toGerman = (i % 2) == 0;
                BenchWindow& target = toGerman ? de : us;
                BenchWindow& other = toGerman ? us : de;
                const int group = toGerman ? 1 : 0;
                us.discardOutput();
                de.discardOutput();
                x.requestActivation(target.id);
                sleepMs(delayMs);
                XTestFakeKeyEvent(x.display, ad06, True, CurrentTime);
                XTestFakeKeyEvent(x.display, ad06, False, CurrentTime);
                XFlush(x.display);
                if (target.nextKeyGroup(200) == group)
                    ++right[switcher->name];
                else
                    other.discardOutput();
                // Settled before the next activation: the switch done, the key handled.
                x.awaitGroup(group, 500);
                QThread::msleep(5);
            }
        }
    }
}

// What Tolvane's log says it did: one "[Match]" line per switch it made.
void printLogSummary()
{
    QFile log(tolvaneLogPath());
    if (!log.open(QIODevice::ReadOnly))
        return;
    int matches = 0;
    QList<QByteArray> errors;
    while (!log.atEnd()) {
        const QByteArray line = log.readLine().trimmed();
        if (line.contains("[Match]"))
            ++matches;
        else if (line.contains(" error: "))
            errors.append(line);
    }
    std::printf("\nTolvane's log: %d switches by rule, %d error lines%s\n", matches, int(errors.size()),
                qEnvironmentVariableIsSet("TOLVANE_BENCH_LOG")
                    ? qPrintable(QStringLiteral(" (") + log.fileName() + QLatin1Char(')'))
                    : "");
    for (const QByteArray& line : errors)
        std::printf("  %s\n", line.constData());
}

int idleWakeups(QGuiApplication& app)
{
    auto platform = X11Platform::create();
    if (!platform)
        return -1;
    InputSourceManager manager(platform->inputSourceProvider());
    WindowWatcher watcher(platform->applicationSource());
    RulesStore store;
    RuleEngine engine(manager, watcher, store, RuleEngine::Feedback{});
    std::atomic<int> wakeups = 0;
    QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::awake, [&] { ++wakeups; });
    QTimer::singleShot(200, [&] { wakeups = 0; });
    QTimer::singleShot(5200, &app, &QCoreApplication::quit);
    app.exec();
    return int(wakeups);
}

} // namespace

int main(int argc, char** argv)
{
    tolvane::test::isolateHome();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int activations = argc > 1 ? std::max(10, std::atoi(argv[1])) : 1000;
    const int settleMs = argc > 2 ? std::max(0, std::atoi(argv[2])) : 15;
    const int presses = std::max(10, activations / 5);

    XClient x;
    if (!x.open()) {
        std::fprintf(stderr, "switch_latency_bench: no X display\n");
        return 1;
    }
    BenchWindow alpha(kClasses[0]);
    BenchWindow beta(kClasses[1]);
    BenchWindow gamma(kClasses[2]);
    if (!alpha.id || !beta.id || !gamma.id) {
        std::fprintf(stderr, "switch_latency_bench: test windows did not start\n");
        return 1;
    }
    QThread::msleep(500); // mapped and managed

    Switcher floor;
    Switcher tolvane;
    if (!startFloor(floor) || !startTolvane(tolvane)) {
        QFile log(tolvaneLogPath());
        log.open(QIODevice::ReadOnly);
        std::fprintf(stderr, "switch_latency_bench: a switcher did not start\n%s\n", log.readAll().constData());
        return 1;
    }
    const std::vector<Switcher*> switchers{&floor, &tolvane};

    std::map<QString, Latency> latency;
    measureLatency(x, {&alpha, &beta, &gamma}, activations, settleMs, switchers, latency);
    const Latency& f = latency[floor.name];
    const Latency& t = latency[tolvane.name];
    std::printf("activation-to-switch latency, %d activations each among 3 applications, in alternating blocks of %d,\n"
                "each %d ms after the previous switch:\n",
                activations, kBlock, settleMs);
    std::printf("  %-9s %9s %9s %9s\n", "", "p50 ms", "p99 ms", "missed");
    std::printf("  %-9s %9.3f %9.3f %9d\n", "floor", percentile(f.ms, 0.5), percentile(f.ms, 0.99), f.missed);
    std::printf("  %-9s %9.3f %9.3f %9d\n", "Tolvane", percentile(t.ms, 0.5), percentile(t.ms, 0.99), t.missed);
    std::printf("  %-9s %8.2fx %8.2fx   (target: at most 1.10x)\n", "ratio",
                percentile(t.ms, 0.5) / std::max(1e-9, percentile(f.ms, 0.5)),
                percentile(t.ms, 0.99) / std::max(1e-9, percentile(f.ms, 0.99)));

    std::printf("\nfirst keystroke: AD06 pressed (XTest) after each activation request, %d activations per delay,\n"
                "alternating a window with a rule to us (\"y\") and one with a rule to de (\"z\"); right letters:\n",
                presses);
    std::printf("  %-8s %12s %12s\n", "delay", "floor", "Tolvane");
    for (const int delay : {0, 3, 10}) {
        std::map<QString, int> right;
        measureFirstKeystroke(x, alpha, beta, delay, presses, switchers, right);
        std::printf("  %2d ms    %5d (%5.1f%%) %5d (%5.1f%%)\n", delay, right[floor.name],
                    100.0 * right[floor.name] / presses, right[tolvane.name], 100.0 * right[tolvane.name] / presses);
    }
    std::fflush(stdout);
    floor.resume();
    tolvane.resume();
    floor.process.kill();
    tolvane.process.terminate();
    tolvane.process.waitForFinished(5000);
    printLogSummary();

    const int wakeups = idleWakeups(app);
    // The timer that ends the measurement wakes the loop once itself.
    std::printf("\nidle: %d main-loop wake-ups in 5 s with nothing happening (the closing timer accounts for 1)\n",
                wakeups);
    return t.ms.empty() || f.ms.empty() ? 1 : 0;
}
