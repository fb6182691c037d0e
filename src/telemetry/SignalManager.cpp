#include "SignalManager.h"

#include "DefaultSignalPayload.h"
#include "MainQueue.h"
#include "SerialQueue.h"
#include "Sha256.h"
#include "TelemetryClock.h"
#include "TelemetryManager.h"
#include "TelemetryManagerConfiguration.h"
#include "UtilityQueue.h"

#include <QCoreApplication>
#include <QHostAddress>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace telemetrydeck {

namespace {

std::shared_ptr<SerialQueue> sharedTimerQueue()
{
    static const std::shared_ptr<SerialQueue> queue =
        std::make_shared<SerialQueue>(QStringLiteral("com.telemetrydeck.SignalTimer"));
    return queue;
}

bool isLoopbackHost(const QString& host)
{
    if (host.compare(QLatin1StringView("localhost"), Qt::CaseInsensitive) == 0)
        return true;
    const QHostAddress address(host);
    return !address.isNull() && address.isLoopback();
}

bool logsAtDebugLevel(const TelemetryManagerConfiguration& configuration)
{
    const std::optional<LogHandler> handler = configuration.logHandler();
    return handler && handler->logLevel == LogLevel::debug;
}

} // namespace

SignalManager::SignalManager(std::shared_ptr<TelemetryManagerConfiguration> configuration, const QString& cacheFilePath)
    : m_configuration(std::move(configuration))
    , m_signalCache(std::make_unique<SignalCache>(m_configuration->swiftUIPreviewMode() ? std::nullopt
                                                                                        : m_configuration->logHandler(),
                                                  cacheFilePath, !m_configuration->isSilenced()))
    , m_timerQueue(sharedTimerQueue())
{
}

std::shared_ptr<SignalManager> SignalManager::create(std::shared_ptr<TelemetryManagerConfiguration> configuration,
                                                     const QString& cacheFilePath)
{
    std::shared_ptr<SignalManager> manager(new SignalManager(std::move(configuration), cacheFilePath));
    if (manager->m_configuration->isSilenced()) {
        manager->m_stopped = true;
        return manager;
    }
    std::weak_ptr<SignalManager> weakManager = manager;
    manager->m_signalCache->setRecordsAppendedHandler([weakManager] {
        if (std::shared_ptr<SignalManager> strong = weakManager.lock())
            strong->wakeSendTimer();
    });
    if (QCoreApplication* app = QCoreApplication::instance()) {
        manager->m_quitConnection = QObject::connect(app, &QCoreApplication::aboutToQuit, app, [weakManager] {
            if (std::shared_ptr<SignalManager> strong = weakManager.lock())
                strong->appWillTerminate();
        });
    }
    manager->startSendTimer();
    return manager;
}

SignalManager::~SignalManager()
{
    QObject::disconnect(m_quitConnection);
    stopSendTimer();
}

void SignalManager::startSendTimer()
{
    flushBatch();
    const int interval = static_cast<int>(currentSendInterval().count());
    std::weak_ptr<SignalManager> weakManager = weak_from_this();
    m_timerQueue->sync([this, interval, weakManager] {
        if (m_sendTimerSource)
            m_sendTimerSource->deleteLater();
        m_sendTimerSource = new QTimer(m_timerQueue->context());
        m_sendTimerSource->setTimerType(Qt::PreciseTimer);
        m_sendTimerSource->setInterval(interval);
        QObject::connect(m_sendTimerSource, &QTimer::timeout, m_sendTimerSource, [weakManager] {
            if (std::shared_ptr<SignalManager> strong = weakManager.lock())
                strong->onSendTimerTick();
        });
    });
    if (m_signalCache->count() > 0)
        wakeSendTimer();
}

void SignalManager::wakeSendTimer()
{
    if (m_stopped || m_sendTimerRunning.exchange(true))
        return;
    std::weak_ptr<SignalManager> weakManager = weak_from_this();
    m_timerQueue->async([weakManager] {
        const std::shared_ptr<SignalManager> strong = weakManager.lock();
        if (strong && !strong->m_stopped && strong->m_sendTimerSource && !strong->m_sendTimerSource->isActive())
            strong->m_sendTimerSource->start(static_cast<int>(strong->currentSendInterval().count()));
    });
}

std::chrono::milliseconds SignalManager::currentSendInterval() const
{
    const std::chrono::milliseconds period = m_configuration->sendTimerInterval();
    const std::chrono::milliseconds ceiling = std::max(period, maximumRetryInterval);
    std::chrono::milliseconds interval = period;
    for (int failures = m_failedUploadsInARow; failures > 0 && interval < ceiling; --failures)
        interval *= 2;
    return std::min(interval, ceiling);
}

void SignalManager::applySendInterval()
{
    std::weak_ptr<SignalManager> weakManager = weak_from_this();
    m_timerQueue->async([weakManager] {
        const std::shared_ptr<SignalManager> strong = weakManager.lock();
        if (!strong || strong->m_stopped || !strong->m_sendTimerSource)
            return;
        const int interval = static_cast<int>(strong->currentSendInterval().count());
        if (strong->m_sendTimerSource->interval() != interval)
            strong->m_sendTimerSource->setInterval(interval); // a running timer waits anew from now
    });
}

void SignalManager::onSendTimerTick()
{
    flushBatch();
    if (m_signalCache->count() > 0)
        return;
    // Nothing left to send: the timer rests until the next record. A record appended while
    // this runs either is seen by the second look or wakes the timer itself.
    m_sendTimerRunning = false;
    if (m_signalCache->count() > 0 && !m_sendTimerRunning.exchange(true))
        return;
    m_sendTimerSource->stop();
}

void SignalManager::stopSendTimer()
{
    // deleteLater: this may run from inside the timer's own timeout.
    m_timerQueue->sync([this] {
        if (m_sendTimerSource) {
            m_sendTimerSource->stop();
            m_sendTimerSource->deleteLater();
            m_sendTimerSource = nullptr;
        }
    });
}

void SignalManager::enqueueSignal(const QString& signalName, const SignalParameters& parameters,
                                  std::optional<double> floatValue, const std::optional<QString>& customUserID,
                                  const std::shared_ptr<TelemetryManagerConfiguration>& configuration)
{
    // On the main thread: everything that reads application state.
    const QString defaultUser = TelemetryManager::resolveDefaultUser(*configuration);
    SignalParameters payload = DefaultSignalPayload::parameters();
    const QString appID = configuration->telemetryAppID();
    const QString salt = configuration->salt();
    const QString sessionID = configuration->sessionID().toString(QUuid::WithoutBraces).toUpper();
    const QString isTestMode = configuration->testMode() ? QStringLiteral("true") : QStringLiteral("false");
    const auto enrichers = configuration->metadataEnrichers();
    // A value JSON cannot carry would make the whole batch unencodable; it is left out.
    if (floatValue && !std::isfinite(*floatValue))
        floatValue.reset();

    UtilityQueue::async([self = shared_from_this(), signalName, parameters, floatValue, customUserID, configuration,
                         defaultUser, payload = std::move(payload), appID, salt, sessionID, isTestMode,
                         enrichers]() mutable {
        SignalParameters enriched;
        for (const auto& enricher : enrichers) {
            if (!enricher)
                continue;
            const SignalParameters extra = enricher->extraParameters(signalName, customUserID, floatValue);
            for (auto it = extra.cbegin(); it != extra.cend(); ++it)
                enriched.insert(it.key(), it.value());
        }
        for (auto it = enriched.cbegin(); it != enriched.cend(); ++it)
            payload.insert(it.key(), it.value());
        for (auto it = parameters.cbegin(); it != parameters.cend(); ++it)
            payload.insert(it.key(), it.value());

        SignalPostBody record{TelemetryClock::now(),
                              appID,
                              Sha256::hex(customUserID.value_or(defaultUser), salt),
                              sessionID,
                              signalName,
                              floatValue,
                              std::move(payload),
                              isTestMode};
        if (logsAtDebugLevel(*configuration))
            configuration->log(LogLevel::debug, QStringLiteral("Process signal: ") + record.description());
        self->m_signalCache->appendSignals(record);
    });
}

void SignalManager::flushBatch()
{
    m_configuration->log(LogLevel::debug,
                         QStringLiteral("Current signal cache count: ") + QString::number(m_signalCache->count()));
    if (m_stopped || m_configuration->isSilenced())
        return;
    SignalCache::Batch batch = m_signalCache->takeBatchForUpload();
    if (batch.records.isEmpty())
        return;
    m_configuration->log(LogLevel::info,
                         QStringLiteral("Sending %1 signals leaving a cache of %2 signals")
                             .arg(batch.records.size())
                             .arg(m_signalCache->count()));
    UtilityQueue::async(
        [self = shared_from_this(), batch = std::move(batch)] { self->postBatch(batch.id, batch.records); });
}

void SignalManager::postBatch(quint64 batchID, const QList<SignalPostBody>& batch)
{
    const std::optional<QUrl> url = signalEndpointURL(*m_configuration);
    if (!url) {
        m_configuration->log(LogLevel::error,
                             QStringLiteral("Unable to construct signal API URL for namespace ")
                                 + m_configuration->namespace_().value_or(QStringLiteral("nil")));
        completeBatch(batchID, TelemetryError::invalidEndpointUrl().localizedDescription(), {});
        return;
    }
    const QByteArray body = SignalPostBody::encodeForUpload(batch);
    if (logsAtDebugLevel(*m_configuration))
        m_configuration->log(LogLevel::debug, QString::fromUtf8(body));
    m_configuration->urlSession()->postJson(*url, body, [self = shared_from_this(), batchID](const HttpResult& result) {
        std::optional<QString> failure;
        if (result.transportFailed)
            failure = result.transportError;
        else if (const std::optional<TelemetryError> error = statusError(result))
            failure = error->localizedDescription();
        self->completeBatch(batchID, failure, result.body);
    });
}

void SignalManager::completeBatch(quint64 batchID, const std::optional<QString>& failure,
                                  const QByteArray& responseBody)
{
    if (failure)
        m_configuration->log(LogLevel::error, *failure);
    else if (logsAtDebugLevel(*m_configuration) && !responseBody.isEmpty())
        m_configuration->log(LogLevel::debug, QString::fromUtf8(responseBody));
    // Before the batch goes back: its return may start the timer, which must wait the new interval.
    const int failuresBefore = failure ? m_failedUploadsInARow.fetch_add(1) : m_failedUploadsInARow.exchange(0);
    if (failure || failuresBefore > 0)
        applySendInterval();
    m_signalCache->finishBatch(batchID, !failure);
}

int SignalManager::batchesInFlight() const
{
    return m_signalCache->batchesInFlight();
}

void SignalManager::appWillTerminate()
{
    if (logsAtDebugLevel(*m_configuration))
        m_configuration->log(LogLevel::debug, QStringLiteral("appWillTerminate()"));
    if (m_configuration->isSilenced()) {
        m_signalCache->discardAll();
        return;
    }
    // A batch that arrives now must not be saved for a second upload; one that fails or
    // does not finish in time is saved with the queue.
    m_signalCache->waitForBatchesInFlight(quitUploadWait);
    m_signalCache->saveToDisk();
}

void SignalManager::retire()
{
    QObject::disconnect(m_quitConnection);
    m_stopped = true;
    stopSendTimer();
    appWillTerminate();
}

void SignalManager::discard()
{
    QObject::disconnect(m_quitConnection);
    m_stopped = true;
    stopSendTimer();
    m_signalCache->discardAll();
}

std::optional<QUrl> SignalManager::signalEndpointURL(const TelemetryManagerConfiguration& configuration)
{
    const QUrl base = configuration.apiBaseURL();
    const QString ns = configuration.namespace_().value_or(QString());
    QString path = QStringLiteral("/v2/");
    if (!ns.isEmpty())
        path += QStringLiteral("namespace/") + QString::fromLatin1(QUrl::toPercentEncoding(ns)) + QLatin1Char('/');
    if (!base.isValid() || base.isRelative())
        return std::nullopt;
    const QUrl url = base.resolved(QUrl(path, QUrl::StrictMode)).adjusted(QUrl::NormalizePathSegments);
    if (!url.isValid() || url.host().isEmpty())
        return std::nullopt;
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1StringView("https") || (scheme == QLatin1StringView("http") && isLoopbackHost(url.host())))
        return url;
    return std::nullopt;
}

std::optional<TelemetryError> SignalManager::statusError(const HttpResult& result)
{
    if (!result.isHttpResponse)
        return TelemetryError::invalidStatusCode(0);
    const int status = result.statusCode;
    if (status >= 200 && status <= 299)
        return std::nullopt;
    switch (status) {
    case 401:
        return TelemetryError::unauthorised();
    case 403:
        return TelemetryError::forbidden();
    case 413:
        return TelemetryError::payloadTooLarge();
    default:
        return TelemetryError::invalidStatusCode(status);
    }
}

} // namespace telemetrydeck
