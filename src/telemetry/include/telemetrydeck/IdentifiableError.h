#pragma once

#include <QString>

namespace telemetrydeck {

// An error with a stable identifier, for error signals.
class IdentifiableError {
public:
    virtual ~IdentifiableError() = default;
    virtual QString id() const = 0;
    virtual QString localizedDescription() const = 0;
};

} // namespace telemetrydeck
