#include "TelemetryManagerConfiguration.h"

#include "HttpSession.h"
#include "MainQueue.h"
#include "SessionManager.h"
#include "TelemetryManager.h"

namespace telemetrydeck {

TelemetryManagerConfiguration::TelemetryManagerConfiguration(const QString& appID, const std::optional<QString>& salt,
                                                             const std::optional<QUrl>& baseURL,
                                                             const std::optional<QString>& namespace_)
    : m_telemetryAppID(appID)
    , m_apiBaseURL(baseURL.value_or(defaultApiBaseURL()))
    , m_namespace(namespace_)
    , m_salt(salt.value_or(QString()))
    , m_sessionID(QUuid::createUuid())
    , m_logHandler(LogHandler::standard(LogLevel::info))
{
}

QUrl TelemetryManagerConfiguration::defaultApiBaseURL()
{
    return QUrl(QStringLiteral("https://nom.telemetrydeck.com/"));
}

#define TD_LOCKED_ACCESSORS(Type, getter, setter, member)                                                              \
    Type TelemetryManagerConfiguration::getter() const                                                                 \
    {                                                                                                                  \
        std::lock_guard lock(m_mutex);                                                                                 \
        return member;                                                                                                 \
    }                                                                                                                  \
    void TelemetryManagerConfiguration::setter(const Type& value)                                                      \
    {                                                                                                                  \
        std::lock_guard lock(m_mutex);                                                                                 \
        member = value;                                                                                                \
    }

TD_LOCKED_ACCESSORS(std::optional<QString>, defaultUser, setDefaultUser, m_defaultUser)
TD_LOCKED_ACCESSORS(std::optional<QString>, defaultSignalPrefix, setDefaultSignalPrefix, m_defaultSignalPrefix)
TD_LOCKED_ACCESSORS(std::optional<QString>, defaultParameterPrefix, setDefaultParameterPrefix, m_defaultParameterPrefix)
TD_LOCKED_ACCESSORS(std::optional<LogHandler>, logHandler, setLogHandler, m_logHandler)
TD_LOCKED_ACCESSORS(QList<std::shared_ptr<const SignalEnricher>>, metadataEnrichers, setMetadataEnrichers,
                    m_metadataEnrichers)

#undef TD_LOCKED_ACCESSORS

#define TD_LOCKED_FLAG(getter, setter, member)                                                                         \
    bool TelemetryManagerConfiguration::getter() const                                                                 \
    {                                                                                                                  \
        std::lock_guard lock(m_mutex);                                                                                 \
        return member;                                                                                                 \
    }                                                                                                                  \
    void TelemetryManagerConfiguration::setter(bool value)                                                             \
    {                                                                                                                  \
        std::lock_guard lock(m_mutex);                                                                                 \
        member = value;                                                                                                \
    }

TD_LOCKED_FLAG(sendNewSessionBeganSignal, setSendNewSessionBeganSignal, m_sendNewSessionBeganSignal)
TD_LOCKED_FLAG(sendSignalsInDebugConfiguration, setSendSignalsInDebugConfiguration, m_sendSignalsInDebugConfiguration)
TD_LOCKED_FLAG(analyticsDisabled, setAnalyticsDisabled, m_analyticsDisabled)
TD_LOCKED_FLAG(reservedParameterWarningsEnabled, setReservedParameterWarningsEnabled,
               m_reservedParameterWarningsEnabled)
TD_LOCKED_FLAG(sessionStatsEnabled, setSessionStatsEnabled, m_sessionStatsEnabled)
TD_LOCKED_FLAG(showDebugLogs, setShowDebugLogs, m_showDebugLogs)

#undef TD_LOCKED_FLAG

std::function<SignalParameters()> TelemetryManagerConfiguration::defaultParameters() const
{
    std::lock_guard lock(m_mutex);
    if (!m_defaultParameters)
        return [] { return SignalParameters(); };
    return m_defaultParameters;
}

void TelemetryManagerConfiguration::setDefaultParameters(std::function<SignalParameters()> parameters)
{
    std::lock_guard lock(m_mutex);
    m_defaultParameters = std::move(parameters);
}

QUuid TelemetryManagerConfiguration::sessionID() const
{
    std::lock_guard lock(m_mutex);
    return m_sessionID;
}

void TelemetryManagerConfiguration::setSessionID(const QUuid& sessionID)
{
    bool statsEnabled = false;
    bool sendSignal = false;
    {
        std::lock_guard lock(m_mutex);
        m_sessionID = sessionID;
        statsEnabled = m_sessionStatsEnabled;
        sendSignal = m_sendNewSessionBeganSignal;
    }
    if (isSilenced())
        return;
    if (statsEnabled) {
        // The session statistics belong to the main thread.
        if (MainQueue::isCurrent())
            SessionManager::shared().beginSession();
        else
            MainQueue::async([] { SessionManager::shared().beginSession(); });
    }
    if (sendSignal)
        TelemetryManager::emitSignal(QStringLiteral("TelemetryDeck.Session.started"), {});
}

std::shared_ptr<HttpSession> TelemetryManagerConfiguration::urlSession() const
{
    std::lock_guard lock(m_mutex);
    return m_urlSession ? m_urlSession : HttpSession::shared();
}

void TelemetryManagerConfiguration::setUrlSession(std::shared_ptr<HttpSession> session)
{
    std::lock_guard lock(m_mutex);
    m_urlSession = std::move(session);
}

bool TelemetryManagerConfiguration::testMode() const
{
    std::lock_guard lock(m_mutex);
    return m_testMode.value_or(false);
}

void TelemetryManagerConfiguration::setTestMode(bool testMode)
{
    std::lock_guard lock(m_mutex);
    m_testMode = testMode;
}

bool TelemetryManagerConfiguration::previewEnvironmentDetected()
{
    return qgetenv("XCODE_RUNNING_FOR_PREVIEWS") == "1";
}

bool TelemetryManagerConfiguration::doNotTrackDetected()
{
    return qgetenv("DO_NOT_TRACK") == "1";
}

bool TelemetryManagerConfiguration::isSilenced() const
{
    return swiftUIPreviewMode() || analyticsDisabled() || doNotTrackDetected();
}

bool TelemetryManagerConfiguration::swiftUIPreviewMode() const
{
    {
        std::lock_guard lock(m_mutex);
        if (m_swiftUIPreviewMode)
            return *m_swiftUIPreviewMode;
    }
    return previewEnvironmentDetected();
}

void TelemetryManagerConfiguration::setSwiftUIPreviewMode(bool previewMode)
{
    std::lock_guard lock(m_mutex);
    m_swiftUIPreviewMode = previewMode;
}

void TelemetryManagerConfiguration::log(LogLevel level, const QString& message) const
{
    if (const std::optional<LogHandler> handler = logHandler())
        handler->log(level, message);
}

std::chrono::milliseconds TelemetryManagerConfiguration::sendTimerInterval() const
{
    std::lock_guard lock(m_mutex);
    return m_sendTimerInterval;
}

void TelemetryManagerConfiguration::setSendTimerInterval(std::chrono::milliseconds interval)
{
    std::lock_guard lock(m_mutex);
    m_sendTimerInterval = interval.count() > 0 ? interval : std::chrono::milliseconds(10'000);
}

} // namespace telemetrydeck
