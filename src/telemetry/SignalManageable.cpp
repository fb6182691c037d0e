#include "SignalManageable.h"

namespace telemetrydeck {

SignalManageable::~SignalManageable() = default;

} // namespace telemetrydeck
