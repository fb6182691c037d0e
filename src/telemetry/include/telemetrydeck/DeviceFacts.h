#pragma once

#include <QSizeF>
#include <QString>

#include <functional>
#include <optional>

namespace telemetrydeck {

// What the client cannot learn without a graphical user interface. A GUI application
// installs a provider (DefaultSignalPayload::setDeviceFactsProvider); without one the
// figures read "N/A".
struct DeviceFacts {
    // Size of the primary screen in device-independent pixels; none without a screen.
    std::optional<QSizeF> screenSize;
    std::optional<double> screenScaleFactor;
    // "Light", "Dark" or "N/A".
    QString colorScheme = QStringLiteral("N/A");
    // "leftToRight", "rightToLeft" or "N/A" (no application object).
    QString layoutDirection = QStringLiteral("N/A");
};

// Called on the main thread whenever a default payload is built.
using DeviceFactsProvider = std::function<DeviceFacts()>;

} // namespace telemetrydeck
