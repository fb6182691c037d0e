#pragma once

#include "SignalPostBody.h"

#include <optional>

namespace telemetrydeck {

// Supplies extra parameters for every signal. Called on a background thread.
class SignalEnricher {
public:
    virtual ~SignalEnricher() = default;
    virtual SignalParameters extraParameters(const QString& signalType, const std::optional<QString>& customUserID,
                                             std::optional<double> floatValue) const = 0;
};

} // namespace telemetrydeck
