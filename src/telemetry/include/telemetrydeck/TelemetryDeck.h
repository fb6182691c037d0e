#pragma once

#include "ErrorCategory.h"
#include "IdentifiableError.h"
#include "SignalPostBody.h"

#include <memory>
#include <optional>

namespace telemetrydeck {

class TelemetryManagerConfiguration;

// The client's static entry points. None of them ever fails its caller; all of them may be
// called from any thread.
//
// Typical start-up of an application (on the main thread, after QCoreApplication exists):
//     auto config = std::make_shared<TelemetryManagerConfiguration>(appID);
//     TelemetryManager::initialize(config);
//     TelemetryDeck::signal("appLaunched");
class TelemetryDeck {
public:
    static void initialize(const std::shared_ptr<TelemetryManagerConfiguration>& configuration);
    static void terminate();
    static void generateNewSession();
    static void requestImmediateSync();
    static void updateDefaultUserID(const std::optional<QString>& user);

    // The public entry point: applies the configured prefixes, warns about reserved names
    // and hands the signal to the pipeline.
    static void signal(const QString& signalName, const SignalParameters& parameters = {},
                       std::optional<double> floatValue = std::nullopt,
                       const std::optional<QString>& customUserID = std::nullopt);

    // Timed signals.
    static void startDurationSignal(const QString& signalName, const SignalParameters& parameters = {},
                                    bool includeBackgroundTime = false);
    static void stopAndSendDurationSignal(const QString& signalName, const SignalParameters& parameters = {},
                                          std::optional<double> floatValue = std::nullopt,
                                          const std::optional<QString>& customUserID = std::nullopt);
    static void cancelDurationSignal(const QString& signalName);

    // Navigation between two screen paths.
    static void navigationPathChanged(const QString& from, const QString& to,
                                      const std::optional<QString>& customUserID = std::nullopt);
    // The source is the destination of the previous navigation signal ("" when none).
    static void navigationPathChangedTo(const QString& to, const std::optional<QString>& customUserID = std::nullopt);

    // Errors.
    static void errorOccurred(const QString& id, const std::optional<ErrorCategory>& category = std::nullopt,
                              const std::optional<QString>& message = std::nullopt,
                              const SignalParameters& parameters = {}, std::optional<double> floatValue = std::nullopt,
                              const std::optional<QString>& customUserID = std::nullopt);
    // The message is the error's description.
    static void errorOccurred(const IdentifiableError& identifiableError, ErrorCategory category,
                              const SignalParameters& parameters = {}, std::optional<double> floatValue = std::nullopt,
                              const std::optional<QString>& customUserID = std::nullopt);
    static void errorOccurred(const IdentifiableError& identifiableError, ErrorCategory category,
                              const std::optional<QString>& message, const SignalParameters& parameters = {},
                              std::optional<double> floatValue = std::nullopt,
                              const std::optional<QString>& customUserID = std::nullopt);

    // Preset signals.
    static void acquiredUser(const QString& channel, const SignalParameters& parameters = {},
                             const std::optional<QString>& customUserID = std::nullopt);
    static void leadStarted(const QString& leadID, const SignalParameters& parameters = {},
                            const std::optional<QString>& customUserID = std::nullopt);
    static void leadConverted(const QString& leadID, const SignalParameters& parameters = {},
                              const std::optional<QString>& customUserID = std::nullopt);
    static void onboardingCompleted(const SignalParameters& parameters = {},
                                    const std::optional<QString>& customUserID = std::nullopt);
    static void coreFeatureUsed(const QString& featureName, const SignalParameters& parameters = {},
                                const std::optional<QString>& customUserID = std::nullopt);
    static void referralSent(int receiversCount = 1, const std::optional<QString>& kind = std::nullopt,
                             const SignalParameters& parameters = {},
                             const std::optional<QString>& customUserID = std::nullopt);
    // A rating outside 0...10 is not sent; it is logged as an error.
    static void userRatingSubmitted(int rating, const std::optional<QString>& comment = std::nullopt,
                                    const SignalParameters& parameters = {},
                                    const std::optional<QString>& customUserID = std::nullopt);
    static void paywallShown(const QString& reason, const SignalParameters& parameters = {},
                             const std::optional<QString>& customUserID = std::nullopt);
};

} // namespace telemetrydeck
