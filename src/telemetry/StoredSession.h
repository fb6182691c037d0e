#pragma once

#include <QByteArray>
#include <QList>

#include <optional>

namespace telemetrydeck {

// One recorded session: when it started and how many seconds it was active.
struct StoredSession {
    qint64 startedAt = 0; // whole seconds since 1970-01-01 UTC
    qint64 durationInSeconds = 0;

    bool operator==(const StoredSession&) const = default;

    // A JSON array of {"st": start, "dn": duration}.
    static QByteArray encode(const QList<StoredSession>& sessions);
    // None when the data is not such an array.
    static std::optional<QList<StoredSession>> decode(const QByteArray& data);
};

} // namespace telemetrydeck
