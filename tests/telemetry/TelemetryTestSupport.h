#pragma once

#include "HttpSession.h"
#include "LogHandler.h"
#include "SerialQueue.h"
#include "SignalCache.h"
#include "SignalManager.h"
#include "TelemetryManager.h"
#include "TelemetryManagerConfiguration.h"

#include "support/LoopbackHttpServer.h"

#include <QFile>
#include <QMutex>
#include <QTimer>
#include <QtTest>

#include <memory>
#include <thread>

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
    bool contains(const QString& text, LogLevel level) const { return messages(level).contains(text); }

private:
    struct State {
        QMutex mutex;
        QList<std::pair<LogLevel, QString>> messages;
    };
    std::shared_ptr<State> m_state = std::make_shared<State>();
};

// A stand-in for the ingestion service on loopback, in the thread that made it.
class IngestionServer : public tolvane::test::LoopbackHttpServer {
public:
    enum class Behaviour { respond, junk, hang, closeConnection };

    IngestionServer()
        : LoopbackHttpServer([this](QTcpSocket* socket, const Request&) { answer(socket); })
    {
    }
    // respond: with `status`, after `delayMs`.
    void setBehaviour(Behaviour behaviour, int status = 200, int delayMs = 0)
    {
        m_behaviour = behaviour;
        m_status = QByteArray::number(status) + " Status";
        m_delayMs = delayMs;
    }

private:
    void answer(QTcpSocket* socket)
    {
        switch (m_behaviour) {
        case Behaviour::respond:
            QTimer::singleShot(m_delayMs, socket,
                               [this, socket] { respond(socket, m_status, "application/json", "{}"); });
            break;
        case Behaviour::junk:
            socket->write("\x01\x02 this is not HTTP at all \xff\xfe\r\n\r\n");
            socket->disconnectFromHost();
            break;
        case Behaviour::hang: // keeps the connection open and says nothing
            break;
        case Behaviour::closeConnection:
            socket->abort();
            break;
        }
    }

    Behaviour m_behaviour = Behaviour::respond;
    QByteArray m_status = "200 Status";
    int m_delayMs = 0;
};

// An ingestion stand-in answering from a thread of its own, for tests that block the main
// thread while an upload is on the wire. Configure it before the first request.
class ThreadedIngestionServer {
public:
    ThreadedIngestionServer()
    {
        m_thread.sync([this] { m_server = new IngestionServer; });
    }
    ~ThreadedIngestionServer()
    {
        m_thread.sync([this] { delete m_server; });
    }
    IngestionServer& server() { return *m_server; }
    void setBehaviour(IngestionServer::Behaviour behaviour, int status, int delayMs)
    {
        m_thread.sync([=, this] { m_server->setBehaviour(behaviour, status, delayMs); });
    }

private:
    // Hands blocks over with an ordinary lock, which race detectors see (Qt's queued calls
    // they do not).
    SerialQueue m_thread{QStringLiteral("ingestion-stand-in")};
    IngestionServer* m_server = nullptr;
};

// A queued record whose payload needs escaping in both encodings.
inline SignalPostBody makeRecord(const QString& type, std::optional<double> value = std::nullopt)
{
    return SignalPostBody{QDateTime::fromMSecsSinceEpoch(1'700'000'000'123, Qt::UTC),
                          QStringLiteral("APP"),
                          QString(64, QLatin1Char('a')),
                          QStringLiteral("6C1D9D5E-0F7B-4D7E-9A33-0F3B2B0E8F11"),
                          type,
                          value,
                          {{QStringLiteral("key"), QStringLiteral("välue \"q\" \\ \t\x01 ☃")}},
                          QStringLiteral("false")};
}

// A configuration for tests: no automatic session signals, no timer ticks during the test,
// short HTTP timeout. The default endpoint is a closed loopback port that refuses everything.
inline std::shared_ptr<TelemetryManagerConfiguration>
testConfiguration(const QUrl& baseUrl = QUrl(QStringLiteral("http://127.0.0.1:9/")),
                  const std::optional<QString>& ns = std::nullopt, const std::optional<QString>& salt = std::nullopt)
{
    auto configuration = std::make_shared<TelemetryManagerConfiguration>("TEST-APP", salt, baseUrl, ns);
    configuration->setSendNewSessionBeganSignal(false);
    configuration->setSessionStatsEnabled(false);
    configuration->setSendTimerInterval(std::chrono::hours(1));
    configuration->setUrlSession(std::make_shared<HttpSession>(400));
    return configuration;
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
