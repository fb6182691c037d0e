#pragma once

#include "HttpSession.h"
#include "LogHandler.h"
#include "SignalCache.h"
#include "SignalManager.h"
#include "TelemetryManager.h"
#include "TelemetryManagerConfiguration.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QMutex>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

#include <memory>

namespace telemetrytest {

using namespace telemetrydeck;

// Collects log messages from any thread. Handlers share the capture's state, so they stay
// valid when the capture goes out of scope before the configuration does.
class LogCapture {
public:
    LogHandler handler(LogLevel level = LogLevel::debug)
    {
        return LogHandler{level, [state = m_state](LogLevel messageLevel, const QString& message) {
                              QMutexLocker locker(&state->mutex);
                              state->messages.append({messageLevel, message});
                          }};
    }
    QStringList messages(std::optional<LogLevel> level = std::nullopt) const
    {
        QMutexLocker locker(&m_state->mutex);
        QStringList texts;
        for (const auto& [messageLevel, text] : m_state->messages)
            if (!level || messageLevel == *level)
                texts.append(text);
        return texts;
    }
    bool contains(const QString& text, std::optional<LogLevel> level = std::nullopt) const
    {
        return messages(level).contains(text);
    }
    void clear()
    {
        QMutexLocker locker(&m_state->mutex);
        m_state->messages.clear();
    }

private:
    struct State {
        QMutex mutex;
        QList<std::pair<LogLevel, QString>> messages;
    };
    std::shared_ptr<State> m_state = std::make_shared<State>();
};

// A stand-in for the ingestion service on loopback. Runs on the main thread.
class IngestionServer : public QObject {
public:
    enum class Behaviour { respond, junk, hang, closeConnection };
    struct Request {
        QByteArray method;
        QByteArray path;
        QByteArray contentType;
        QByteArray body;
    };

    IngestionServer()
    {
        QVERIFY(m_server.listen(QHostAddress::LocalHost, 0));
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onData(socket); });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }

    QUrl baseUrl() const { return QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(m_server.serverPort())); }
    void setBehaviour(Behaviour behaviour, int status = 200, QByteArray body = "{}")
    {
        m_behaviour = behaviour;
        m_status = status;
        m_responseBody = std::move(body);
    }
    const QList<Request>& requests() const { return m_requests; }
    void clear() { m_requests.clear(); }

private:
    void onData(QTcpSocket* socket)
    {
        QByteArray& buffer = m_buffers[socket];
        buffer += socket->readAll();
        const qsizetype headerEnd = buffer.indexOf("\r\n\r\n");
        if (headerEnd < 0)
            return;
        const QList<QByteArray> lines = buffer.left(headerEnd).split('\n');
        Request request;
        const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
        request.method = requestLine.value(0);
        request.path = requestLine.value(1);
        qsizetype length = 0;
        for (const QByteArray& line : lines.mid(1)) {
            const qsizetype colon = line.indexOf(':');
            const QByteArray name = line.left(colon).trimmed().toLower();
            const QByteArray value = line.mid(colon + 1).trimmed();
            if (name == "content-length")
                length = value.toLongLong();
            else if (name == "content-type")
                request.contentType = value;
        }
        if (buffer.size() < headerEnd + 4 + length)
            return;
        request.body = buffer.mid(headerEnd + 4, length);
        m_buffers.remove(socket);
        m_requests.append(request);
        switch (m_behaviour) {
        case Behaviour::respond: {
            QByteArray response = "HTTP/1.1 " + QByteArray::number(m_status) + " Status\r\nContent-Type: application/json\r\n"
                + "Content-Length: " + QByteArray::number(m_responseBody.size()) + "\r\nConnection: close\r\n\r\n"
                + m_responseBody;
            socket->write(response);
            socket->disconnectFromHost();
            break;
        }
        case Behaviour::junk:
            socket->write("\x01\x02 this is not HTTP at all \xff\xfe\r\n\r\n");
            socket->disconnectFromHost();
            break;
        case Behaviour::hang:
            break; // keeps the connection open and says nothing
        case Behaviour::closeConnection:
            socket->abort();
            break;
        }
    }

    QTcpServer m_server;
    QHash<QTcpSocket*, QByteArray> m_buffers;
    QList<Request> m_requests;
    Behaviour m_behaviour = Behaviour::respond;
    int m_status = 200;
    QByteArray m_responseBody = "{}";
};

// A configuration for tests: loopback endpoint, no automatic session signals, no timer
// ticks during the test, short HTTP timeout.
inline std::shared_ptr<TelemetryManagerConfiguration> testConfiguration(const QUrl& baseUrl,
                                                                        const QString& appID = QStringLiteral("TEST-APP"),
                                                                        const std::optional<QString>& ns = std::nullopt)
{
    auto configuration = std::make_shared<TelemetryManagerConfiguration>(appID, std::nullopt, baseUrl, ns);
    configuration->setSendNewSessionBeganSignal(false);
    configuration->setSessionStatsEnabled(false);
    configuration->setSendTimerInterval(std::chrono::hours(1));
    configuration->setUrlSession(std::make_shared<HttpSession>(400));
    return configuration;
}

// A closed loopback port: anything sent there is refused.
inline QUrl unreachableUrl()
{
    return QUrl(QStringLiteral("http://127.0.0.1:9/"));
}

inline std::shared_ptr<SignalManager> currentPipeline()
{
    const auto manager = TelemetryManager::shared();
    return manager ? std::dynamic_pointer_cast<SignalManager>(manager->signalManager()) : nullptr;
}

// Ends the stored manager and removes what it left behind.
inline void resetClient()
{
    TelemetryManager::terminate();
    QFile::remove(SignalCache::cacheFileURL());
}

inline bool waitForCount(SignalCache& cache, int count, int timeout = 5000)
{
    return QTest::qWaitFor([&] { return cache.count() == count; }, timeout);
}

} // namespace telemetrytest
