// Switching on a real, headless sway: Tolvane's switching core
// (sway-tolvane-host) side by side with the least a switcher can do over the
// same IPC (sway-floor-switcher), in interleaved blocks, the other one stopped.
//
// 1. Latency: from the window event of a focus change to the input event of
//    the keyboard's new layout, both as a third IPC client receives them,
//    over many focus changes among three foot windows (us, de, ru).
// 2. First keystroke: two windows with rules to us and de; a key (Y: "y" in
//    us, "z" in de) is typed on the virtual keyboard 0, 1, 2 or 5 ms after the
//    focus command; it is right when the window gets it in the rule's layout.
//
//   sway_switch_bench [focus changes]
#include "platform/sway/SwayIpcSocket.h"
#include "support/HeadlessSway.h"
#include "support/TestMain.h"

#include <QFile>
#include <QLocalSocket>
#include <QThread>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>

namespace {

using Clock = std::chrono::steady_clock;
using tolvane::test::HeadlessSway;

constexpr int kBlock = 100;
constexpr int kKeyY = 21;
const QStringList kApps = {QStringLiteral("bench.alpha"), QStringLiteral("bench.beta"), QStringLiteral("bench.gamma")};
const QStringList kLayouts = {QStringLiteral("xkb:us"), QStringLiteral("xkb:de"), QStringLiteral("xkb:ru")};

struct Switcher {
    QString name;
    QProcess process;

    bool start(const QString& program, const QStringList& arguments, const QProcessEnvironment& environment)
    {
        process.setProcessEnvironment(environment);
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(program, arguments);
        // Whatever it says before (the rules store reports a missing file) is not the sign.
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

// A third client of sway's IPC that timestamps the events it is sent.
struct Observer {
    QLocalSocket socket;
    QByteArray buffer;

    bool start(const QString& path)
    {
        socket.connectToServer(path);
        if (!socket.waitForConnected(2000))
            return false;
        socket.write(SwayIpcSocket::encode(SwayIpcSocket::Subscribe, R"(["window","input"])"));
        socket.flush();
        return bool(next(2000));
    }
    // The next frame, with its arrival time.
    std::optional<std::pair<SwayIpcSocket::Frame, Clock::time_point>> next(int timeoutMs)
    {
        bool broken = false;
        for (;;) {
            if (auto frame = SwayIpcSocket::takeFrame(buffer, broken))
                return std::pair{*frame, Clock::now()};
            if (broken || !socket.waitForReadyRead(timeoutMs))
                return std::nullopt;
            buffer += socket.readAll();
        }
    }
    // Waits for an event of this type whose payload holds `text`.
    std::optional<Clock::time_point> waitFor(quint32 type, const QByteArray& text, int timeoutMs)
    {
        const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
        while (Clock::now() < deadline) {
            const auto frame = next(timeoutMs);
            if (!frame)
                return std::nullopt;
            if (frame->first.type == type && frame->first.payload.contains(text))
                return frame->second;
        }
        return std::nullopt;
    }
    void drain()
    {
        while (socket.waitForReadyRead(30))
            socket.readAll();
        socket.readAll();
        buffer.clear();
    }
};

double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, size_t(p * double(values.size() - 1) + 0.5))];
}

QString keysFile(HeadlessSway& sway, const QString& app)
{
    return sway.runtimeDir() + QLatin1Char('/') + app + QStringLiteral(".keys");
}

} // namespace

int main(int argc, char** argv)
{
    tolvane::test::isolateHome();
    QCoreApplication app(argc, argv);
    const int changes = argc > 1 ? std::max(kBlock, atoi(argv[1])) : 1200;
    if (!HeadlessSway::isInstalled()) {
        std::printf("sway is not installed; nothing measured\n");
        return 0;
    }
    HeadlessSway sway;
    if (!sway.start() || !sway.addKeyboard()) {
        std::fprintf(stderr, "headless sway did not start\n");
        return 1;
    }
    // Each window writes every character it is typed, at once, to a file of its own.
    for (const QString& id : kApps) {
        sway.exec(QStringLiteral("foot --app-id %1 sh -c 'stty -icanon -echo; exec cat > \"$XDG_RUNTIME_DIR/%1.keys\"'")
                      .arg(id));
    }
    for (int tries = 0; tries < 200
         && !std::all_of(kApps.cbegin(), kApps.cend(), [&](const QString& id) { return sway.hasWindow(id); });
         ++tries)
        QThread::msleep(50);

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("SWAYSOCK"), sway.socketPath());
    Switcher floor;
    floor.name = QStringLiteral("floor");
    Switcher tolvane;
    tolvane.name = QStringLiteral("Tolvane");
    QStringList floorArguments, tolvaneArguments;
    for (int i = 0; i < kApps.size(); ++i) {
        floorArguments.append(kApps[i] + QLatin1Char('=') + QString::number(i));
        tolvaneArguments.append(kApps[i] + QLatin1Char('=') + kLayouts[i]);
    }
    if (!floor.start(QStringLiteral(SWAY_FLOOR_SWITCHER), floorArguments, environment)
        || !tolvane.start(QStringLiteral(SWAY_TOLVANE_HOST), tolvaneArguments, environment)) {
        std::fprintf(stderr, "a switcher did not start: %s\n",
                     qPrintable(floor.process.errorString() + tolvane.process.errorString()));
        return 1;
    }
    Observer observer;
    if (!observer.start(sway.socketPath())) {
        std::fprintf(stderr, "the observer could not subscribe\n");
        return 1;
    }

    // 1. Latency.
    std::map<QString, std::vector<double>> latency;
    std::map<QString, int> missed;
    Switcher* switchers[] = {&floor, &tolvane};
    int step = 0;
    for (int done = 0; done < changes; done += kBlock) {
        for (Switcher* active : switchers) {
            Switcher* other = active == &floor ? &tolvane : &floor;
            other->pause();
            active->resume();
            observer.drain();
            for (int i = 0; i < kBlock / 2; ++i, ++step) {
                const QString& target = kApps[step % kApps.size()];
                sway.command(QStringLiteral("[app_id=\"%1\"] focus").arg(target));
                const auto focused = observer.waitFor(SwayIpcSocket::WindowEvent, "\"focus\"", 1000);
                const auto switched = observer.waitFor(SwayIpcSocket::InputEvent, "\"xkb_layout\"", 1000);
                if (!focused || !switched) {
                    ++missed[active->name];
                    observer.drain();
                    continue;
                }
                latency[active->name].push_back(
                    std::chrono::duration<double, std::milli>(*switched - *focused).count());
            }
            other->resume();
        }
    }
    std::printf("Focus event to layout switched, %d focus changes each (ms):\n", changes / 2);
    std::printf("  %-8s %8s %8s %8s %8s %7s\n", "", "median", "p90", "p99", "max", "missed");
    for (Switcher* s : switchers) {
        const auto& values = latency[s->name];
        std::printf("  %-8s %8.3f %8.3f %8.3f %8.3f %7d\n", qPrintable(s->name), percentile(values, 0.5),
                    percentile(values, 0.9), percentile(values, 0.99), percentile(values, 1.0), missed[s->name]);
    }
    const double ratio = percentile(latency["Tolvane"], 0.5) / std::max(1e-9, percentile(latency["floor"], 0.5));
    std::printf("  Tolvane / floor (median): %.2fx (target: at most 1.2x)\n\n", ratio);

    // 2. First keystroke: alpha (us) and beta (de) in turn; Y types "y" in us, "z" in de.
    const int tries = 100;
    const int delays[] = {0, 1, 2, 5};
    std::printf("First keystroke after the focus command, %d tries per delay (wrong layout):\n", tries);
    std::printf("  %-8s", "");
    for (int delay : delays)
        std::printf(" %7d ms", delay);
    std::printf("\n");
    for (Switcher* active : switchers) {
        Switcher* other = active == &floor ? &tolvane : &floor;
        other->pause();
        active->resume();
        std::printf("  %-8s", qPrintable(active->name));
        for (int delay : delays) {
            int wrong = 0, lost = 0;
            for (int i = 0; i < tries; ++i) {
                const int window = i % 2;
                QFile keys(keysFile(sway, kApps[window]));
                const qint64 before = QFileInfo(keys.fileName()).size();
                sway.command(QStringLiteral("[app_id=\"%1\"] focus").arg(kApps[window]));
                if (delay > 0)
                    QThread::usleep(useconds_t(delay * 1000));
                sway.pressKey(kKeyY);
                QByteArray typed;
                for (int wait = 0; wait < 100 && typed.isEmpty(); ++wait) {
                    QThread::msleep(2);
                    if (keys.open(QIODevice::ReadOnly)) {
                        keys.seek(before);
                        typed = keys.readAll();
                        keys.close();
                    }
                }
                if (typed.isEmpty())
                    ++lost;
                else if (typed.at(0) != (window == 0 ? 'y' : 'z'))
                    ++wrong;
            }
            std::printf(" %6d%s", wrong, lost ? qPrintable(QStringLiteral("(%1 lost)").arg(lost)) : "    ");
        }
        std::printf("\n");
        other->resume();
    }
    return 0;
}
