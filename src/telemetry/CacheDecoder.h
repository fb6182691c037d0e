#pragma once

#include "SignalPostBody.h"

#include <QByteArray>
#include <QHash>

#include <optional>

namespace telemetrydeck {

// Reads the cache encoding straight into records. Texts that repeat from record to record
// (payload keys, most payload values, the application and session identifiers) are read
// once and shared, which keeps both the time to load and the memory of the queue down.
// Anything that is not a well-formed list of records fails the whole decode.
class CacheDecoder {
public:
    explicit CacheDecoder(const QByteArray& data);
    std::optional<QList<SignalPostBody>> decode();

private:
    bool skipWhitespace();
    bool expect(char c);
    bool parseRecord(SignalPostBody& record);
    bool parseString(QString& out);
    bool parseNumber(double& out);
    bool parsePayload(SignalParameters& payload);
    bool skipValue(int depth);

    const char* m_pos;
    const char* const m_end;
    QHash<QByteArrayView, QString> m_interned;
    QString m_scratch;
};

} // namespace telemetrydeck
