#include "SwayIpcSocket.h"

#include "base/Logger.h"

#include <QDeadlineTimer>
#include <QLocalSocket>

#include <algorithm>
#include <cstring>

#include <sys/socket.h>

namespace {

constexpr char kMagic[] = {'i', '3', '-', 'i', 'p', 'c'};
constexpr qsizetype kMagicSize = sizeof(kMagic);
constexpr qsizetype kHeaderSize = kMagicSize + 2 * sizeof(quint32);

quint32 readWord(const char* at)
{
    quint32 value = 0;
    std::memcpy(&value, at, sizeof value);
    return value;
}

} // namespace

SwayIpcSocket::SwayIpcSocket(QObject* parent)
    : QObject(parent)
    , m_socket(new QLocalSocket(this))
{
    connect(m_socket, &QLocalSocket::readyRead, this, &SwayIpcSocket::readAvailable);
    connect(m_socket, &QLocalSocket::disconnected, this, [this] {
        if (!m_failed) {
            m_failed = true;
            Q_EMIT disconnected();
        }
    });
}

SwayIpcSocket::~SwayIpcSocket() = default;

QString SwayIpcSocket::socketPathFromEnvironment()
{
    const QString sway = qEnvironmentVariable("SWAYSOCK");
    return sway.isEmpty() ? qEnvironmentVariable("I3SOCK") : sway;
}

bool SwayIpcSocket::connectTo(const QString& path, int timeoutMs)
{
    if (path.isEmpty())
        return false;
    m_failed = false;
    m_buffer.clear();
    m_socket->connectToServer(path);
    return m_socket->waitForConnected(timeoutMs);
}

bool SwayIpcSocket::adopt(int descriptor)
{
    m_failed = false;
    m_buffer.clear();
    return m_socket->setSocketDescriptor(descriptor);
}

bool SwayIpcSocket::isConnected() const
{
    return !m_failed && m_socket->state() == QLocalSocket::ConnectedState;
}

QByteArray SwayIpcSocket::encode(quint32 type, const QByteArray& payload)
{
    QByteArray frame;
    frame.reserve(kHeaderSize + payload.size());
    frame.append(kMagic, kMagicSize);
    const quint32 length = quint32(payload.size());
    frame.append(reinterpret_cast<const char*>(&length), sizeof length);
    frame.append(reinterpret_cast<const char*>(&type), sizeof type);
    frame.append(payload);
    return frame;
}

std::optional<SwayIpcSocket::Frame> SwayIpcSocket::takeFrame(QByteArray& buffer, bool& broken)
{
    broken = false;
    const qsizetype known = qMin(buffer.size(), kMagicSize);
    if (std::memcmp(buffer.constData(), kMagic, size_t(known)) != 0) {
        broken = true;
        return std::nullopt;
    }
    if (buffer.size() < kHeaderSize)
        return std::nullopt;
    const quint32 length = readWord(buffer.constData() + kMagicSize);
    if (length > kMaximumPayload) {
        broken = true;
        return std::nullopt;
    }
    if (buffer.size() < kHeaderSize + qsizetype(length))
        return std::nullopt;
    Frame frame;
    frame.type = readWord(buffer.constData() + kMagicSize + sizeof(quint32));
    frame.payload = buffer.mid(kHeaderSize, length);
    buffer.remove(0, kHeaderSize + length);
    return frame;
}

// Straight to the socket when nothing is queued before it: a layout switch
// should not wait for the socket's own buffering.
bool SwayIpcSocket::writeNow(const QByteArray& bytes)
{
    qsizetype written = 0;
    if (m_socket->bytesToWrite() == 0) {
        const qintptr fd = m_socket->socketDescriptor();
        while (written < bytes.size()) {
            const ssize_t sent = ::send(int(fd), bytes.constData() + written, size_t(bytes.size() - written),
                                        MSG_NOSIGNAL | MSG_DONTWAIT);
            if (sent <= 0)
                break;
            written += sent;
        }
    }
    if (written < bytes.size()) {
        const QByteArray rest = bytes.mid(written);
        if (m_socket->write(rest) != rest.size())
            return false;
        m_socket->flush();
    }
    return true;
}

bool SwayIpcSocket::send(quint32 type, const QByteArray& payload)
{
    if (!isConnected())
        return false;
    return writeNow(encode(type, payload));
}

std::optional<QByteArray> SwayIpcSocket::request(quint32 type, const QByteArray& payload, int timeoutMs)
{
    const auto replies = request({{type, payload}}, timeoutMs);
    if (!replies || replies->isEmpty())
        return std::nullopt;
    return replies->constFirst();
}

std::optional<QList<QByteArray>> SwayIpcSocket::request(const QList<std::pair<quint32, QByteArray>>& messages,
                                                        int timeoutMs)
{
    QByteArray out;
    for (const auto& [type, payload] : messages)
        out.append(encode(type, payload));
    return requestFrames(out, messages.size(), timeoutMs);
}

std::optional<QList<QByteArray>> SwayIpcSocket::requestFrames(const QByteArray& frames, qsizetype count, int timeoutMs)
{
    if (!isConnected() || m_waiting)
        return std::nullopt;
    if (!writeNow(frames))
        return std::nullopt;

    m_waiting = true;
    QList<QByteArray> replies;
    const QDeadlineTimer deadline(timeoutMs);
    bool broken = false;
    while (replies.size() < count) {
        while (replies.size() < count) {
            auto frame = takeFrame(m_buffer, broken);
            if (!frame)
                break;
            if (frame->type & kEventBit)
                m_pendingEvents.append(std::move(*frame));
            else
                replies.append(std::move(frame->payload));
        }
        if (broken || replies.size() == count)
            break;
        if (m_socket->bytesAvailable() == 0
            && (deadline.hasExpired() || !m_socket->waitForReadyRead(int(deadline.remainingTime()))))
            break;
        m_buffer.append(m_socket->readAll());
    }
    m_waiting = false;

    if (!m_pendingEvents.isEmpty() || !m_buffer.isEmpty())
        QMetaObject::invokeMethod(this, &SwayIpcSocket::readAvailable, Qt::QueuedConnection);
    if (broken) {
        fail(QStringLiteral("the compositor's IPC socket sent something that is not i3 IPC"));
        return std::nullopt;
    }
    if (replies.size() < count) {
        // A late answer would be taken for the next request's.
        fail(QStringLiteral("the compositor did not answer within %1 ms").arg(timeoutMs));
        return std::nullopt;
    }
    return replies;
}

bool SwayIpcSocket::waitForEvent(const std::function<bool(quint32, const QByteArray&)>& wanted, int timeoutMs)
{
    if (!isConnected() || m_waiting)
        return false;
    bool found = std::any_of(m_pendingEvents.cbegin(), m_pendingEvents.cend(),
                             [&](const Frame& frame) { return wanted(frame.type, frame.payload); });
    m_waiting = true;
    const QDeadlineTimer deadline(timeoutMs);
    QByteArray unread = m_buffer;
    bool broken = false;
    while (!found && !broken) {
        while (const auto frame = takeFrame(unread, broken)) {
            if ((frame->type & kEventBit) && wanted(frame->type, frame->payload)) {
                found = true;
                break;
            }
        }
        if (found || broken)
            break;
        if (m_socket->bytesAvailable() == 0
            && (deadline.hasExpired() || !m_socket->waitForReadyRead(int(deadline.remainingTime()))))
            break;
        const qsizetype before = m_buffer.size();
        appendAvailable();
        unread.append(QByteArrayView(m_buffer).sliced(before));
    }
    m_waiting = false;
    if (!m_pendingEvents.isEmpty() || !m_buffer.isEmpty())
        QMetaObject::invokeMethod(this, &SwayIpcSocket::readAvailable, Qt::QueuedConnection);
    return found;
}

void SwayIpcSocket::readAvailable()
{
    if (m_waiting)
        return;
    // One at a time from the list itself, so that waitForEvent() sees those still to come.
    while (!m_pendingEvents.isEmpty() && !m_failed)
        dispatch(m_pendingEvents.takeFirst());
    appendAvailable();
    bool broken = false;
    while (!m_failed) {
        auto frame = takeFrame(m_buffer, broken);
        if (!frame)
            break;
        dispatch(*frame);
    }
    if (broken)
        fail(QStringLiteral("the compositor's IPC socket sent something that is not i3 IPC"));
}

// Straight into the frame buffer, without a copy of its own on the way.
void SwayIpcSocket::appendAvailable()
{
    const qint64 available = m_socket->bytesAvailable();
    if (available <= 0)
        return;
    const qsizetype before = m_buffer.size();
    m_buffer.resize(before + qsizetype(available));
    const qint64 got = m_socket->read(m_buffer.data() + before, available);
    m_buffer.resize(before + qsizetype(qMax<qint64>(got, 0)));
}

void SwayIpcSocket::dispatch(const Frame& frame)
{
    if (frame.type & kEventBit)
        Q_EMIT eventReceived(frame.type, frame.payload);
    else
        Q_EMIT replyReceived(frame.type, frame.payload);
}

void SwayIpcSocket::fail(const QString& reason)
{
    if (m_failed)
        return;
    Logger::shared().error(QStringLiteral("Sway IPC: ") + reason + QStringLiteral("; connection closed"));
    m_failed = true;
    m_buffer.clear();
    m_socket->abort();
    Q_EMIT disconnected();
}
