#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QMap>
#include <QString>

#include <optional>

namespace telemetrydeck {

using SignalParameters = QMap<QString, QString>;

// The wire record of one signal.
struct SignalPostBody {
    QDateTime receivedAt;
    QString appID;
    QString clientUser;
    QString sessionID;
    QString type;
    std::optional<double> floatValue;
    SignalParameters payload;
    QString isTestMode;

    bool operator==(const SignalPostBody& other) const;

    // Upload encoding: a JSON array of records in field order, dates as
    // "yyyy-MM-dd'T'HH:mm:ss+0000", no whitespace.
    static QByteArray encodeForUpload(const QList<SignalPostBody>& records);
    // Cache encoding: the same array with "receivedAt" as seconds since 2001-01-01 UTC.
    static QByteArray encodeForCache(const QList<SignalPostBody>& records);
    // One record in the cache encoding (an element of the array).
    QByteArray cacheJson() const;
    // Decodes the cache encoding; none when the data is not a well-formed list of records.
    static std::optional<QList<SignalPostBody>> decodeCache(const QByteArray& data);

    // Seconds between 1970-01-01 and 2001-01-01, the cache encoding's reference date.
    static constexpr qint64 referenceDateOffsetSeconds = 978'307'200;

    QString description() const;
};

} // namespace telemetrydeck
