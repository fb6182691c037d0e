#include "SwaySwitchingThread.h"

#include "SwayIpcSocket.h"
#include "SwayWindowEventReader.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>

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

std::unique_ptr<SwaySwitchingThread> SwaySwitchingThread::connect(const QString& socketPath)
{
    const int events = connectTo(socketPath);
    const int commands = events < 0 ? -1 : connectTo(socketPath);
    QByteArray reply;
    if (commands < 0
        || !writeAll(events,
                     SwayIpcSocket::encode(SwayIpcSocket::Subscribe, QByteArrayLiteral(R"(["window","tick"])")))
        || !awaitReply(events, reply) || !reply.contains("true")) {
        for (const int fd : {events, commands}) {
            if (fd >= 0)
                ::close(fd);
        }
        return nullptr;
    }
    return std::unique_ptr<SwaySwitchingThread>(new SwaySwitchingThread(events, commands));
}

SwaySwitchingThread::SwaySwitchingThread(int events, int commands)
    : m_events(events)
    , m_commands(commands)
    , m_syncPayload(QByteArrayLiteral("tolvane-switching-thread-") + QByteArray::number(qint64(::getpid())) + '-'
                    + QByteArray::number(quintptr(this), 16))
{
    m_thread = std::thread([this] { run(); });
}

SwaySwitchingThread::~SwaySwitchingThread()
{
    ::shutdown(m_events, SHUT_RDWR);
    if (m_thread.joinable())
        m_thread.join();
    ::close(m_events);
    ::close(m_commands);
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

void SwaySwitchingThread::startMatching()
{
    const std::lock_guard lock(m_mutex);
    m_matching = true;
}

bool SwaySwitchingThread::isMatching() const
{
    const std::lock_guard lock(m_mutex);
    return m_matching && !m_stopped;
}

SwaySwitchingThread::Outcome SwaySwitchingThread::takeOutcome(const QString& windowKey)
{
    const std::lock_guard lock(m_mutex);
    if (!m_matching || m_stopped)
        return {};
    if (m_outcomes.empty()) {
        ++m_mainAhead;
        return {};
    }
    auto [key, outcome] = std::move(m_outcomes.front());
    m_outcomes.pop_front();
    if (key != windowKey) {
        // The two sides no longer see the same events: the thread stands aside.
        m_stopped = true;
        m_outcomes.clear();
        return {};
    }
    return outcome;
}

std::unique_lock<std::mutex> SwaySwitchingThread::holdUnlessSuperseded()
{
    std::unique_lock lock(m_mutex);
    const bool switchedSince = std::any_of(m_outcomes.cbegin(), m_outcomes.cend(),
                                           [](const auto& pending) { return pending.second.kind == Outcome::Kind::Sent; });
    if (switchedSince)
        lock.unlock();
    return lock;
}

void SwaySwitchingThread::run()
{
    QByteArray buffer;
    char chunk[16384];
    for (;;) {
        const ssize_t got = ::recv(m_events, chunk, sizeof chunk, 0);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        buffer.append(chunk, got);
        bool broken = false;
        while (const auto frame = SwayIpcSocket::takeFrame(buffer, broken))
            handleEvent(frame->type, frame->payload);
        if (broken)
            break;
        drainReplies();
    }
    const std::lock_guard lock(m_mutex);
    m_stopped = true;
    m_outcomes.clear();
}

void SwaySwitchingThread::handleEvent(quint32 type, const QByteArray& payload)
{
    if (type == SwayIpcSocket::TickEvent) {
        m_synced = m_synced || payload.contains(m_syncPayload);
        return;
    }
    if (type != SwayIpcSocket::WindowEvent || !m_synced)
        return;
    const auto event = SwayWindowEventReader::readAny(payload);
    if (event && event->change == QLatin1String("focus"))
        handleFocus(SwayWindowEventReader::windowKey(*event), event->isClientWindow());
}

void SwaySwitchingThread::handleFocus(const QString& key, bool isClientWindow)
{
    const std::lock_guard lock(m_mutex);
    if (m_stopped)
        return;
    Outcome outcome = decide(key, isClientWindow);
    if (m_mainAhead > 0) {
        // The main thread has handled this one already.
        --m_mainAhead;
        return;
    }
    if (outcome.kind == Outcome::Kind::Sent && !write(outcome.frames))
        outcome = {};
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

bool SwaySwitchingThread::write(const QByteArray& frames)
{
    return writeAll(m_commands, frames);
}

// Sway's answers to the commands; nobody waits for them ("success" says nothing).
void SwaySwitchingThread::drainReplies()
{
    char discard[4096];
    while (::recv(m_commands, discard, sizeof discard, MSG_DONTWAIT) > 0) {
    }
}
