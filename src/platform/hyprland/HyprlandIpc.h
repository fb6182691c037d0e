#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>
#include <utility>

class QLocalSocket;

// Hyprland's two sockets in its instance directory: ".socket.sock" takes one
// request per connection and answers it before closing; ".socket2.sock"
// sends events, one line each, "NAME>>DATA".
class HyprlandIpc : public QObject {
    Q_OBJECT
public:
    // A local compositor answers within a millisecond; one that takes this long is stuck.
    static constexpr int kDefaultTimeoutMs = 500;
    // No event line comes near this; a longer one is not Hyprland's.
    static constexpr qsizetype kMaximumLine = 1024 * 1024;

    explicit HyprlandIpc(QString instanceDirectory, QObject* parent = nullptr);
    ~HyprlandIpc() override;

    // $XDG_RUNTIME_DIR/hypr/$HYPRLAND_INSTANCE_SIGNATURE, or /tmp/hypr/… where
    // versions before 0.40 kept it; empty without a signature.
    static QString instanceDirectoryFromEnvironment();

    bool connectEvents(int timeoutMs = kDefaultTimeoutMs);
    // The answer to one request ("j/clients", "switchxkblayout kbd 1"), or
    // nullopt when the compositor could not be reached or did not answer in time.
    std::optional<QByteArray> request(const QByteArray& text, int timeoutMs = kDefaultTimeoutMs);

    // Reads events until `wanted` has accepted one, at most `timeoutMs`. Every
    // event read meanwhile, the wanted one too, is still delivered afterwards in order.
    bool waitForEvent(const std::function<bool(const QByteArray& name, const QByteArray& data)>& wanted, int timeoutMs);

    // "activelayout>>kbd,German" -> {"activelayout", "kbd,German"}; nullopt without ">>".
    static std::optional<std::pair<QByteArray, QByteArray>> splitEvent(const QByteArray& line);

Q_SIGNALS:
    void eventReceived(const QByteArray& name, const QByteArray& data);
    void disconnected();

private:
    void readAvailable();
    // Whole lines off the front of the buffer; false when the stream is not Hyprland's.
    bool takeLines(QList<QByteArray>& lines);
    void deliver(const QByteArray& line);

    QString m_directory;
    QLocalSocket* m_events;
    QByteArray m_buffer;
    QList<QByteArray> m_pending;
    bool m_waiting = false;
};
