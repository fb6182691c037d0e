#include "StoredSession.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace telemetrydeck {

QByteArray StoredSession::encode(const QList<StoredSession>& sessions)
{
    QJsonArray array;
    for (const StoredSession& session : sessions)
        array.append(
            QJsonObject{{QStringLiteral("st"), session.startedAt}, {QStringLiteral("dn"), session.durationInSeconds}});
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

std::optional<QList<StoredSession>> StoredSession::decode(const QByteArray& data)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(data, &error);
    if (error.error != QJsonParseError::NoError || !document.isArray())
        return std::nullopt;
    QList<StoredSession> sessions;
    for (const QJsonValue& element : document.array()) {
        const QJsonObject object = element.toObject();
        const QJsonValue start = object.value(QLatin1StringView("st"));
        const QJsonValue duration = object.value(QLatin1StringView("dn"));
        if (!element.isObject() || !start.isDouble() || !duration.isDouble())
            return std::nullopt;
        const double startSeconds = start.toDouble();
        const double durationSeconds = duration.toDouble();
        // Durations are whole numbers; starts are seconds and may carry a fraction.
        if (!std::isfinite(startSeconds) || std::fabs(startSeconds) > 1e15
            || durationSeconds != std::floor(durationSeconds) || std::fabs(durationSeconds) > 1e15)
            return std::nullopt;
        sessions.append({static_cast<qint64>(std::floor(startSeconds)), static_cast<qint64>(durationSeconds)});
    }
    return sessions;
}

} // namespace telemetrydeck
