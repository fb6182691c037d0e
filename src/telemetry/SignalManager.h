#pragma once

#include "HttpSession.h"
#include "SignalCache.h"
#include "SignalManageable.h"
#include "TelemetryError.h"

#include <QMetaObject>
#include <QUrl>

#include <atomic>
#include <chrono>
#include <memory>
#include <optional>

class QTimer;

namespace telemetrydeck {

class SerialQueue;
class TelemetryManagerConfiguration;

// The signal pipeline: turns signals into records, queues them in the signal cache and
// uploads them in batches of at most 100 on every tick of the send timer. Failed batches
// go back into the queue, and each failure in a row doubles the wait before the next try
// (up to maximumRetryInterval); a delivered batch brings the timer back to its period. The
// queue is written to the cache file when the application is about to quit. The timer runs
// only while records wait, so an idle pipeline never wakes.
//
// A silenced configuration (see TelemetryManagerConfiguration::isSilenced) at construction
// gives a pipeline that deletes the cache file unread, never sends and never saves.
class SignalManager : public SignalManageable, public std::enable_shared_from_this<SignalManager> {
public:
    // Loads the cache file, subscribes to QCoreApplication::aboutToQuit and starts the send
    // timer (which flushes once at once).
    static std::shared_ptr<SignalManager> create(std::shared_ptr<TelemetryManagerConfiguration> configuration,
                                                 const QString& cacheFilePath = SignalCache::cacheFileURL());
    ~SignalManager() override;

    void enqueueSignal(const QString& signalName, const SignalParameters& parameters, std::optional<double> floatValue,
                       const std::optional<QString>& customUserID,
                       const std::shared_ptr<TelemetryManagerConfiguration>& configuration) override;
    void flushBatch() override;

    // Waits up to quitUploadWait for the batches on their way, then writes the queue and the
    // batches still unfinished to the cache file. Blocks until the file is written.
    void appWillTerminate();
    // Stops the timer and the quit subscription, then saves as appWillTerminate does.
    void retire();
    // Stops the timer and the quit subscription and forgets every record, deleting the cache
    // file. Nothing of this pipeline is sent or saved afterwards.
    void discard();

    static constexpr std::chrono::milliseconds quitUploadWait{2000};
    // The longest wait between two tries while uploads keep failing.
    static constexpr std::chrono::milliseconds maximumRetryInterval{std::chrono::minutes(5)};
    // The wait before the next tick: the configured period, doubled for each failed upload
    // in a row, at most maximumRetryInterval (or the period, if that is longer).
    std::chrono::milliseconds currentSendInterval() const;

    SignalCache& signalCache() { return *m_signalCache; }
    std::shared_ptr<TelemetryManagerConfiguration> configuration() const { return m_configuration; }
    int batchesInFlight() const;

    // "/v2/" or "/v2/namespace/<namespace>/" resolved against the base URL; none when that
    // gives no usable URL. Plain http is accepted only for loopback hosts.
    static std::optional<QUrl> signalEndpointURL(const TelemetryManagerConfiguration& configuration);
    static std::optional<TelemetryError> statusError(const HttpResult& result);

private:
    SignalManager(std::shared_ptr<TelemetryManagerConfiguration> configuration, const QString& cacheFilePath);
    void startSendTimer();
    void stopSendTimer();
    // Makes sure a tick comes while records wait; cheap when the timer already runs.
    void wakeSendTimer();
    void onSendTimerTick();
    void postBatch(quint64 batchID, const QList<SignalPostBody>& batch);
    void completeBatch(quint64 batchID, const std::optional<QString>& failure, const QByteArray& responseBody);
    // Gives a running timer the current interval (restarting its wait from now).
    void applySendInterval();

    const std::shared_ptr<TelemetryManagerConfiguration> m_configuration;
    const std::unique_ptr<SignalCache> m_signalCache;
    const std::shared_ptr<SerialQueue> m_timerQueue;
    QTimer* m_sendTimerSource = nullptr; // used only inside m_timerQueue
    // Whether the send timer runs (or is about to be started); see wakeSendTimer.
    std::atomic<bool> m_sendTimerRunning = false;
    std::atomic<bool> m_stopped = false;
    std::atomic<int> m_failedUploadsInARow = 0;
    QMetaObject::Connection m_quitConnection;
};

} // namespace telemetrydeck
