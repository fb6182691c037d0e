#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>
#include <utility>

class QLocalSocket;

// One connection to sway's IPC socket (the i3 protocol: the magic "i3-ipc",
// then the payload's length and the message type as 32-bit integers in the
// machine's byte order, then a JSON payload).
//
// Requests are answered in the order they were sent; `request()` waits for its
// answer, at most `timeoutMs`, and gives up after that. Events (types with the
// high bit set) come in on their own, read from the event loop, once the
// connection subscribed to them.
class SwayIpcSocket : public QObject {
    Q_OBJECT
public:
    enum MessageType : quint32 {
        RunCommand = 0,
        Subscribe = 2,
        GetTree = 4,
        GetConfig = 9,
        GetInputs = 100,
    };
    static constexpr quint32 kEventBit = 0x80000000u;
    enum EventType : quint32 {
        WorkspaceEvent = kEventBit | 0,
        WindowEvent = kEventBit | 3,
        ShutdownEvent = kEventBit | 6,
        InputEvent = kEventBit | 21,
    };
    // A local compositor answers within a millisecond; one that takes this long is stuck.
    static constexpr int kDefaultTimeoutMs = 500;
    // Nothing sway sends comes near this; a longer frame is not i3 IPC.
    static constexpr quint32 kMaximumPayload = 64u * 1024u * 1024u;

    struct Frame {
        quint32 type = 0;
        QByteArray payload;
    };

    explicit SwayIpcSocket(QObject* parent = nullptr);
    ~SwayIpcSocket() override;

    // $SWAYSOCK, else $I3SOCK; empty when neither is set.
    static QString socketPathFromEnvironment();

    bool connectTo(const QString& path, int timeoutMs = kDefaultTimeoutMs);
    // Reads i3 IPC from a connected socket someone else opened (and hands over).
    bool adopt(int descriptor);
    bool isConnected() const;

    // Sends the requests in one write and waits for their answers, in order.
    // nullopt when the connection failed, timed out or answered junk.
    std::optional<QList<QByteArray>> request(const QList<std::pair<quint32, QByteArray>>& messages,
                                             int timeoutMs = kDefaultTimeoutMs);
    std::optional<QByteArray> request(quint32 type, const QByteArray& payload = {}, int timeoutMs = kDefaultTimeoutMs);
    // The same with the requests already encoded: `count` frames in `frames`.
    std::optional<QList<QByteArray>> requestFrames(const QByteArray& frames, qsizetype count,
                                                   int timeoutMs = kDefaultTimeoutMs);
    // Waits, at most `timeoutMs`, until an event `wanted` accepts is among
    // those received and not yet passed on (in their order), without passing
    // any on: they still come as `eventReceived` afterwards. For a handler of
    // an earlier event that must know what follows it.
    bool waitForEvent(const std::function<bool(quint32 type, const QByteArray& payload)>& wanted,
                      int timeoutMs = kDefaultTimeoutMs);
    // Sends without waiting; the answer arrives as `replyReceived`.
    bool send(quint32 type, const QByteArray& payload);

    static QByteArray encode(quint32 type, const QByteArray& payload);
    // Takes the first whole frame off the front of `buffer`. nullopt with
    // `broken` false: not complete yet; with `broken` true: not i3 IPC.
    static std::optional<Frame> takeFrame(QByteArray& buffer, bool& broken);

Q_SIGNALS:
    void eventReceived(quint32 type, const QByteArray& payload);
    void replyReceived(quint32 type, const QByteArray& payload);
    // The compositor closed the connection or sent something that is not i3 IPC.
    void disconnected();

private:
    void readAvailable();
    void appendAvailable();
    bool writeNow(const QByteArray& bytes);
    void dispatch(const Frame& frame);
    void fail(const QString& reason);

    QLocalSocket* m_socket;
    QByteArray m_buffer;
    // Events a waiting request met on the way, dispatched once it returns, in their order.
    QList<Frame> m_pendingEvents;
    bool m_waiting = false;
    bool m_failed = false;
};
