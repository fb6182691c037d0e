#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace telemetrydeck {

// The free trial whose conversion is being watched.
struct StoredTrial {
    QString productID;
    quint64 originalTransactionID = 0;

    bool operator==(const StoredTrial&) const = default;

    // {"productID": ..., "originalTransactionID": ...}
    QByteArray encode() const;
    static std::optional<StoredTrial> decode(const QByteArray& data);
};

} // namespace telemetrydeck
