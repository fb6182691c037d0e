#pragma once

#include "LogHandler.h"
#include "SignalEnricher.h"
#include "SignalPostBody.h"

#include <QList>
#include <QString>
#include <QUrl>
#include <QUuid>

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

namespace telemetrydeck {

class HttpSession;

// The analytics configuration, shared by reference between the manager, the signal
// pipeline and the session statistics: a change made through one reference is seen by all.
// Every accessor is thread-safe.
class TelemetryManagerConfiguration {
public:
    explicit TelemetryManagerConfiguration(const QString& appID, const std::optional<QString>& salt = std::nullopt,
                                           const std::optional<QUrl>& baseURL = std::nullopt,
                                           const std::optional<QString>& namespace_ = std::nullopt);

    // "https://nom.telemetrydeck.com/"
    static QUrl defaultApiBaseURL();

    QString telemetryAppID() const { return m_telemetryAppID; }
    QUrl apiBaseURL() const { return m_apiBaseURL; }
    std::optional<QString> namespace_() const { return m_namespace; }
    QString salt() const { return m_salt; }

    std::optional<QString> defaultUser() const;
    void setDefaultUser(const std::optional<QString>& user);
    std::optional<QString> defaultSignalPrefix() const;
    void setDefaultSignalPrefix(const std::optional<QString>& prefix);
    std::optional<QString> defaultParameterPrefix() const;
    void setDefaultParameterPrefix(const std::optional<QString>& prefix);
    // Evaluated anew for every signal, on the sender's thread.
    std::function<SignalParameters()> defaultParameters() const;
    void setDefaultParameters(std::function<SignalParameters()> parameters);

    bool sendNewSessionBeganSignal() const;
    void setSendNewSessionBeganSignal(bool send);

    QUuid sessionID() const;
    // Stores the identifier and starts a new session (session statistics and the
    // "TelemetryDeck.Session.started" signal, as enabled).
    void setSessionID(const QUuid& sessionID);

    std::shared_ptr<HttpSession> urlSession() const;
    void setUrlSession(std::shared_ptr<HttpSession> session);

    bool sendSignalsInDebugConfiguration() const;
    void setSendSignalsInDebugConfiguration(bool send);
    bool telemetryAllowDebugBuilds() const { return sendSignalsInDebugConfiguration(); }
    void setTelemetryAllowDebugBuilds(bool allow) { setSendSignalsInDebugConfiguration(allow); }

    bool testMode() const;
    void setTestMode(bool testMode);
    // True while signals must not be sent because the process runs as a preview
    // ("XCODE_RUNNING_FOR_PREVIEWS" = "1"), unless set explicitly.
    bool swiftUIPreviewMode() const;
    void setSwiftUIPreviewMode(bool previewMode);
    static bool previewEnvironmentDetected();
    // The user asked every program not to track them: DO_NOT_TRACK=1.
    static bool doNotTrackDetected();
    // No signal is taken, no record sent or saved and no session counted: preview mode,
    // analytics disabled, or DO_NOT_TRACK=1.
    bool isSilenced() const;

    bool analyticsDisabled() const;
    void setAnalyticsDisabled(bool disabled);
    bool reservedParameterWarningsEnabled() const;
    void setReservedParameterWarningsEnabled(bool enabled);
    bool sessionStatsEnabled() const;
    void setSessionStatsEnabled(bool enabled);
    bool showDebugLogs() const;
    void setShowDebugLogs(bool show);

    std::optional<LogHandler> logHandler() const;
    void setLogHandler(const std::optional<LogHandler>& handler);
    // Logs through the log handler, if there is one.
    void log(LogLevel level, const QString& message) const;

    QList<std::shared_ptr<const SignalEnricher>> metadataEnrichers() const;
    void setMetadataEnrichers(const QList<std::shared_ptr<const SignalEnricher>>& enrichers);

    // Period of the upload timer, 10 seconds unless changed before the manager is built.
    std::chrono::milliseconds sendTimerInterval() const;
    void setSendTimerInterval(std::chrono::milliseconds interval);

private:
    const QString m_telemetryAppID;
    const QUrl m_apiBaseURL;
    const std::optional<QString> m_namespace;
    const QString m_salt;

    mutable std::mutex m_mutex;
    std::optional<QString> m_defaultUser;
    std::optional<QString> m_defaultSignalPrefix;
    std::optional<QString> m_defaultParameterPrefix;
    std::function<SignalParameters()> m_defaultParameters;
    bool m_sendNewSessionBeganSignal = true;
    QUuid m_sessionID;
    std::shared_ptr<HttpSession> m_urlSession;
    bool m_sendSignalsInDebugConfiguration = false;
    std::optional<bool> m_testMode;
    std::optional<bool> m_swiftUIPreviewMode;
    bool m_analyticsDisabled = false;
    bool m_reservedParameterWarningsEnabled = true;
    bool m_sessionStatsEnabled = true;
    bool m_showDebugLogs = false;
    std::optional<LogHandler> m_logHandler;
    QList<std::shared_ptr<const SignalEnricher>> m_metadataEnrichers;
    std::chrono::milliseconds m_sendTimerInterval{10'000};
};

} // namespace telemetrydeck
