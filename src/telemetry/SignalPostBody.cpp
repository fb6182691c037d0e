#include "SignalPostBody.h"

#include "CacheDecoder.h"

#include <charconv>
#include <cmath>

namespace telemetrydeck {

namespace {

void appendEscapedUtf8(QByteArray& out, QByteArrayView utf8)
{
    static const char hexDigits[] = "0123456789abcdef";
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        switch (byte) {
        case '"':
            out.append("\\\"", 2);
            break;
        case '\\':
            out.append("\\\\", 2);
            break;
        case '\n':
            out.append("\\n", 2);
            break;
        case '\r':
            out.append("\\r", 2);
            break;
        case '\t':
            out.append("\\t", 2);
            break;
        default:
            if (byte < 0x20) {
                const char escape[] = {'\\', 'u', '0', '0', hexDigits[byte >> 4], hexDigits[byte & 0xF]};
                out.append(escape, sizeof escape);
            } else {
                out.append(c);
            }
        }
    }
}

void appendString(QByteArray& out, const QString& text)
{
    out.append('"');
    // Plain printable ASCII, by far the common case, is copied without a conversion.
    const QChar* data = text.constData();
    const qsizetype size = text.size();
    bool plain = true;
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t unit = data[i].unicode();
        if (unit < 0x20 || unit > 0x7E || unit == u'"' || unit == u'\\') {
            plain = false;
            break;
        }
    }
    if (plain) {
        const qsizetype start = out.size();
        out.resize(start + size);
        char* target = out.data() + start;
        for (qsizetype i = 0; i < size; ++i)
            target[i] = static_cast<char>(data[i].unicode());
    } else {
        appendEscapedUtf8(out, text.toUtf8());
    }
    out.append('"');
}

void appendNumber(QByteArray& out, double value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, static_cast<int>(result.ptr - buffer));
}

QByteArray uploadDate(const QDateTime& date)
{
    return date.toUTC().toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss")).toLatin1() + "+0000";
}

double cacheDate(const QDateTime& date)
{
    return static_cast<double>(date.toMSecsSinceEpoch()) / 1000.0
        - static_cast<double>(SignalPostBody::referenceDateOffsetSeconds);
}

enum class DateStyle { upload, cache };

void appendRecord(QByteArray& out, const SignalPostBody& record, DateStyle style)
{
    out.append("{\"receivedAt\":");
    if (style == DateStyle::upload) {
        out.append('"');
        out.append(uploadDate(record.receivedAt));
        out.append('"');
    } else {
        appendNumber(out, cacheDate(record.receivedAt));
    }
    out.append(",\"appID\":");
    appendString(out, record.appID);
    out.append(",\"clientUser\":");
    appendString(out, record.clientUser);
    out.append(",\"sessionID\":");
    appendString(out, record.sessionID);
    out.append(",\"type\":");
    appendString(out, record.type);
    if (record.floatValue && std::isfinite(*record.floatValue)) {
        out.append(",\"floatValue\":");
        appendNumber(out, *record.floatValue);
    }
    out.append(",\"payload\":{");
    bool first = true;
    for (auto it = record.payload.cbegin(); it != record.payload.cend(); ++it) {
        if (!first)
            out.append(',');
        first = false;
        appendString(out, it.key());
        out.append(':');
        appendString(out, it.value());
    }
    out.append("},\"isTestMode\":");
    appendString(out, record.isTestMode);
    out.append('}');
}

QByteArray encodeList(const QList<SignalPostBody>& records, DateStyle style)
{
    QByteArray out;
    out.reserve(records.size() * 2048 + 2);
    out.append('[');
    for (qsizetype i = 0; i < records.size(); ++i) {
        if (i > 0)
            out.append(',');
        appendRecord(out, records.at(i), style);
    }
    out.append(']');
    return out;
}

} // namespace

bool SignalPostBody::operator==(const SignalPostBody& other) const
{
    return receivedAt.toMSecsSinceEpoch() == other.receivedAt.toMSecsSinceEpoch() && appID == other.appID
        && clientUser == other.clientUser && sessionID == other.sessionID && type == other.type
        && floatValue == other.floatValue && payload == other.payload && isTestMode == other.isTestMode;
}

QByteArray SignalPostBody::encodeForUpload(const QList<SignalPostBody>& records)
{
    return encodeList(records, DateStyle::upload);
}

QByteArray SignalPostBody::encodeForCache(const QList<SignalPostBody>& records)
{
    return encodeList(records, DateStyle::cache);
}

QByteArray SignalPostBody::cacheJson() const
{
    QByteArray out;
    out.reserve(3072);
    appendRecord(out, *this, DateStyle::cache);
    return out;
}

std::optional<QList<SignalPostBody>> SignalPostBody::decodeCache(const QByteArray& data)
{
    return CacheDecoder(data).decode();
}

QString SignalPostBody::description() const
{
    return QStringLiteral("SignalPostBody(type: %1, appID: %2, clientUser: %3, sessionID: %4, floatValue: %5, "
                          "isTestMode: %6, payload: %7 entries)")
        .arg(type, appID, clientUser, sessionID, floatValue ? QString::number(*floatValue) : QStringLiteral("nil"),
             isTestMode)
        .arg(payload.size());
}

} // namespace telemetrydeck
