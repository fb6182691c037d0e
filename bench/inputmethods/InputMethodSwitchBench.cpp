// inputmethods_bench [switches]
//
// Activation-to-switch latency with fcitx5 as the provider, on a real X server
// with a window manager (run it under scripts/with-desktop). Three windows,
// each with its own fcitx5 input context, are activated in turn; the rules
// are rotated every round so that each switch really changes the input method
// of the window that comes to the front. Measured: from the moment Tolvane
// sees the window manager's _NET_ACTIVE_WINDOW change to the moment fcitx5
// tells the activated application its new input method (both on
// CLOCK_MONOTONIC). Prints p50, p99 and max, and the switches that did not
// arrive within two seconds.
#include "core/InputSourceManager.h"
#include "core/RuleEngine.h"
#include "core/RulesStore.h"
#include "core/WindowWatcher.h"
#include "platform/x11/X11Platform.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>
#include <vector>

namespace {

qint64 nowMicroseconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}

bool run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished(10000) && process.exitCode() == 0;
}

struct Window {
    QString className;
    std::unique_ptr<QProcess> process;
    unsigned long id = 0;
    QList<std::pair<qint64, QString>> reports; // (monotonic us, input method name)
};

bool waitFor(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 20);
    }
    return true;
}

double percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    const size_t index = std::min(values.size() - 1, size_t(p * double(values.size() - 1) + 0.5));
    return values[index];
}

} // namespace

int main(int argc, char** argv)
{
    // fcitx5 and Tolvane get a configuration of their own, not the user's.
    static QTemporaryDir home(QDir::tempPath() + QStringLiteral("/tolvane-bench-XXXXXX"));
    qputenv("XDG_CONFIG_HOME", home.path().toUtf8() + "/config");
    qputenv("XDG_DATA_HOME", home.path().toUtf8() + "/data");
    qputenv("XDG_CACHE_HOME", home.path().toUtf8() + "/cache");
    QCoreApplication app(argc, argv);
    const int switches = argc > 1 ? std::max(3, atoi(argv[1])) : 300;

    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::fprintf(stderr, "inputmethods_bench: needs an X display (run it under scripts/with-desktop)\n");
        return 1;
    }
    QDir().mkpath(home.path() + QStringLiteral("/config/fcitx5"));
    QFile profile(home.path() + QStringLiteral("/config/fcitx5/profile"));
    profile.open(QIODevice::WriteOnly);
    profile.write("[Groups/0]\nName=Default\nDefault Layout=us\nDefaultIM=keyboard-us\n\n"
                  "[Groups/0/Items/0]\nName=keyboard-us\nLayout=\n\n[Groups/0/Items/1]\nName=keyboard-de\nLayout=\n\n"
                  "[Groups/0/Items/2]\nName=pinyin\nLayout=\n\n[GroupOrder]\n0=Default\n");
    profile.close();

    QProcess fcitx;
    fcitx.start(QStringLiteral("fcitx5"), {QStringLiteral("--replace")});
    if (!fcitx.waitForStarted(5000)) {
        std::fprintf(stderr, "inputmethods_bench: fcitx5 could not be started\n");
        return 1;
    }
    auto platform = X11Platform::create();
    InputSourceProvider* provider = platform->inputSourceProvider();
    if (!waitFor([&] { return provider->providerName() == QLatin1String("fcitx5"); }, 10000)) {
        std::fprintf(stderr, "inputmethods_bench: fcitx5 did not come up on the session bus\n");
        return 1;
    }

    std::vector<Window> windows(3);
    const QStringList classes{QStringLiteral("BenchOne"), QStringLiteral("BenchTwo"), QStringLiteral("BenchThree")};
    for (int i = 0; i < 3; ++i) {
        Window& window = windows[size_t(i)];
        window.className = classes[i];
        window.process = std::make_unique<QProcess>();
        window.process->start(
            QStringLiteral(TOLVANE_IM_CLIENT),
            {QStringLiteral("--framework"), QStringLiteral("fcitx5"), QStringLiteral("--class"), window.className});
        QObject::connect(window.process.get(), &QProcess::readyReadStandardOutput, [&window] {
            while (window.process->canReadLine()) {
                const QByteArray line = window.process->readLine().trimmed();
                if (line.startsWith("window "))
                    window.id = line.mid(7).toULong(nullptr, 16);
                else if (line.startsWith("im ")) {
                    const QList<QByteArray> parts = line.split(' ');
                    if (parts.size() >= 3)
                        window.reports.append({parts[1].toLongLong(),
                                               QString::fromUtf8(line.mid(parts[0].size() + parts[1].size() + 2))});
                }
            }
        });
    }
    if (!waitFor([&] { return std::all_of(windows.begin(), windows.end(), [](const Window& w) { return w.id != 0; }); },
                 5000)) {
        std::fprintf(stderr, "inputmethods_bench: the application windows did not appear\n");
        return 1;
    }
    QElapsedTimer settle;
    settle.start();
    waitFor([&] { return settle.elapsed() > 500; }, 1000);

    // Connected before the watcher, so that it runs first: the moment Tolvane
    // learns of the activation, before the rule engine acts on it.
    qint64 activationSeen = 0;
    QObject::connect(platform->applicationSource(), &ApplicationSource::applicationActivated,
                     [&activationSeen](const RunningApplication&) { activationSeen = nowMicroseconds(); });
    InputSourceManager manager(provider);
    WindowWatcher watcher(platform->applicationSource());
    RulesStore store;
    RuleEngine engine(manager, watcher, store, RuleEngine::Feedback{});

    const QStringList targets{QStringLiteral("keyboard-de"), QStringLiteral("pinyin"), QStringLiteral("keyboard-us")};
    const QStringList targetNames{QStringLiteral("Keyboard - German"), QStringLiteral("Pinyin"),
                                  QStringLiteral("Keyboard - English (US)")};
    std::vector<double> latenciesMs;
    int missed = 0;
    int alreadyCurrent = 0;
    int notActivated = 0; // the window manager did not activate the window: no measurement
    for (int n = 0; n < switches; ++n) {
        const int round = n / 3;
        const int index = n % 3;
        if (index == 0) {
            for (int i = 0; i < 3; ++i) {
                AppRule rule;
                rule.appBundleID = classes[i];
                rule.appName = classes[i];
                rule.targetInputSourceID = QStringLiteral("fcitx5:") + targets[(i + round) % 3];
                rule.isEnabled = true;
                engine.addRule(rule);
            }
        }
        Window& window = windows[size_t(index)];
        const QString expected = targetNames[(index + round) % 3];
        window.reports.clear();
        activationSeen = 0;
        run(QStringLiteral("xdotool"), {QStringLiteral("windowactivate"), QString::number(window.id)});
        const bool arrived = waitFor(
            [&] {
                return activationSeen != 0
                    && std::any_of(window.reports.cbegin(), window.reports.cend(), [&](const auto& report) {
                           return report.second == expected && report.first >= activationSeen;
                       });
            },
            2000);
        if (!arrived) {
            const bool hadIt = std::any_of(window.reports.cbegin(), window.reports.cend(),
                                           [&](const auto& report) { return report.second == expected; });
            if (activationSeen == 0)
                ++notActivated;
            else if (hadIt)
                ++alreadyCurrent; // announced on focus-in, before Tolvane saw the activation
            else
                ++missed;
            if (qEnvironmentVariableIsSet("TOLVANE_BENCH_VERBOSE")) {
                std::fprintf(stderr, "miss %d: %s expected %s, seen at %lld:", n, qPrintable(window.className),
                             qPrintable(expected), activationSeen);
                for (const auto& [at, name] : std::as_const(window.reports))
                    std::fprintf(stderr, " [%lld %s]", at, qPrintable(name));
                std::fprintf(stderr, "\n");
            }
            continue;
        }
        for (const auto& [at, name] : std::as_const(window.reports)) {
            if (name == expected && at >= activationSeen) {
                latenciesMs.push_back(double(at - activationSeen) / 1000.0);
                break;
            }
        }
    }

    if (latenciesMs.empty()) {
        std::printf("inputmethods_bench: no switch arrived (%d missed)\n", missed);
    } else {
        std::printf("fcitx5 activation-to-switch latency over %zu switches among 3 applications:\n",
                    latenciesMs.size());
        std::printf("  p50 %.3f ms\n  p99 %.3f ms\n  max %.3f ms\n", percentile(latenciesMs, 0.5),
                    percentile(latenciesMs, 0.99), *std::max_element(latenciesMs.begin(), latenciesMs.end()));
        std::printf("  activated but not switched within 2 s: %d\n", missed);
        std::printf("  window already had its target when focused (fcitx5 keeps one per window; not counted): %d\n",
                    alreadyCurrent);
        std::printf("  not activated by the window manager (not counted): %d\n", notActivated);
    }
    for (Window& window : windows) {
        window.process->kill();
        window.process->waitForFinished(2000);
    }
    fcitx.terminate();
    fcitx.waitForFinished(5000);
    return latenciesMs.empty() ? 1 : 0;
}
