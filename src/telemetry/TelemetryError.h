#pragma once

#include <QString>

namespace telemetrydeck {

// Why an upload did not go through.
class TelemetryError {
public:
    enum class Kind { invalidStatusCode, unauthorised, forbidden, payloadTooLarge, invalidEndpointUrl };

    static TelemetryError invalidStatusCode(int statusCode)
    {
        return TelemetryError(Kind::invalidStatusCode, statusCode);
    }
    static TelemetryError unauthorised() { return TelemetryError(Kind::unauthorised); }
    static TelemetryError forbidden() { return TelemetryError(Kind::forbidden); }
    static TelemetryError payloadTooLarge() { return TelemetryError(Kind::payloadTooLarge); }
    static TelemetryError invalidEndpointUrl() { return TelemetryError(Kind::invalidEndpointUrl); }

    Kind kind() const { return m_kind; }
    int statusCode() const { return m_statusCode; }
    QString localizedDescription() const;

    bool operator==(const TelemetryError&) const = default;

private:
    explicit TelemetryError(Kind kind, int statusCode = 0)
        : m_kind(kind)
        , m_statusCode(statusCode)
    {
    }

    Kind m_kind;
    int m_statusCode;
};

} // namespace telemetrydeck
