#include "SignalPostBody.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

#include <charconv>
#include <cmath>

namespace telemetrydeck {

namespace {

void appendString(QByteArray& out, const QString& text)
{
    static const char hexDigits[] = "0123456789abcdef";
    const QByteArray utf8 = text.toUtf8();
    out.append('"');
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

bool readText(const QJsonObject& object, QLatin1StringView key, QString& target)
{
    const QJsonValue value = object.value(key);
    if (!value.isString())
        return false;
    target = value.toString();
    return true;
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
    appendRecord(out, *this, DateStyle::cache);
    return out;
}

std::optional<QList<SignalPostBody>> SignalPostBody::decodeCache(const QByteArray& data)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(data, &error);
    if (error.error != QJsonParseError::NoError || !document.isArray())
        return std::nullopt;
    const QJsonArray array = document.array();
    QList<SignalPostBody> records;
    records.reserve(array.size());
    for (const QJsonValue& element : array) {
        if (!element.isObject())
            return std::nullopt;
        const QJsonObject object = element.toObject();
        SignalPostBody record;
        const QJsonValue date = object.value(QLatin1StringView("receivedAt"));
        if (!date.isDouble() || !std::isfinite(date.toDouble()))
            return std::nullopt;
        const double epochSeconds = date.toDouble() + static_cast<double>(referenceDateOffsetSeconds);
        // QDateTime covers far more than this, but keep the multiplication in range.
        if (std::fabs(epochSeconds) > 1e13)
            return std::nullopt;
        record.receivedAt = QDateTime::fromMSecsSinceEpoch(std::llround(epochSeconds * 1000.0), Qt::UTC);
        if (!readText(object, QLatin1StringView("appID"), record.appID)
            || !readText(object, QLatin1StringView("clientUser"), record.clientUser)
            || !readText(object, QLatin1StringView("sessionID"), record.sessionID)
            || !readText(object, QLatin1StringView("type"), record.type)
            || !readText(object, QLatin1StringView("isTestMode"), record.isTestMode))
            return std::nullopt;
        const QJsonValue floatValue = object.value(QLatin1StringView("floatValue"));
        if (floatValue.isDouble())
            record.floatValue = floatValue.toDouble();
        else if (!floatValue.isUndefined() && !floatValue.isNull())
            return std::nullopt;
        const QJsonValue payload = object.value(QLatin1StringView("payload"));
        if (!payload.isObject())
            return std::nullopt;
        const QJsonObject payloadObject = payload.toObject();
        for (auto it = payloadObject.constBegin(); it != payloadObject.constEnd(); ++it) {
            if (!it.value().isString())
                return std::nullopt;
            record.payload.insert(it.key(), it.value().toString());
        }
        records.append(std::move(record));
    }
    return records;
}

QString SignalPostBody::description() const
{
    return QStringLiteral("SignalPostBody(type: %1, appID: %2, clientUser: %3, sessionID: %4, floatValue: %5, "
                          "isTestMode: %6, payload: %7 entries)")
        .arg(type, appID, clientUser, sessionID,
             floatValue ? QString::number(*floatValue) : QStringLiteral("nil"), isTestMode)
        .arg(payload.size());
}

} // namespace telemetrydeck
