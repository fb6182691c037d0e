#include "HyprlandIpc.h"

#include "base/Logger.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalSocket>

HyprlandIpc::HyprlandIpc(QString instanceDirectory, QObject* parent)
    : QObject(parent)
    , m_directory(std::move(instanceDirectory))
    , m_events(new QLocalSocket(this))
{
    connect(m_events, &QLocalSocket::readyRead, this, &HyprlandIpc::readAvailable);
    connect(m_events, &QLocalSocket::disconnected, this, &HyprlandIpc::disconnected);
}

HyprlandIpc::~HyprlandIpc() = default;

QString HyprlandIpc::instanceDirectoryFromEnvironment()
{
    const QString signature = qEnvironmentVariable("HYPRLAND_INSTANCE_SIGNATURE");
    if (signature.isEmpty() || signature.contains(QLatin1Char('/')))
        return {};
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    const QString current = runtime + QStringLiteral("/hypr/") + signature;
    if (!runtime.isEmpty() && QDir(current).exists())
        return current;
    return QStringLiteral("/tmp/hypr/") + signature;
}

bool HyprlandIpc::connectEvents(int timeoutMs)
{
    m_events->connectToServer(m_directory + QStringLiteral("/.socket2.sock"));
    return m_events->waitForConnected(timeoutMs);
}

std::optional<QByteArray> HyprlandIpc::request(const QByteArray& text, int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(m_directory + QStringLiteral("/.socket.sock"));
    const QDeadlineTimer deadline(timeoutMs);
    if (!socket.waitForConnected(int(deadline.remainingTime())))
        return std::nullopt;
    socket.write(text);
    socket.flush();
    QByteArray answer;
    // The answer ends where the compositor closes the connection.
    while (socket.state() == QLocalSocket::ConnectedState) {
        if (deadline.hasExpired() || !socket.waitForReadyRead(int(deadline.remainingTime())))
            break;
        answer += socket.readAll();
    }
    answer += socket.readAll();
    if (socket.state() == QLocalSocket::ConnectedState) {
        Logger::shared().error(QStringLiteral("Hyprland did not answer \"%1\" within %2 ms")
                                   .arg(QString::fromUtf8(text.left(64)))
                                   .arg(timeoutMs));
        return std::nullopt;
    }
    return answer;
}

std::optional<std::pair<QByteArray, QByteArray>> HyprlandIpc::splitEvent(const QByteArray& line)
{
    const qsizetype separator = line.indexOf(">>");
    if (separator <= 0)
        return std::nullopt;
    return std::pair{line.left(separator), line.mid(separator + 2)};
}

bool HyprlandIpc::takeLines(QList<QByteArray>& lines)
{
    qsizetype start = 0;
    for (qsizetype end = m_buffer.indexOf('\n'); end >= 0; end = m_buffer.indexOf('\n', start)) {
        lines.append(m_buffer.mid(start, end - start));
        start = end + 1;
    }
    m_buffer.remove(0, start);
    return m_buffer.size() <= kMaximumLine;
}

bool HyprlandIpc::waitForEvent(const std::function<bool(const QByteArray&, const QByteArray&)>& wanted, int timeoutMs)
{
    if (m_waiting)
        return false;
    m_waiting = true;
    const QDeadlineTimer deadline(timeoutMs);
    bool found = false;
    qsizetype checked = 0;
    while (!found) {
        m_buffer += m_events->readAll();
        if (!takeLines(m_pending))
            break;
        for (; checked < m_pending.size() && !found; ++checked) {
            if (const auto event = splitEvent(m_pending.at(checked)))
                found = wanted(event->first, event->second);
        }
        if (found || deadline.hasExpired() || !m_events->waitForReadyRead(int(deadline.remainingTime())))
            break;
    }
    m_waiting = false;
    if (!m_pending.isEmpty())
        QMetaObject::invokeMethod(this, &HyprlandIpc::readAvailable, Qt::QueuedConnection);
    return found;
}

void HyprlandIpc::readAvailable()
{
    if (m_waiting)
        return;
    m_buffer += m_events->readAll();
    QList<QByteArray> lines = std::exchange(m_pending, {});
    if (!takeLines(lines)) {
        Logger::shared().error(
            QStringLiteral("Hyprland's event socket sent something that is not events; connection closed"));
        m_buffer.clear();
        m_events->abort();
    }
    for (const QByteArray& line : std::as_const(lines))
        deliver(line);
}

void HyprlandIpc::deliver(const QByteArray& line)
{
    if (const auto event = splitEvent(line))
        Q_EMIT eventReceived(event->first, event->second);
}
