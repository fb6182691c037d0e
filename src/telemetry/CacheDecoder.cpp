#include "CacheDecoder.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace telemetrydeck {

namespace {

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

CacheDecoder::CacheDecoder(const QByteArray& data)
    : m_pos(data.constData())
    , m_end(data.constData() + data.size())
{
}

bool CacheDecoder::skipWhitespace()
{
    while (m_pos < m_end && (*m_pos == ' ' || *m_pos == '\n' || *m_pos == '\r' || *m_pos == '\t'))
        ++m_pos;
    return m_pos < m_end;
}

bool CacheDecoder::expect(char c)
{
    if (!skipWhitespace() || *m_pos != c)
        return false;
    ++m_pos;
    return true;
}

bool CacheDecoder::parseString(QString& out)
{
    if (!expect('"'))
        return false;
    const char* start = m_pos;
    // The common case: no escapes. The raw bytes then identify the text.
    const char* quote = static_cast<const char*>(std::memchr(m_pos, '"', m_end - m_pos));
    if (!quote)
        return false;
    const char* backslash = static_cast<const char*>(std::memchr(m_pos, '\\', quote - m_pos));
    if (!backslash) {
        for (const char* p = start; p < quote; ++p) {
            if (static_cast<unsigned char>(*p) < 0x20)
                return false;
        }
        const QByteArrayView raw(start, quote - start);
        auto it = m_interned.constFind(raw);
        if (it == m_interned.cend())
            it = m_interned.insert(raw, QString::fromUtf8(raw));
        out = *it;
        m_pos = quote + 1;
        return true;
    }
    // With escapes: decode into UTF-8 bytes first.
    QByteArray bytes;
    while (m_pos < m_end && *m_pos != '"') {
        const char c = *m_pos++;
        if (static_cast<unsigned char>(c) < 0x20)
            return false;
        if (c != '\\') {
            bytes.append(c);
            continue;
        }
        if (m_pos >= m_end)
            return false;
        const char e = *m_pos++;
        switch (e) {
        case '"':
            bytes.append('"');
            break;
        case '\\':
            bytes.append('\\');
            break;
        case '/':
            bytes.append('/');
            break;
        case 'b':
            bytes.append('\b');
            break;
        case 'f':
            bytes.append('\f');
            break;
        case 'n':
            bytes.append('\n');
            break;
        case 'r':
            bytes.append('\r');
            break;
        case 't':
            bytes.append('\t');
            break;
        case 'u': {
            const auto readUnit = [this](char32_t& unit) {
                if (m_end - m_pos < 4)
                    return false;
                unit = 0;
                for (int i = 0; i < 4; ++i) {
                    const int digit = hexValue(m_pos[i]);
                    if (digit < 0)
                        return false;
                    unit = unit * 16 + static_cast<char32_t>(digit);
                }
                m_pos += 4;
                return true;
            };
            char32_t unit = 0;
            if (!readUnit(unit))
                return false;
            if (unit >= 0xD800 && unit <= 0xDBFF && m_end - m_pos >= 6 && m_pos[0] == '\\' && m_pos[1] == 'u') {
                m_pos += 2;
                char32_t low = 0;
                if (!readUnit(low))
                    return false;
                if (low >= 0xDC00 && low <= 0xDFFF)
                    unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                else
                    unit = 0xFFFD;
            } else if (unit >= 0xD800 && unit <= 0xDFFF) {
                unit = 0xFFFD;
            }
            bytes.append(QString::fromUcs4(&unit, 1).toUtf8());
            break;
        }
        default:
            return false;
        }
    }
    if (m_pos >= m_end)
        return false;
    ++m_pos; // closing quote
    out = QString::fromUtf8(bytes);
    return true;
}

bool CacheDecoder::parseNumber(double& out)
{
    if (!skipWhitespace())
        return false;
    const char* start = m_pos;
    while (m_pos < m_end && (std::strchr("+-0123456789.eE", *m_pos) != nullptr) && *m_pos != '\0')
        ++m_pos;
    if (start == m_pos)
        return false;
    const auto result = std::from_chars(start, m_pos, out);
    return result.ec == std::errc() && result.ptr == m_pos && std::isfinite(out);
}

bool CacheDecoder::parsePayload(SignalParameters& payload)
{
    if (!expect('{'))
        return false;
    if (skipWhitespace() && *m_pos == '}') {
        ++m_pos;
        return true;
    }
    for (;;) {
        QString key;
        QString value;
        if (!parseString(key) || !expect(':') || !parseString(value))
            return false;
        // Keys arrive in order when written by this client; the hint makes that cheap.
        payload.insert(payload.cend(), key, value);
        if (!skipWhitespace())
            return false;
        if (*m_pos == ',') {
            ++m_pos;
            continue;
        }
        return expect('}');
    }
}

bool CacheDecoder::skipValue(int depth)
{
    if (depth > 64 || !skipWhitespace())
        return false;
    const char c = *m_pos;
    if (c == '"')
        return parseString(m_scratch);
    if (c == '{' || c == '[') {
        const char close = c == '{' ? '}' : ']';
        ++m_pos;
        if (skipWhitespace() && *m_pos == close) {
            ++m_pos;
            return true;
        }
        for (;;) {
            if (c == '{' && (!parseString(m_scratch) || !expect(':')))
                return false;
            if (!skipValue(depth + 1) || !skipWhitespace())
                return false;
            if (*m_pos == ',') {
                ++m_pos;
                continue;
            }
            return expect(close);
        }
    }
    for (const char* literal : {"true", "false", "null"}) {
        const size_t length = std::strlen(literal);
        if (static_cast<size_t>(m_end - m_pos) >= length && std::memcmp(m_pos, literal, length) == 0) {
            m_pos += length;
            return true;
        }
    }
    double ignored = 0;
    return parseNumber(ignored);
}

bool CacheDecoder::parseRecord(SignalPostBody& record)
{
    if (!expect('{'))
        return false;
    enum Field { receivedAt = 1, appID = 2, clientUser = 4, sessionID = 8, type = 16, payload = 32, isTestMode = 64 };
    int seen = 0;
    if (skipWhitespace() && *m_pos == '}')
        return false;
    for (;;) {
        QString key;
        if (!parseString(key) || !expect(':'))
            return false;
        if (key == QLatin1StringView("receivedAt")) {
            double seconds = 0;
            if (!parseNumber(seconds))
                return false;
            const double epochSeconds = seconds + static_cast<double>(SignalPostBody::referenceDateOffsetSeconds);
            if (std::fabs(epochSeconds) > 1e13)
                return false;
            record.receivedAt = QDateTime::fromMSecsSinceEpoch(std::llround(epochSeconds * 1000.0), Qt::UTC);
            seen |= receivedAt;
        } else if (key == QLatin1StringView("appID")) {
            if (!parseString(record.appID))
                return false;
            seen |= appID;
        } else if (key == QLatin1StringView("clientUser")) {
            if (!parseString(record.clientUser))
                return false;
            seen |= clientUser;
        } else if (key == QLatin1StringView("sessionID")) {
            if (!parseString(record.sessionID))
                return false;
            seen |= sessionID;
        } else if (key == QLatin1StringView("type")) {
            if (!parseString(record.type))
                return false;
            seen |= type;
        } else if (key == QLatin1StringView("isTestMode")) {
            if (!parseString(record.isTestMode))
                return false;
            seen |= isTestMode;
        } else if (key == QLatin1StringView("payload")) {
            if (!parsePayload(record.payload))
                return false;
            seen |= payload;
        } else if (key == QLatin1StringView("floatValue")) {
            if (!skipWhitespace())
                return false;
            if (m_end - m_pos >= 4 && std::memcmp(m_pos, "null", 4) == 0) {
                m_pos += 4;
            } else {
                double value = 0;
                if (!parseNumber(value))
                    return false;
                record.floatValue = value;
            }
        } else if (!skipValue(0)) { // unknown keys are ignored
            return false;
        }
        if (!skipWhitespace())
            return false;
        if (*m_pos == ',') {
            ++m_pos;
            continue;
        }
        if (!expect('}'))
            return false;
        return seen == (receivedAt | appID | clientUser | sessionID | type | payload | isTestMode);
    }
}

std::optional<QList<SignalPostBody>> CacheDecoder::decode()
{
    QList<SignalPostBody> records;
    if (!expect('['))
        return std::nullopt;
    if (skipWhitespace() && *m_pos == ']') {
        ++m_pos;
    } else {
        for (;;) {
            SignalPostBody record;
            if (!parseRecord(record))
                return std::nullopt;
            records.append(std::move(record));
            if (!skipWhitespace())
                return std::nullopt;
            if (*m_pos == ',') {
                ++m_pos;
                continue;
            }
            if (!expect(']'))
                return std::nullopt;
            break;
        }
    }
    if (skipWhitespace()) // nothing may follow the list
        return std::nullopt;
    return records;
}

} // namespace telemetrydeck
