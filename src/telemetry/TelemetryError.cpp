#include "TelemetryError.h"

namespace telemetrydeck {

QString TelemetryError::localizedDescription() const
{
    switch (m_kind) {
    case Kind::invalidStatusCode:
        return QStringLiteral("Invalid status code ") + QString::number(m_statusCode);
    case Kind::unauthorised:
        return QStringLiteral("Unauthorized (401)");
    case Kind::forbidden:
        return QStringLiteral("Forbidden (403)");
    case Kind::payloadTooLarge:
        return QStringLiteral("Payload is too large (413)");
    case Kind::invalidEndpointUrl:
        return QStringLiteral("Invalid endpoint URL");
    }
    return {};
}

} // namespace telemetrydeck
