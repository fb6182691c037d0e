#pragma once

#include <QString>

#include <functional>
#include <optional>

namespace telemetrydeck {

// Severity of a diagnostic message of the client.
enum class LogLevel : int { debug = 0, info = 1, error = 2 };

// The level for a raw value, or none above 2 (and below 0).
std::optional<LogLevel> logLevelFromRawValue(int rawValue);
// "DEBUG", "INFO", "ERROR".
QString logLevelDescription(LogLevel level);

// Receives the client's diagnostic messages at or above `logLevel`. The handler may be
// called from any thread, so it must be thread-safe.
struct LogHandler {
    LogLevel logLevel = LogLevel::info;
    std::function<void(LogLevel, const QString&)> handler;

    void log(LogLevel level, const QString& message) const;

    // Sends messages to Qt's logging (category "TelemetryDeck.LogHandler"), which ends up
    // in the journal or on standard error.
    static LogHandler standard(LogLevel level);
};

} // namespace telemetrydeck
