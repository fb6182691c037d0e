#include "LogHandler.h"

#include <QLoggingCategory>

namespace telemetrydeck {

namespace {
Q_LOGGING_CATEGORY(lcTelemetryDeck, "TelemetryDeck.LogHandler")
}

std::optional<LogLevel> logLevelFromRawValue(int rawValue)
{
    if (rawValue < 0 || rawValue > 2)
        return std::nullopt;
    return static_cast<LogLevel>(rawValue);
}

QString logLevelDescription(LogLevel level)
{
    switch (level) {
    case LogLevel::debug:
        return QStringLiteral("DEBUG");
    case LogLevel::info:
        return QStringLiteral("INFO");
    case LogLevel::error:
        return QStringLiteral("ERROR");
    }
    return {};
}

void LogHandler::log(LogLevel level, const QString& message) const
{
    if (static_cast<int>(level) >= static_cast<int>(logLevel) && handler)
        handler(level, message);
}

LogHandler LogHandler::standard(LogLevel level)
{
    return LogHandler{level, [](LogLevel messageLevel, const QString& message) {
                          const QByteArray text = message.toUtf8();
                          switch (messageLevel) {
                          case LogLevel::debug:
                              qCDebug(lcTelemetryDeck, "%s", text.constData());
                              break;
                          case LogLevel::info:
                              qCInfo(lcTelemetryDeck, "%s", text.constData());
                              break;
                          case LogLevel::error:
                              qCCritical(lcTelemetryDeck, "%s", text.constData());
                              break;
                          }
                      }};
}

} // namespace telemetrydeck
