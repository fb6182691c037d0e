#pragma once

#include "SignalPostBody.h"

#include <memory>
#include <optional>

namespace telemetrydeck {

class TelemetryManagerConfiguration;

// What the manager needs of a signal pipeline.
class SignalManageable {
public:
    virtual ~SignalManageable();
    // Called on the main thread.
    virtual void enqueueSignal(const QString& signalName, const SignalParameters& parameters,
                               std::optional<double> floatValue, const std::optional<QString>& customUserID,
                               const std::shared_ptr<TelemetryManagerConfiguration>& configuration) = 0;
    // Sends at most one batch.
    virtual void flushBatch() = 0;
};

} // namespace telemetrydeck
