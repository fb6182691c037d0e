#include "SingleInstance.h"

#include "Logger.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QPointer>
#include <QStandardPaths>
#include <QTimer>

namespace {
const QString kSocketName = QStringLiteral("com.kelvora.Tolvane");
// A peer that does not finish its request in this time is dropped.
constexpr int kPeerTimeoutMs = 5000;
} // namespace

SingleInstance::SingleInstance(const QString& directory, QObject* parent)
    : QObject(parent)
    , m_directory(directory)
{
    if (m_directory.isEmpty())
        m_directory = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (m_directory.isEmpty())
        m_directory = QDir::tempPath();
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::socketPath() const
{
    return QDir(m_directory).filePath(kSocketName);
}

SingleInstance::Role SingleInstance::claim(int timeoutMs)
{
    QDir().mkpath(m_directory);
    QLockFile lock(socketPath() + QStringLiteral(".lock"));
    if (!lock.tryLock(timeoutMs)) {
        Logger::shared().error(QStringLiteral("Could not take %1: another Tolvane is starting").arg(socketPath() + QStringLiteral(".lock")));
        return Role::Failed;
    }

    QLocalSocket socket;
    socket.connectToServer(socketPath());
    if (socket.waitForConnected(timeoutMs)) {
        socket.write(openSettingsRequest());
        socket.flush();
        QByteArray answer;
        while (!answer.contains('\n') && socket.waitForReadyRead(timeoutMs))
            answer += socket.readAll();
        if (answer.startsWith(acknowledgement().trimmed()))
            return Role::Secondary;
        Logger::shared().error(QStringLiteral("The running Tolvane did not answer"));
        return Role::Failed;
    }

    // Nobody listens: whatever socket file is left belongs to a process that is gone.
    QLocalServer::removeServer(socketPath());
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(socketPath())) {
        Logger::shared().error(QStringLiteral("Could not listen on %1: %2").arg(socketPath(), m_server->errorString()));
        m_server.reset();
        return Role::Failed;
    }
    connect(m_server.get(), &QLocalServer::newConnection, this, &SingleInstance::acceptConnections);
    return Role::Primary;
}

void SingleInstance::acceptConnections()
{
    while (QLocalSocket* peer = m_server->nextPendingConnection()) {
        QPointer<QLocalSocket> guarded(peer);
        connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
        QTimer::singleShot(kPeerTimeoutMs, peer, [guarded] {
            if (guarded)
                guarded->abort();
        });
        connect(peer, &QLocalSocket::readyRead, this, [this, peer] {
            if (!peer->canReadLine()) {
                if (peer->bytesAvailable() > kMaximumRequestLength)
                    peer->abort();
                return;
            }
            const QByteArray request = peer->readLine(kMaximumRequestLength + 1);
            if (request == openSettingsRequest()) {
                peer->write(acknowledgement());
                peer->flush();
                peer->disconnectFromServer();
                Logger::shared().info(QStringLiteral("Another launch asked for the settings window"));
                Q_EMIT openSettingsRequested();
            } else {
                peer->abort();
            }
        });
    }
}
