#pragma once

#include "SignalPostBody.h"

#include <QDateTime>
#include <QSet>
#include <QSettings>
#include <QString>
#include <mutex>
#include <shared_mutex>

#include <memory>
#include <optional>

namespace telemetrydeck {

class SignalManageable;
class TelemetryManagerConfiguration;

// Owns the signal pipeline of one configuration. One manager is stored process-wide; the
// class operations act on it.
class TelemetryManager : public std::enable_shared_from_this<TelemetryManager> {
public:
    ~TelemetryManager();

    // Builds a manager from the configuration and stores it, replacing any earlier one. The
    // replaced manager's pipeline stops and writes its queue to the cache file, which the
    // new pipeline loads at once. A silenced configuration instead makes the replaced
    // pipeline forget its queue, deletes the cache file and ends the current session: this
    // is how an application honours its user's "off". Call on the main thread.
    static void initialize(const std::shared_ptr<TelemetryManagerConfiguration>& configuration);
    // Removes the stored manager; its queue is written to the cache file and the current
    // session ends.
    static void terminate();
    static bool isInitialized();
    // The stored manager; none before initialisation (except in preview mode, see below).
    static std::shared_ptr<TelemetryManager> shared();

    static void send(const QString& signalName, const SignalParameters& parameters = {});
    static void send(const QString& signalName, const std::optional<QString>& customUserID,
                     const SignalParameters& parameters);
    static void send(const QString& signalName, const std::optional<QString>& customUserID,
                     std::optional<double> floatValue, const SignalParameters& parameters);

    static void updateDefaultUser(const std::optional<QString>& user);
    static void generateNewSession();
    // Asks for an upload within 50 ms, at most once per 10 seconds.
    static void requestImmediateSync();
    // sha256Hex of the resolved default user followed by the salt; empty when uninitialised.
    static QString hashedDefaultUser();
    // Session rotation hooks: coming back after more than 300 seconds starts a new session.
    static void didEnterBackground();
    static void willEnterForeground();

    std::shared_ptr<TelemetryManagerConfiguration> configuration() const;
    void setConfiguration(const std::shared_ptr<TelemetryManagerConfiguration>& configuration);
    std::shared_ptr<SignalManageable> signalManager() const { return m_signalManager; }

    // The path of every signal after the public entry point: default parameters, their
    // reserved-key warnings, and the hand-off to the pipeline on the main thread.
    static void emitSignal(const QString& signalName, const SignalParameters& parameters,
                           std::optional<double> floatValue = std::nullopt,
                           const std::optional<QString>& customUserID = std::nullopt);

    // The 25 reserved names, lower-cased.
    static const QSet<QString>& reservedParameterKeys();
    // Keys not beginning with "TelemetryDeck." get the configuration's parameter prefix.
    static SignalParameters applyParameterPrefix(const SignalParameters& parameters,
                                                 const TelemetryManagerConfiguration& configuration);
    // Logs the reserved-key warnings for one parameter key.
    static void warnAboutReservedKey(const QString& key, const TelemetryManagerConfiguration& configuration);

    // The client's private preference suite "com.telemetrydeck." + 12 hex digits, or none
    // while no manager is stored.
    static std::unique_ptr<QSettings> clientSuite();
    static QString clientSuiteName(const QString& appID);
    // The configured default user, else the stored one, else a new one (stored).
    static QString resolveDefaultUser(const TelemetryManagerConfiguration& configuration);

private:
    explicit TelemetryManager(std::shared_ptr<TelemetryManagerConfiguration> configuration);
    void retire(bool discardQueue);

    mutable std::shared_mutex m_lock; // guards the fields below
    std::shared_ptr<TelemetryManagerConfiguration> m_configuration;
    QDateTime m_lastTimeImmediateSyncRequested;
    QDateTime m_lastDateAppEnteredBackground;
    QString m_clientSuiteName;
    std::shared_ptr<SignalManageable> m_signalManager;
};

} // namespace telemetrydeck
