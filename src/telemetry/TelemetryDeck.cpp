#include "TelemetryDeck.h"

#include "DurationSignalTracker.h"
#include "NavigationStatus.h"
#include "TelemetryManager.h"
#include "TelemetryManagerConfiguration.h"

namespace telemetrydeck {

namespace {

SignalParameters mergedOver(SignalParameters own, const SignalParameters& extra)
{
    for (auto it = extra.cbegin(); it != extra.cend(); ++it)
        own.insert(it.key(), it.value());
    return own;
}

} // namespace

void TelemetryDeck::initialize(const std::shared_ptr<TelemetryManagerConfiguration>& configuration)
{
    TelemetryManager::initialize(configuration);
}

void TelemetryDeck::terminate()
{
    TelemetryManager::terminate();
}

void TelemetryDeck::generateNewSession()
{
    TelemetryManager::generateNewSession();
}

void TelemetryDeck::requestImmediateSync()
{
    TelemetryManager::requestImmediateSync();
}

void TelemetryDeck::updateDefaultUserID(const std::optional<QString>& user)
{
    TelemetryManager::updateDefaultUser(user);
}

void TelemetryDeck::signal(const QString& signalName, const SignalParameters& parameters,
                           std::optional<double> floatValue, const std::optional<QString>& customUserID)
{
    const std::shared_ptr<TelemetryManager> manager = TelemetryManager::shared();
    if (!manager)
        return;
    const std::shared_ptr<TelemetryManagerConfiguration> configuration = manager->configuration();
    if (configuration->isSilenced())
        return;

    const QString combinedName = configuration->defaultSignalPrefix().value_or(QString()) + signalName;
    const SignalParameters prefixed = TelemetryManager::applyParameterPrefix(parameters, *configuration);

    if (configuration->reservedParameterWarningsEnabled()) {
        const QString lowered = combinedName.toLower();
        if (lowered.startsWith(QLatin1StringView("telemetrydeck."))) {
            configuration->log(LogLevel::error,
                               QStringLiteral("Sending signal with reserved prefix 'TelemetryDeck.' will cause "
                                              "unexpected behavior. Please use another prefix instead."));
        } else if (TelemetryManager::reservedParameterKeys().contains(lowered)) {
            configuration->log(
                LogLevel::error,
                QStringLiteral("Sending signal with reserved name '") + combinedName
                    + QStringLiteral("' will cause unexpected behavior. Please use another name instead."));
        }
        for (auto it = prefixed.cbegin(); it != prefixed.cend(); ++it)
            TelemetryManager::warnAboutReservedKey(it.key(), *configuration);
    }
    TelemetryManager::emitSignal(combinedName, prefixed, floatValue, customUserID);
}

void TelemetryDeck::startDurationSignal(const QString& signalName, const SignalParameters& parameters,
                                        bool includeBackgroundTime)
{
    DurationSignalTracker::shared().startTracking(signalName, parameters, includeBackgroundTime);
}

void TelemetryDeck::stopAndSendDurationSignal(const QString& signalName, const SignalParameters& parameters,
                                              std::optional<double> floatValue,
                                              const std::optional<QString>& customUserID)
{
    const std::optional<SignalParameters> tracked = DurationSignalTracker::shared().stopTracking(signalName);
    if (!tracked)
        return;
    TelemetryManager::emitSignal(signalName, mergedOver(*tracked, parameters), floatValue, customUserID);
}

void TelemetryDeck::cancelDurationSignal(const QString& signalName)
{
    DurationSignalTracker::shared().cancel(signalName);
}

void TelemetryDeck::navigationPathChanged(const QString& from, const QString& to,
                                          const std::optional<QString>& customUserID)
{
    NavigationStatus::setPreviousNavigationPath(to);
    TelemetryManager::emitSignal(
        QStringLiteral("TelemetryDeck.Navigation.pathChanged"),
        {{QStringLiteral("TelemetryDeck.Navigation.schemaVersion"), QStringLiteral("1")},
         {QStringLiteral("TelemetryDeck.Navigation.identifier"), from + QStringLiteral(" -> ") + to},
         {QStringLiteral("TelemetryDeck.Navigation.sourcePath"), from},
         {QStringLiteral("TelemetryDeck.Navigation.destinationPath"), to}},
        std::nullopt, customUserID);
}

void TelemetryDeck::navigationPathChangedTo(const QString& to, const std::optional<QString>& customUserID)
{
    navigationPathChanged(NavigationStatus::previousNavigationPath().value_or(QString()), to, customUserID);
}

void TelemetryDeck::errorOccurred(const QString& id, const std::optional<ErrorCategory>& category,
                                  const std::optional<QString>& message, const SignalParameters& parameters,
                                  std::optional<double> floatValue, const std::optional<QString>& customUserID)
{
    SignalParameters own{{QStringLiteral("TelemetryDeck.Error.id"), id}};
    if (category)
        own.insert(QStringLiteral("TelemetryDeck.Error.category"), errorCategoryRawValue(*category));
    if (message)
        own.insert(QStringLiteral("TelemetryDeck.Error.message"), *message);
    TelemetryManager::emitSignal(QStringLiteral("TelemetryDeck.Error.occurred"), mergedOver(own, parameters),
                                 floatValue, customUserID);
}

void TelemetryDeck::errorOccurred(const IdentifiableError& identifiableError, ErrorCategory category,
                                  const SignalParameters& parameters, std::optional<double> floatValue,
                                  const std::optional<QString>& customUserID)
{
    errorOccurred(identifiableError.id(), category, identifiableError.localizedDescription(), parameters, floatValue,
                  customUserID);
}

void TelemetryDeck::errorOccurred(const IdentifiableError& identifiableError, ErrorCategory category,
                                  const std::optional<QString>& message, const SignalParameters& parameters,
                                  std::optional<double> floatValue, const std::optional<QString>& customUserID)
{
    errorOccurred(identifiableError.id(), std::optional<ErrorCategory>(category), message, parameters, floatValue,
                  customUserID);
}

void TelemetryDeck::acquiredUser(const QString& channel, const SignalParameters& parameters,
                                 const std::optional<QString>& customUserID)
{
    TelemetryManager::emitSignal(
        QStringLiteral("TelemetryDeck.Acquisition.userAcquired"),
        mergedOver({{QStringLiteral("TelemetryDeck.Acquisition.channel"), channel}}, parameters), std::nullopt,
        customUserID);
}

void TelemetryDeck::leadStarted(const QString& leadID, const SignalParameters& parameters,
                                const std::optional<QString>& customUserID)
{
    TelemetryManager::emitSignal(QStringLiteral("TelemetryDeck.Acquisition.leadStarted"),
                                 mergedOver({{QStringLiteral("TelemetryDeck.Acquisition.leadID"), leadID}}, parameters),
                                 std::nullopt, customUserID);
}

void TelemetryDeck::leadConverted(const QString& leadID, const SignalParameters& parameters,
                                  const std::optional<QString>& customUserID)
{
    TelemetryManager::emitSignal(QStringLiteral("TelemetryDeck.Acquisition.leadConverted"),
                                 mergedOver({{QStringLiteral("TelemetryDeck.Acquisition.leadID"), leadID}}, parameters),
                                 std::nullopt, customUserID);
}

void TelemetryDeck::onboardingCompleted(const SignalParameters& parameters, const std::optional<QString>& customUserID)
{
    TelemetryManager::emitSignal(QStringLiteral("TelemetryDeck.Activation.onboardingCompleted"), parameters,
                                 std::nullopt, customUserID);
}

void TelemetryDeck::coreFeatureUsed(const QString& featureName, const SignalParameters& parameters,
                                    const std::optional<QString>& customUserID)
{
    TelemetryManager::emitSignal(
        QStringLiteral("TelemetryDeck.Activation.coreFeatureUsed"),
        mergedOver({{QStringLiteral("TelemetryDeck.Activation.featureName"), featureName}}, parameters), std::nullopt,
        customUserID);
}

void TelemetryDeck::referralSent(int receiversCount, const std::optional<QString>& kind,
                                 const SignalParameters& parameters, const std::optional<QString>& customUserID)
{
    SignalParameters own{{QStringLiteral("TelemetryDeck.Referral.receiversCount"), QString::number(receiversCount)}};
    if (kind)
        own.insert(QStringLiteral("TelemetryDeck.Referral.kind"), *kind);
    TelemetryManager::emitSignal(QStringLiteral("TelemetryDeck.Referral.sent"), mergedOver(own, parameters),
                                 std::nullopt, customUserID);
}

void TelemetryDeck::userRatingSubmitted(int rating, const std::optional<QString>& comment,
                                        const SignalParameters& parameters, const std::optional<QString>& customUserID)
{
    if (rating < 0 || rating > 10) {
        if (const std::shared_ptr<TelemetryManager> manager = TelemetryManager::shared())
            manager->configuration()->log(LogLevel::error, QStringLiteral("Rating must be between 0 and 10"));
        return;
    }
    SignalParameters own{{QStringLiteral("TelemetryDeck.Referral.ratingValue"), QString::number(rating)}};
    if (comment)
        own.insert(QStringLiteral("TelemetryDeck.Referral.ratingComment"), *comment);
    TelemetryManager::emitSignal(QStringLiteral("TelemetryDeck.Referral.userRatingSubmitted"),
                                 mergedOver(own, parameters), std::nullopt, customUserID);
}

void TelemetryDeck::paywallShown(const QString& reason, const SignalParameters& parameters,
                                 const std::optional<QString>& customUserID)
{
    TelemetryManager::emitSignal(
        QStringLiteral("TelemetryDeck.Revenue.paywallShown"),
        mergedOver({{QStringLiteral("TelemetryDeck.Revenue.paywallShowReason"), reason}}, parameters), std::nullopt,
        customUserID);
}

} // namespace telemetrydeck
