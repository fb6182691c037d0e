#include "TelemetryManager.h"

#include "MainQueue.h"
#include "SessionManager.h"
#include "Sha256.h"
#include "SignalManager.h"
#include "TelemetryClock.h"
#include "TelemetryDeck.h"
#include "TelemetryManagerConfiguration.h"
#include "TelemetryManagerStorage.h"
#include "UtilityQueue.h"

#include <QUuid>

#include <mutex>

namespace telemetrydeck {

namespace {

std::mutex& initializationMutex()
{
    static std::mutex mutex;
    return mutex;
}

constexpr qint64 immediateSyncGuardMilliseconds = 10'000;
constexpr qint64 sessionRotationMilliseconds = 300'000;

} // namespace

TelemetryManager::TelemetryManager(std::shared_ptr<TelemetryManagerConfiguration> configuration)
    : m_configuration(std::move(configuration))
    , m_clientSuiteName(clientSuiteName(m_configuration->telemetryAppID()))
    , m_signalManager(SignalManager::create(m_configuration))
{
}

TelemetryManager::~TelemetryManager() = default;

void TelemetryManager::retire(bool discardQueue)
{
    if (auto pipeline = std::dynamic_pointer_cast<SignalManager>(m_signalManager))
        discardQueue ? pipeline->discard() : pipeline->retire();
}

void TelemetryManager::initialize(const std::shared_ptr<TelemetryManagerConfiguration>& configuration)
{
    if (!configuration)
        return;
    if (MainQueue::isCurrent())
        MainQueue::prepare();
    std::weak_ptr<TelemetryManager> stored;
    {
        std::lock_guard lock(initializationMutex());
        // The old pipeline writes its queue first, so that the new one finds it in the file;
        // a silenced successor wants nothing of it.
        if (std::shared_ptr<TelemetryManager> previous = TelemetryManagerStorage::instance().exchange(nullptr))
            previous->retire(configuration->isSilenced());
        std::shared_ptr<TelemetryManager> manager(new TelemetryManager(configuration));
        stored = manager;
        TelemetryManagerStorage::instance().exchange(std::move(manager));
    }
    if (configuration->isSilenced()) {
        SessionManager::endCurrentSession();
        return;
    }
    // The first session starts half a second later, unless this manager has been replaced by
    // then (its successor starts its own).
    MainQueue::asyncAfter(500, [stored] {
        const std::shared_ptr<TelemetryManager> manager = stored.lock();
        if (manager && manager == TelemetryManagerStorage::instance().manager())
            TelemetryManager::generateNewSession();
    });
}

void TelemetryManager::terminate()
{
    std::lock_guard lock(initializationMutex());
    if (std::shared_ptr<TelemetryManager> previous = TelemetryManagerStorage::instance().exchange(nullptr))
        previous->retire(false);
    SessionManager::endCurrentSession();
}

bool TelemetryManager::isInitialized()
{
    return static_cast<bool>(TelemetryManagerStorage::instance().manager());
}

std::shared_ptr<TelemetryManager> TelemetryManager::shared()
{
    if (std::shared_ptr<TelemetryManager> manager = TelemetryManagerStorage::instance().manager())
        return manager;
    if (TelemetryManagerConfiguration::previewEnvironmentDetected()) {
        initialize(std::make_shared<TelemetryManagerConfiguration>(QString()));
        return TelemetryManagerStorage::instance().manager();
    }
    return nullptr;
}

void TelemetryManager::send(const QString& signalName, const SignalParameters& parameters)
{
    TelemetryDeck::signal(signalName, parameters);
}

void TelemetryManager::send(const QString& signalName, const std::optional<QString>& customUserID,
                            const SignalParameters& parameters)
{
    TelemetryDeck::signal(signalName, parameters, std::nullopt, customUserID);
}

void TelemetryManager::send(const QString& signalName, const std::optional<QString>& customUserID,
                            std::optional<double> floatValue, const SignalParameters& parameters)
{
    TelemetryDeck::signal(signalName, parameters, floatValue, customUserID);
}

void TelemetryManager::updateDefaultUser(const std::optional<QString>& user)
{
    if (std::shared_ptr<TelemetryManager> manager = shared())
        manager->configuration()->setDefaultUser(user);
}

void TelemetryManager::generateNewSession()
{
    if (std::shared_ptr<TelemetryManager> manager = shared())
        manager->configuration()->setSessionID(QUuid::createUuid());
}

void TelemetryManager::requestImmediateSync()
{
    std::shared_ptr<TelemetryManager> manager = shared();
    if (!manager)
        return;
    {
        // Checked and updated in one step, so that two racing calls cause one flush.
        std::unique_lock locker(manager->m_lock);
        const QDateTime now = TelemetryClock::now();
        const QDateTime& last = manager->m_lastTimeImmediateSyncRequested;
        if (last.isValid() && last.msecsTo(now) <= immediateSyncGuardMilliseconds)
            return;
        manager->m_lastTimeImmediateSyncRequested = now;
    }
    std::weak_ptr<TelemetryManager> weakManager = manager;
    UtilityQueue::asyncAfter(50, [weakManager] {
        if (std::shared_ptr<TelemetryManager> strong = weakManager.lock())
            strong->signalManager()->flushBatch();
    });
}

QString TelemetryManager::hashedDefaultUser()
{
    std::shared_ptr<TelemetryManager> manager = shared();
    if (!manager)
        return {};
    const std::shared_ptr<TelemetryManagerConfiguration> configuration = manager->configuration();
    return Sha256::hex(resolveDefaultUser(*configuration), configuration->salt());
}

void TelemetryManager::didEnterBackground()
{
    if (std::shared_ptr<TelemetryManager> manager = shared()) {
        std::unique_lock locker(manager->m_lock);
        manager->m_lastDateAppEnteredBackground = TelemetryClock::now();
    }
}

void TelemetryManager::willEnterForeground()
{
    std::shared_ptr<TelemetryManager> manager = shared();
    if (!manager)
        return;
    QDateTime enteredBackground;
    std::shared_ptr<TelemetryManagerConfiguration> configuration;
    {
        std::shared_lock locker(manager->m_lock);
        enteredBackground = manager->m_lastDateAppEnteredBackground;
        configuration = manager->m_configuration;
    }
    if (enteredBackground.isValid() && enteredBackground.msecsTo(TelemetryClock::now()) <= sessionRotationMilliseconds)
        return;
    configuration->setSessionID(QUuid::createUuid());
}

std::shared_ptr<TelemetryManagerConfiguration> TelemetryManager::configuration() const
{
    std::shared_lock locker(m_lock);
    return m_configuration;
}

void TelemetryManager::setConfiguration(const std::shared_ptr<TelemetryManagerConfiguration>& configuration)
{
    if (!configuration)
        return;
    const QString suiteName = clientSuiteName(configuration->telemetryAppID());
    std::unique_lock locker(m_lock);
    m_configuration = configuration;
    m_clientSuiteName = suiteName;
}

const QSet<QString>& TelemetryManager::reservedParameterKeys()
{
    static const QSet<QString> keys = [] {
        const char* const names[] = {"type",
                                     "clientUser",
                                     "appID",
                                     "sessionID",
                                     "floatValue",
                                     "newSessionBegan",
                                     "platform",
                                     "systemVersion",
                                     "majorSystemVersion",
                                     "majorMinorSystemVersion",
                                     "appVersion",
                                     "buildNumber",
                                     "isSimulator",
                                     "isDebug",
                                     "isTestFlight",
                                     "isAppStore",
                                     "modelName",
                                     "architecture",
                                     "operatingSystem",
                                     "targetEnvironment",
                                     "locale",
                                     "region",
                                     "appLanguage",
                                     "preferredLanguage",
                                     "telemetryClientVersion"};
        QSet<QString> set;
        for (const char* name : names)
            set.insert(QString::fromLatin1(name).toLower());
        return set;
    }();
    return keys;
}

SignalParameters TelemetryManager::applyParameterPrefix(const SignalParameters& parameters,
                                                        const TelemetryManagerConfiguration& configuration)
{
    const QString prefix = configuration.defaultParameterPrefix().value_or(QString());
    if (prefix.isEmpty())
        return parameters;
    SignalParameters prefixed;
    for (auto it = parameters.cbegin(); it != parameters.cend(); ++it) {
        if (it.key().startsWith(QLatin1StringView("TelemetryDeck.")))
            prefixed.insert(it.key(), it.value());
        else
            prefixed.insert(prefix + it.key(), it.value());
    }
    return prefixed;
}

void TelemetryManager::warnAboutReservedKey(const QString& key, const TelemetryManagerConfiguration& configuration)
{
    const QString lowered = key.toLower();
    if (lowered.startsWith(QLatin1StringView("telemetrydeck."))) {
        configuration.log(LogLevel::error,
                          QStringLiteral("Sending parameter with reserved key prefix 'TelemetryDeck.' will cause "
                                         "unexpected behavior. Please use another prefix instead."));
    } else if (reservedParameterKeys().contains(lowered)) {
        configuration.log(LogLevel::error,
                          QStringLiteral("Sending parameter with reserved key '") + key
                              + QStringLiteral("' will cause unexpected behavior. Please use another key instead."));
    }
}

void TelemetryManager::emitSignal(const QString& signalName, const SignalParameters& parameters,
                                  std::optional<double> floatValue, const std::optional<QString>& customUserID)
{
    const std::shared_ptr<TelemetryManager> manager = shared();
    if (!manager)
        return;
    const std::shared_ptr<TelemetryManagerConfiguration> configuration = manager->configuration();
    if (configuration->isSilenced())
        return;

    const SignalParameters defaults = applyParameterPrefix(configuration->defaultParameters()(), *configuration);
    SignalParameters combined = defaults;
    for (auto it = parameters.cbegin(); it != parameters.cend(); ++it)
        combined.insert(it.key(), it.value());
    for (auto it = defaults.cbegin(); it != defaults.cend(); ++it)
        warnAboutReservedKey(it.key(), *configuration);

    std::shared_ptr<SignalManageable> pipeline = manager->signalManager();
    MainQueue::async([pipeline, signalName, combined, floatValue, customUserID, configuration] {
        pipeline->enqueueSignal(signalName, combined, floatValue, customUserID, configuration);
    });
}

QString TelemetryManager::clientSuiteName(const QString& appID)
{
    return QStringLiteral("com.telemetrydeck.") + Sha256::hex(appID).right(12);
}

std::unique_ptr<QSettings> TelemetryManager::clientSuite()
{
    const std::shared_ptr<TelemetryManager> manager = TelemetryManagerStorage::instance().manager();
    if (!manager)
        return nullptr;
    QString name;
    {
        std::shared_lock locker(manager->m_lock);
        name = manager->m_clientSuiteName;
    }
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, name);
}

QString TelemetryManager::resolveDefaultUser(const TelemetryManagerConfiguration& configuration)
{
    if (const std::optional<QString> user = configuration.defaultUser())
        return *user;
    static std::mutex resolutionMutex; // two first signals on two threads must agree
    std::lock_guard lock(resolutionMutex);
    const std::unique_ptr<QSettings> suite = clientSuite();
    if (suite) {
        const QVariant stored = suite->value(QStringLiteral("defaultUserIdentifier"));
        if (stored.typeId() == QMetaType::QString && !stored.toString().isEmpty())
            return stored.toString();
    }
    const QString identifier = QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
    if (suite)
        suite->setValue(QStringLiteral("defaultUserIdentifier"), identifier);
    return identifier;
}

} // namespace telemetrydeck
