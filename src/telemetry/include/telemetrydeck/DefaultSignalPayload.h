#pragma once

#include "DeviceFacts.h"
#include "SignalPostBody.h"

#include <QDateTime>

namespace telemetrydeck {

// Builds the parameter map that every record starts from: application, device, locale,
// calendar and retention figures.
class DefaultSignalPayload {
public:
    // Built anew for every signal; call on the main thread.
    static SignalParameters parameters();

    static void setDeviceFactsProvider(DeviceFactsProvider provider);

    // "UTC", the sign, whole hours and, when not zero, ":" and two-digit minutes.
    static QString timeZoneText(int offsetFromUtcSeconds);
    // The "TelemetryDeck.Calendar.*" entries for a local date and time.
    static SignalParameters calendarParameters(const QDateTime& localNow);
    // A decimal with at least one fractional digit: 1080.0, 1.25.
    static QString decimalText(double value);
    // "<OS> major.minor.patch" and its shorter forms from a release text such as
    // "6.1.0-18-amd64".
    struct SystemVersion {
        QString full;
        QString major;
        QString majorMinor;
    };
    static SystemVersion systemVersion(const QString& operatingSystem, const QString& release);
};

} // namespace telemetrydeck
