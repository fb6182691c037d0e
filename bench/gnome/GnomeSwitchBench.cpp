// Switching on a real, headless GNOME Shell with Tolvane's extension:
// Tolvane's switching core (gnome-tolvane-host) side by side with the least a
// switcher can do over the same D-Bus interface (gnome-floor-switcher), in
// interleaved blocks, the other one stopped.
//
// Latency: from the Shell's FocusChanged to its CurrentInputSourceChanged for
// the rule's source, both as a third client of the bus receives them. The
// focus moves as windows open and close: a window of bench.alpha (rule: us)
// stays; windows of bench.beta (de) and bench.gamma (the IBus engine hangul)
// open in turn, take the focus, and close, which gives it back to alpha.
//
//   gnome_switch_bench [focus changes]
#include "support/TestMain.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <functional>
#include <map>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kBlock = 40;

struct Switcher {
    QString name;
    QProcess process;

    bool start(const QString& program, const QStringList& arguments)
    {
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(program, arguments);
        while (process.canReadLine() || process.waitForReadyRead(10000)) {
            if (process.readLine().trimmed() == "ready")
                return true;
        }
        return false;
    }
    void pause() { ::kill(pid_t(process.processId()), SIGSTOP); }
    void resume()
    {
        ::kill(pid_t(process.processId()), SIGCONT);
        QThread::msleep(200);
    }
    ~Switcher()
    {
        process.kill();
        process.waitForFinished(2000);
    }
};

} // namespace

// A third client of the bus that timestamps the Shell's signals as they arrive.
class Observer : public QObject {
    Q_OBJECT
public:
    QString focusedClass;
    Clock::time_point focusTime;
    int source = -1;
    Clock::time_point sourceTime;

    bool start()
    {
        auto bus = QDBusConnection::sessionBus();
        const QString service = QStringLiteral("com.kelvora.Tolvane.Shell");
        const QString path = QStringLiteral("/com/kelvora/Tolvane/Shell");
        const QString interface = QStringLiteral("com.kelvora.Tolvane.Shell1");
        return bus.connect(service, path, interface, QStringLiteral("FocusChanged"), this,
                           SLOT(focusChanged(QVariantMap)))
            && bus.connect(service, path, interface, QStringLiteral("CurrentInputSourceChanged"), this,
                           SLOT(sourceChanged(int)));
    }

public Q_SLOTS:
    void focusChanged(const QVariantMap& window)
    {
        focusTime = Clock::now();
        focusedClass = window.value(QStringLiteral("wmClass")).toString();
    }
    void sourceChanged(int index)
    {
        sourceTime = Clock::now();
        source = index;
    }
};

namespace {

bool waitUntil(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::usleep(200);
    }
    return true;
}

double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, size_t(p * double(values.size() - 1) + 0.5))];
}

std::unique_ptr<QProcess> openWindow(const QString& appId)
{
    auto window = std::make_unique<QProcess>();
    window->start(QStringLiteral(TOLVANE_WAYLAND_TEST_WINDOW), {QStringLiteral("--app-id"), appId});
    if (!window->waitForStarted(5000) || !window->waitForReadyRead(10000))
        return nullptr;
    return window;
}

void closeWindow(std::unique_ptr<QProcess>& window)
{
    window->closeWriteChannel();
    window->waitForFinished(3000);
    window.reset();
}

int runInsideGnomeShell(int argc, char** argv)
{
    QStringList arguments = {QStringLiteral("--extension"), QStringLiteral(TOLVANE_GNOME_EXTENSION_DIR),
                             QString::fromLocal8Bit(argv[0])};
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    QProcess harness;
    harness.setProcessChannelMode(QProcess::ForwardedOutputChannel);
    harness.setStandardErrorFile(QProcess::nullDevice());
    harness.start(QStringLiteral(TOLVANE_GNOME_SHELL_HARNESS), arguments);
    harness.waitForFinished(-1);
    return harness.exitCode();
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("TOLVANE_GNOME_SHELL_LOG")) {
        if (QStandardPaths::findExecutable(QStringLiteral("gnome-shell")).isEmpty()) {
            std::printf("GNOME Shell is not installed; nothing measured\n");
            return 0;
        }
        return runInsideGnomeShell(argc, argv);
    }
    tolvane::test::isolateHome();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QCoreApplication app(argc, argv);
    const int changes = argc > 1 ? std::max(2 * kBlock, atoi(argv[1])) : 400;

    Observer observer;
    if (!observer.start()) {
        std::fprintf(stderr, "the observer could not subscribe\n");
        return 1;
    }
    auto alpha = openWindow(QStringLiteral("bench.alpha"));
    if (!alpha || !waitUntil([&] { return observer.focusedClass == QLatin1String("bench.alpha"); }, 5000)) {
        std::fprintf(stderr, "the first window did not get the focus\n");
        return 1;
    }

    Switcher floor;
    floor.name = QStringLiteral("floor");
    Switcher tolvane;
    tolvane.name = QStringLiteral("Tolvane");
    if (!floor.start(QStringLiteral(GNOME_FLOOR_SWITCHER),
                     {QStringLiteral("bench.alpha=0"), QStringLiteral("bench.beta=1"), QStringLiteral("bench.gamma=2")})
        || !tolvane.start(QStringLiteral(GNOME_TOLVANE_HOST),
                          {QStringLiteral("bench.alpha=xkb:us"), QStringLiteral("bench.beta=xkb:de"),
                           QStringLiteral("bench.gamma=ibus:hangul")})) {
        std::fprintf(stderr, "a switcher did not start\n");
        return 1;
    }

    std::map<QString, std::vector<double>> latency;
    std::map<QString, int> missed;
    // One focus change and the switch it should cause.
    const auto measure = [&](Switcher& active, const QString& focused, int expected, const std::function<void()>& act) {
        act();
        const bool seen = waitUntil([&] { return observer.focusedClass == focused; }, 5000)
            && waitUntil([&] { return observer.source == expected && observer.sourceTime >= observer.focusTime; },
                         2000);
        if (!seen) {
            ++missed[active.name];
            return;
        }
        latency[active.name].push_back(
            std::chrono::duration<double, std::milli>(observer.sourceTime - observer.focusTime).count());
    };

    Switcher* switchers[] = {&floor, &tolvane};
    int step = 0;
    for (int done = 0; done < changes; done += kBlock) {
        for (Switcher* active : switchers) {
            Switcher* other = active == &floor ? &tolvane : &floor;
            other->pause();
            active->resume();
            for (int i = 0; i < kBlock / 2; ++i, ++step) {
                const bool beta = step % 2 == 0;
                const QString id = beta ? QStringLiteral("bench.beta") : QStringLiteral("bench.gamma");
                std::unique_ptr<QProcess> window;
                measure(*active, id, beta ? 1 : 2, [&] { window = openWindow(id); });
                if (!window) {
                    ++missed[active->name];
                    continue;
                }
                measure(*active, QStringLiteral("bench.alpha"), 0, [&] { closeWindow(window); });
            }
            other->resume();
        }
    }

    std::printf("Focus change -> source changed on GNOME Shell %s, %d focus changes each, blocks of %d "
                "interleaved (ms):\n",
                qgetenv("TOLVANE_GNOME_SHELL_VERSION").constData(), changes, kBlock);
    for (Switcher* s : switchers) {
        const auto& values = latency[s->name];
        std::printf("  %-8s median %6.2f  p90 %6.2f  p99 %6.2f  max %6.2f  (n=%zu, missed %d)\n", qPrintable(s->name),
                    percentile(values, 0.5), percentile(values, 0.9), percentile(values, 0.99), percentile(values, 1.0),
                    values.size(), missed[s->name]);
    }
    const double floorMedian = percentile(latency[QStringLiteral("floor")], 0.5);
    const double floorP99 = percentile(latency[QStringLiteral("floor")], 0.99);
    if (floorMedian > 0 && floorP99 > 0)
        std::printf("  Tolvane / floor: median %.2fx, p99 %.2fx (target: within 1.2x)\n",
                    percentile(latency[QStringLiteral("Tolvane")], 0.5) / floorMedian,
                    percentile(latency[QStringLiteral("Tolvane")], 0.99) / floorP99);
    return 0;
}

#include "GnomeSwitchBench.moc"
