#pragma once

namespace tolvane {

// Gives the analytics client what only a GUI application knows: the primary screen's size
// and scale, the colour scheme of the palette and the layout direction. Also forwards the
// application's active and inactive states, so that only active time counts in sessions.
// Call once on the main thread after the QGuiApplication exists and before
// TelemetryManager::initialize.
void installTelemetryDeviceInfo();

} // namespace tolvane
