#include "SwaySwitchingThread.h"

#include "SwayIpcSocket.h"
#include "SwayWindowEventReader.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <utility>

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

constexpr int kHandshakeTimeoutMs = SwayIpcSocket::kDefaultTimeoutMs;

int connectTo(const QString& path)
{
    const QByteArray encoded = QFile::encodeName(path);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (encoded.isEmpty() || size_t(encoded.size()) >= sizeof address.sun_path)
        return -1;
    std::memcpy(address.sun_path, encoded.constData(), size_t(encoded.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool writeAll(int fd, const QByteArray& bytes)
{
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t sent = ::send(fd, bytes.constData() + written, size_t(bytes.size() - written), MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR)
            continue;
        if (sent <= 0)
            return false;
        written += sent;
    }
    return true;
}

// The answer to a request on a connection that has no events yet.
bool awaitReply(int fd, QByteArray& reply)
{
    QByteArray buffer;
    bool broken = false;
    for (;;) {
        if (auto frame = SwayIpcSocket::takeFrame(buffer, broken)) {
            reply = frame->payload;
            return !(frame->type & SwayIpcSocket::kEventBit);
        }
        pollfd readable{fd, POLLIN, 0};
        if (broken || ::poll(&readable, 1, kHandshakeTimeoutMs) <= 0)
            return false;
        char chunk[4096];
        const ssize_t got = ::recv(fd, chunk, sizeof chunk, 0);
        if (got <= 0)
            return false;
        buffer.append(chunk, got);
    }
}

} // namespace

std::unique_ptr<SwaySwitchingThread> SwaySwitchingThread::connect(const QString& socketPath, const QByteArray& events)
{
    int relay[2] = {-1, -1};
    const int eventsFd = connectTo(socketPath);
    const int commands = eventsFd < 0 ? -1 : connectTo(socketPath);
    QByteArray reply;
    const bool subscribed = commands >= 0 && writeAll(eventsFd, SwayIpcSocket::encode(SwayIpcSocket::Subscribe, events))
        && awaitReply(eventsFd, reply) && reply.contains("true")
        && ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, relay) == 0;
    if (!subscribed) {
        for (const int fd : {eventsFd, commands}) {
            if (fd >= 0)
                ::close(fd);
        }
        return nullptr;
    }
    return std::unique_ptr<SwaySwitchingThread>(new SwaySwitchingThread(eventsFd, commands, relay[0], relay[1]));
}

SwaySwitchingThread::SwaySwitchingThread(int events, int commands, int relay, int relayed)
    : m_events(events)
    , m_commands(commands)
    , m_relay(relay)
    , m_relayed(relayed)
{
    m_thread = std::thread([this] { run(); });
}

SwaySwitchingThread::~SwaySwitchingThread()
{
    ::shutdown(m_events, SHUT_RDWR);
    if (m_thread.joinable())
        m_thread.join();
    for (const int fd : {m_events, m_commands, m_relay, m_relayed}) {
        if (fd >= 0)
            ::close(fd);
    }
}

int SwaySwitchingThread::takeRelay()
{
    return std::exchange(m_relayed, -1);
}

void SwaySwitchingThread::setTable(std::shared_ptr<const Table> table)
{
    const std::lock_guard lock(m_mutex);
    m_table = std::move(table);
}

void SwaySwitchingThread::assumeFront(const QString& windowKey, const QString& application)
{
    const std::lock_guard lock(m_mutex);
    m_lastKey = windowKey;
    m_lastApplication = application;
}

SwaySwitchingThread::Outcome SwaySwitchingThread::takeOutcome(const QString& windowKey)
{
    const std::lock_guard lock(m_mutex);
    if (m_outcomes.empty())
        return {};
    auto [key, outcome] = std::move(m_outcomes.front());
    m_outcomes.pop_front();
    return key == windowKey ? outcome : Outcome{};
}

std::unique_lock<std::mutex> SwaySwitchingThread::holdUnlessSuperseded()
{
    std::unique_lock lock(m_mutex);
    const bool switchedSince = std::any_of(m_outcomes.cbegin(), m_outcomes.cend(), [](const auto& pending) {
        return pending.second.kind == Outcome::Kind::Sent;
    });
    if (switchedSince)
        lock.unlock();
    return lock;
}

// After a switch the thread sleeps a moment, without waking for sway's events
// (the new layout's first of all) or its answer: sway and the application in
// front have the processor while the new layout takes effect. The events
// reach the main loop after that, so its work on the activation waits as well.
void SwaySwitchingThread::run()
{
    // Long after sway's switch (about 0.1 ms), short enough for a person's next focus change.
    constexpr auto kQuiet = std::chrono::milliseconds(1);
    QByteArray events;
    QByteArray relay;
    for (bool open = true; open;) {
        const auto quietFor = m_switchedAt + kQuiet - std::chrono::steady_clock::now();
        if (quietFor > quietFor.zero())
            std::this_thread::sleep_for(quietFor);
        drainReplies();
        pollfd watched[] = {{m_events, POLLIN, 0}, {m_relay, short(relay.isEmpty() ? 0 : POLLOUT), 0}};
        if (::poll(watched, 2, -1) < 0 && errno != EINTR)
            break;
        if (watched[1].revents & (POLLHUP | POLLERR))
            break; // the main loop is gone
        open = readEvents(events, relay);
        if (!relay.isEmpty() && m_switchedAt + kQuiet <= std::chrono::steady_clock::now()) {
            const ssize_t sent = ::send(m_relay, relay.constData(), size_t(relay.size()), MSG_NOSIGNAL | MSG_DONTWAIT);
            if (sent > 0)
                relay.remove(0, sent);
            else if (sent < 0 && errno != EAGAIN && errno != EINTR)
                break;
        }
    }
    ::shutdown(m_relay, SHUT_RDWR);
    const std::lock_guard lock(m_mutex);
    m_table.reset();
}

// Reads what sway sent, acts on each focus change, and queues every event for
// the main loop. False once sway closed the connection or sent junk.
bool SwaySwitchingThread::readEvents(QByteArray& buffer, QByteArray& relay)
{
    char chunk[16384];
    for (;;) {
        const ssize_t got = ::recv(m_events, chunk, sizeof chunk, MSG_DONTWAIT);
        if (got == 0)
            return false;
        if (got < 0)
            return errno == EAGAIN || errno == EINTR;
        buffer.append(chunk, got);
        bool broken = false;
        while (const auto frame = SwayIpcSocket::takeFrame(buffer, broken)) {
            if (frame->type == SwayIpcSocket::WindowEvent) {
                const auto event = SwayWindowEventReader::readAny(frame->payload);
                if (event && event->change == QLatin1String("focus"))
                    handleFocus(SwayWindowEventReader::windowKey(*event), event->isClientWindow());
            }
            relay.append(SwayIpcSocket::encode(frame->type, frame->payload));
        }
        if (broken)
            return false;
    }
}

void SwaySwitchingThread::handleFocus(const QString& key, bool isClientWindow)
{
    const std::lock_guard lock(m_mutex);
    Outcome outcome = decide(key, isClientWindow);
    if (outcome.kind == Outcome::Kind::Sent) {
        if (writeAll(m_commands, outcome.frames))
            m_switchedAt = std::chrono::steady_clock::now();
        else
            outcome = {};
    }
    m_outcomes.emplace_back(key, std::move(outcome));
}

// Drops focus moving within one application as the rule engine does.
SwaySwitchingThread::Outcome SwaySwitchingThread::decide(const QString& key, bool isClientWindow)
{
    const Window* window = nullptr;
    if (m_table) {
        const auto found = m_table->constFind(key);
        if (found != m_table->cend())
            window = &found.value();
    }
    if (!window) {
        if (isClientWindow) {
            m_lastKey = key;
            m_lastApplication.clear();
        }
        return {};
    }
    if (!window->isApplication)
        return {};
    const bool sameApplication =
        key == m_lastKey || (!m_lastApplication.isEmpty() && window->application == m_lastApplication);
    m_lastKey = key;
    m_lastApplication = window->application;
    if (sameApplication)
        return {Outcome::Kind::SameApplication, {}};
    if (window->frames.isEmpty())
        return {Outcome::Kind::NothingToSelect, {}};
    return {Outcome::Kind::Sent, window->frames};
}

// Sway's answers to the switches; nobody waits for them ("success" says nothing).
void SwaySwitchingThread::drainReplies()
{
    char discard[4096];
    while (::recv(m_commands, discard, sizeof discard, MSG_DONTWAIT) > 0) { }
}
