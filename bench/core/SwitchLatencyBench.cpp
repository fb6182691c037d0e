// Activation-to-switch latency on the real X server: from the moment the
// window manager sets _NET_ACTIVE_WINDOW to the moment XKB reports the new
// group, measured by a separate X client in its own thread, over many
// switches among three applications whose rules name three layouts. Then the
// number of times the idle main loop wakes up while nothing happens.
//
//   switch_latency_bench [switches]       (needs DISPLAY with the layouts us,de,ru)
#include "core/InputSourceManager.h"
#include "core/RuleEngine.h"
#include "core/RulesStore.h"
#include "core/WindowWatcher.h"
#include "platform/x11/X11Platform.h"
#include "support/TestMain.h"
#include "support/TestWindow.h"

#include <QAbstractEventDispatcher>
#include <QFile>
#include <QGuiApplication>
#include <QThread>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <poll.h>

namespace {

using Clock = std::chrono::steady_clock;

struct Measurement {
    std::vector<double> latenciesMs;
    int missed = 0;
};

void requestActivation(Display* display, Window root, Window window)
{
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "_NET_ACTIVE_WINDOW", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = 2; // from a pager: honoured without focus-stealing checks
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
    XFlush(display);
}

// Waits for the WM's property change, then for XKB's group change; returns the gap.
std::optional<double> awaitSwitch(Display* display, int xkbEventType, Atom activeWindow)
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

Measurement measure(const std::vector<unsigned long>& windows, int switches)
{
    Measurement result;
    int xkbEventType = 0;
    int error = 0;
    int major = XkbMajorVersion;
    int minor = XkbMinorVersion;
    int reason = 0;
    Display* display = XkbOpenDisplay(nullptr, &xkbEventType, &error, &major, &minor, &reason);
    if (!display)
        return result;
    const Window root = DefaultRootWindow(display);
    const Atom activeWindow = XInternAtom(display, "_NET_ACTIVE_WINDOW", False);
    XkbSelectEventDetails(display, XkbUseCoreKbd, XkbStateNotify, XkbAllStateComponentsMask, XkbGroupLockMask);
    XSelectInput(display, root, PropertyChangeMask);
    XSync(display, False);

    for (int i = 0; i < switches; ++i) {
        requestActivation(display, root, windows[size_t(i) % windows.size()]);
        if (const auto latency = awaitSwitch(display, xkbEventType, activeWindow))
            result.latenciesMs.push_back(*latency);
        else
            ++result.missed;
    }
    XCloseDisplay(display);
    return result;
}

double percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[std::min(values.size() - 1, size_t(p * double(values.size())))];
}

} // namespace

int main(int argc, char** argv)
{
    XInitThreads();
    tolvane::test::isolateHome();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int switches = argc > 1 ? std::max(3, std::atoi(argv[1])) : 1200;

    auto platform = X11Platform::create();
    if (!platform) {
        std::fprintf(stderr, "switch_latency_bench: no X display\n");
        return 1;
    }
    TestWindow a(QStringLiteral("BenchAlpha"));
    TestWindow b(QStringLiteral("BenchBeta"));
    TestWindow c(QStringLiteral("BenchGamma"));
    if (!a.isValid() || !b.isValid() || !c.isValid()) {
        std::fprintf(stderr, "switch_latency_bench: test windows did not start\n");
        return 1;
    }

    QFile::remove(RuleEngine::rulesFileURL());
    InputSourceManager manager(platform->inputSourceProvider());
    WindowWatcher watcher(platform->applicationSource());
    RulesStore store;
    RuleEngine engine(manager, watcher, store, RuleEngine::Feedback{});
    const QStringList layouts = {QStringLiteral("xkb:us"), QStringLiteral("xkb:de"), QStringLiteral("xkb:ru")};
    const QStringList classes = {QStringLiteral("BenchAlpha"), QStringLiteral("BenchBeta"), QStringLiteral("BenchGamma")};
    for (int i = 0; i < 3; ++i) {
        AppRule rule;
        rule.appBundleID = classes[i];
        rule.appName = classes[i];
        rule.targetInputSourceID = layouts[i];
        engine.addRule(rule);
    }

    Measurement result;
    const std::vector<unsigned long> windows = {a.windowId(), b.windowId(), c.windowId()};
    QThread* observer = QThread::create([&] { result = measure(windows, switches); });
    QObject::connect(observer, &QThread::finished, &app, &QCoreApplication::quit);
    observer->start();
    app.exec();
    observer->wait();
    delete observer;

    std::printf("activation-to-switch latency over %zu switches among 3 applications (%d missed):\n",
                result.latenciesMs.size(), result.missed);
    std::printf("  p50 %.3f ms, p99 %.3f ms, max %.3f ms\n", percentile(result.latenciesMs, 0.50),
                percentile(result.latenciesMs, 0.99),
                result.latenciesMs.empty() ? 0.0 : *std::max_element(result.latenciesMs.begin(), result.latenciesMs.end()));

    // Idle: count the main loop's wake-ups over five quiet seconds.
    std::atomic<int> wakeups = 0;
    QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::awake, [&] { ++wakeups; });
    QTimer::singleShot(200, [&] { wakeups = 0; });
    QTimer::singleShot(5200, &app, &QCoreApplication::quit);
    app.exec();
    // The timer that ends the measurement wakes the loop once itself.
    std::printf("idle: %d main-loop wake-ups in 5 s with nothing happening (the closing timer accounts for 1)\n",
                int(wakeups));
    return result.latenciesMs.empty() ? 1 : 0;
}
