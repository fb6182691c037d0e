// Switching on a real, headless sway: the Tolvane application itself (the
// built binary, as a user starts it, with its rules file) side by side with the
// least a switcher can do over the same IPC (sway-floor-switcher). The two take
// turns in short blocks, the other one stopped, so that the load of this shared
// machine falls on both alike; both are measured by the same observer and clock.
//
// 1. Latency: from the focus command to the input event of the keyboard's new
//    layout as another IPC client receives it, over many focus changes among
//    three foot windows (us, de, ru). (Timing the window event as a client
//    receives it would hide a fast switcher's time behind that client's own
//    wake-up: both events often come in one read.) Sway's handling of the
//    focus command is in both figures alike.
// 2. First keystroke: two windows with rules to us and de; a key (Y: "y" in
//    us, "z" in de) is typed on the virtual keyboard 0, 1, 2 or 5 ms after the
//    focus command; it is right when the window gets it in the rule's layout.
//
//   sway_switch_bench [focus changes]
#include "core/AppRule.h"
#include "core/RulesStore.h"
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

// Focus changes per switcher and turn in the latency part, tries per switcher
// and turn in the first-keystroke part.
constexpr int kLatencyTurn = 50;
constexpr int kKeystrokeTurn = 10;
constexpr int kKeyY = 21;
// Between focus changes, as between a person's: each switcher meets the next
// one idle, so what is measured is the switch, not how fast a backlog clears.
constexpr int kSettleMs = 5;
const QStringList kApps = {QStringLiteral("bench.alpha"), QStringLiteral("bench.beta"), QStringLiteral("bench.gamma")};
const QStringList kLayouts = {QStringLiteral("xkb:us"), QStringLiteral("xkb:de"), QStringLiteral("xkb:ru")};

struct Switcher {
    QString name;
    QProcess process;

    bool start(const QString& program, const QStringList& arguments, const QProcessEnvironment& environment)
    {
        process.setProcessEnvironment(environment);
        process.start(program, arguments);
        return process.waitForStarted(10000);
    }
    void pause() { ::kill(pid_t(process.processId()), SIGSTOP); }
    // Time to catch up on the events sent while it was stopped.
    void resume()
    {
        ::kill(pid_t(process.processId()), SIGCONT);
        QThread::msleep(200);
    }
    ~Switcher()
    {
        if (process.state() == QProcess::NotRunning)
            return;
        ::kill(pid_t(process.processId()), SIGCONT);
        process.terminate();
        if (!process.waitForFinished(5000))
            process.kill();
        process.waitForFinished(2000);
    }
};

// A client of sway's IPC of the benchmark's own: one sends the focus commands
// without waiting for their answers, another timestamps the input events it is sent.
struct Client {
    QLocalSocket socket;
    QByteArray buffer;

    bool start(const QString& path, const QByteArray& events = {})
    {
        socket.connectToServer(path);
        if (!socket.waitForConnected(2000))
            return false;
        if (events.isEmpty())
            return true;
        socket.write(SwayIpcSocket::encode(SwayIpcSocket::Subscribe, events));
        socket.flush();
        return bool(next(2000));
    }
    void send(const QString& command)
    {
        socket.write(SwayIpcSocket::encode(SwayIpcSocket::RunCommand, command.toUtf8()));
        socket.flush();
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
    // Throws away what came in; waits for more while it keeps coming `quietMs` apart.
    void drain(int quietMs = 30)
    {
        while (socket.waitForReadyRead(quietMs))
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

// Tolvane as a user runs it on sway: its rules file in a home of its own, sway's
// sockets in its environment, Qt on sway's Wayland display. Its log goes to a
// file (as to the journal in a session), its runtime folder is its own (the
// one-instance lock lives there).
bool startTolvane(Switcher& tolvane, HeadlessSway& sway, QProcessEnvironment environment)
{
    QList<AppRule> rules;
    for (int i = 0; i < kApps.size(); ++i) {
        AppRule rule;
        rule.appBundleID = kApps[i];
        rule.appName = kApps[i];
        rule.targetInputSourceID = kLayouts[i];
        rules.append(rule);
    }
    if (const auto error = RulesStore().save(rules)) {
        std::fprintf(stderr, "cannot write the rules: %s\n", qPrintable(*error));
        return false;
    }
    const QString runtime = QDir::homePath() + QStringLiteral("/tolvane-runtime");
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    environment.insert(QStringLiteral("XDG_SESSION_TYPE"), QStringLiteral("wayland"));
    environment.insert(QStringLiteral("WAYLAND_DISPLAY"), sway.waylandDisplay());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
    environment.insert(QStringLiteral("TOLVANE_LOG_STDERR"), QStringLiteral("1"));
    environment.remove(QStringLiteral("DISPLAY"));
    const QString log = QDir::homePath() + QStringLiteral("/tolvane.log");
    tolvane.process.setStandardOutputFile(log);
    tolvane.process.setStandardErrorFile(log);
    return tolvane.start(QStringLiteral(TOLVANE_BINARY), {}, environment);
}

// A switcher is ready once it switches: focus goes back and forth between
// two windows with different rules until a layout change is seen.
bool waitUntilSwitching(HeadlessSway& sway, Client& observer, Switcher& switcher)
{
    const QDeadlineTimer deadline(30000);
    for (int i = 0; !deadline.hasExpired() && switcher.process.state() == QProcess::Running; ++i) {
        sway.command(QStringLiteral("[app_id=\"%1\"] focus").arg(kApps[i % 2]));
        if (observer.waitFor(SwayIpcSocket::InputEvent, "\"xkb_layout\"", 300))
            return true;
    }
    return false;
}

// Types Y in the window `window` (0: us, 1: de) `delayMs` after focusing it.
enum class Typed { Right, Wrong, Lost };
Typed typeAfterFocus(HeadlessSway& sway, int window, int delayMs)
{
    QFile keys(keysFile(sway, kApps[window]));
    const qint64 before = QFileInfo(keys.fileName()).size();
    sway.command(QStringLiteral("[app_id=\"%1\"] focus").arg(kApps[window]));
    if (delayMs > 0)
        QThread::usleep(useconds_t(delayMs * 1000));
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
        return Typed::Lost;
    return typed.at(0) == (window == 0 ? 'y' : 'z') ? Typed::Right : Typed::Wrong;
}

} // namespace

int main(int argc, char** argv)
{
    tolvane::test::isolateHome();
    QCoreApplication app(argc, argv);
    const int changes = argc > 1 ? std::max(2 * kLatencyTurn, atoi(argv[1])) : 1200;
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
    Client observer;
    Client commands;
    if (!observer.start(sway.socketPath(), R"(["input"])") || !commands.start(sway.socketPath())) {
        std::fprintf(stderr, "the observer could not subscribe\n");
        return 1;
    }
    Switcher floor;
    floor.name = QStringLiteral("floor");
    Switcher tolvane;
    tolvane.name = QStringLiteral("Tolvane");
    QStringList floorArguments;
    for (int i = 0; i < kApps.size(); ++i)
        floorArguments.append(kApps[i] + QLatin1Char('=') + QString::number(i));
    floor.process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    floor.process.setStandardOutputFile(QProcess::nullDevice());
    if (!floor.start(QStringLiteral(SWAY_FLOOR_SWITCHER), floorArguments, environment)
        || !waitUntilSwitching(sway, observer, floor)) {
        std::fprintf(stderr, "the floor switcher did not start: %s\n", qPrintable(floor.process.errorString()));
        return 1;
    }
    floor.pause();
    observer.drain();
    if (!startTolvane(tolvane, sway, environment) || !waitUntilSwitching(sway, observer, tolvane)) {
        std::fprintf(stderr, "Tolvane did not start switching (its log: %s/tolvane.log)\n",
                     qPrintable(QDir::homePath()));
        return 1;
    }
    floor.resume();
    // The first change of the measurements (to alpha, us) must switch.
    sway.command(QStringLiteral("[app_id=\"%1\"] focus").arg(kApps.constLast()));
    Switcher* switchers[] = {&floor, &tolvane};
    const auto takeTurn = [&](Switcher* active) {
        Switcher* other = active == &floor ? &tolvane : &floor;
        other->pause();
        active->resume();
    };

    // 1. Latency.
    std::map<QString, std::vector<double>> latency;
    std::map<QString, int> missed;
    int step = 0;
    for (int done = 0; done < changes; done += 2 * kLatencyTurn) {
        for (Switcher* active : switchers) {
            takeTurn(active);
            observer.drain();
            for (int i = 0; i < kLatencyTurn; ++i, ++step) {
                const QString& target = kApps[step % kApps.size()];
                commands.drain(0);
                observer.drain(0);
                const auto focusing = Clock::now();
                commands.send(QStringLiteral("[app_id=\"%1\"] focus").arg(target));
                const auto switched = observer.waitFor(SwayIpcSocket::InputEvent, "\"xkb_layout\"", 1000);
                if (!switched) {
                    ++missed[active->name];
                    continue;
                }
                latency[active->name].push_back(
                    std::chrono::duration<double, std::milli>(*switched - focusing).count());
                QThread::msleep(kSettleMs);
            }
        }
    }
    const int perSwitcher = int(latency["floor"].size() + size_t(missed["floor"]));
    std::printf("Focus command to layout switched, as another IPC client sees it; %d focus changes each, %d ms "
                "apart (ms):\n",
                perSwitcher, kSettleMs);
    std::printf("  %-8s %8s %8s %8s %8s %7s\n", "", "median", "p90", "p99", "max", "missed");
    for (Switcher* s : switchers) {
        const auto& values = latency[s->name];
        std::printf("  %-8s %8.3f %8.3f %8.3f %8.3f %7d\n", qPrintable(s->name), percentile(values, 0.5),
                    percentile(values, 0.9), percentile(values, 0.99), percentile(values, 1.0), missed[s->name]);
    }
    const double ratio = percentile(latency["Tolvane"], 0.5) / std::max(1e-9, percentile(latency["floor"], 0.5));
    std::printf("  Tolvane / floor (median): %.2fx (target: at most 1.2x); Tolvane - floor: %+.1f us\n\n", ratio,
                1000 * (percentile(latency["Tolvane"], 0.5) - percentile(latency["floor"], 0.5)));
    // Nobody reads these from here on; sway need not queue events for them.
    observer.socket.abort();
    commands.socket.abort();

    // 2. First keystroke: alpha (us) and beta (de) in turn; Y types "y" in us, "z" in de.
    const int tries = 100;
    const int delays[] = {0, 1, 2, 5};
    std::map<std::pair<QString, int>, int> wrong, lost;
    for (int delay : delays) {
        for (int done = 0; done < tries; done += kKeystrokeTurn) {
            for (Switcher* active : switchers) {
                takeTurn(active);
                for (int i = 0; i < kKeystrokeTurn; ++i) {
                    const Typed typed = typeAfterFocus(sway, i % 2, delay);
                    wrong[{active->name, delay}] += typed == Typed::Wrong;
                    lost[{active->name, delay}] += typed == Typed::Lost;
                }
            }
        }
    }
    std::printf("First keystroke after the focus command, %d tries per delay (wrong layout):\n", tries);
    std::printf("  %-8s", "");
    for (int delay : delays)
        std::printf(" %7d ms", delay);
    std::printf("\n");
    for (Switcher* s : switchers) {
        std::printf("  %-8s", qPrintable(s->name));
        for (int delay : delays) {
            const int lostHere = lost[{s->name, delay}];
            std::printf(" %6d%s", wrong[{s->name, delay}],
                        lostHere ? qPrintable(QStringLiteral("(%1 lost)").arg(lostHere)) : "    ");
        }
        std::printf("\n");
    }
    tolvane.resume();
    return 0;
}
