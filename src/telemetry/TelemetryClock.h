#pragma once

#include <QDateTime>

#include <functional>

namespace telemetrydeck {

// The client's source of the current time. Tests replace it to move time without waiting.
class TelemetryClock {
public:
    // The current moment in UTC.
    static QDateTime now();
    // Replaces the source; an empty function restores the system clock.
    static void setNowProvider(std::function<QDateTime()> provider);
};

} // namespace telemetrydeck
