#include "SwayWindowEventReader.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <charconv>

namespace {

class Scanner {
public:
    explicit Scanner(const QByteArray& text)
        : m_at(text.constData())
        , m_end(text.constData() + text.size())
    {
    }

    bool ok() const { return m_ok; }

    void skipSpace()
    {
        while (m_at < m_end && (*m_at == ' ' || *m_at == '\n' || *m_at == '\r' || *m_at == '\t'))
            ++m_at;
    }

    bool take(char c)
    {
        skipSpace();
        if (m_at < m_end && *m_at == c) {
            ++m_at;
            return true;
        }
        return false;
    }

    bool peek(char c)
    {
        skipSpace();
        return m_at < m_end && *m_at == c;
    }

    // A string as it stands between its quotes, escapes and all: keys are
    // compared and skipped values passed over without decoding them.
    std::optional<QByteArrayView> rawString(bool* escaped = nullptr)
    {
        if (!take('"'))
            return fail();
        const char* start = m_at;
        bool hasEscapes = false;
        while (m_at < m_end && *m_at != '"') {
            if (*m_at == '\\') {
                hasEscapes = true;
                if (m_end - m_at < 2)
                    break;
                ++m_at;
            }
            ++m_at;
        }
        if (m_at >= m_end)
            return fail();
        const QByteArrayView raw(start, m_at - start);
        ++m_at;
        if (escaped)
            *escaped = hasEscapes;
        return raw;
    }

    // A string, decoded; escapes (rare in these fields) go through the full parser.
    std::optional<QString> string()
    {
        bool escaped = false;
        const auto raw = rawString(&escaped);
        if (!raw)
            return std::nullopt;
        if (!escaped)
            return QString::fromUtf8(*raw);
        const QJsonArray decoded = QJsonDocument::fromJson("[\"" + raw->toByteArray() + "\"]").array();
        if (decoded.size() != 1 || !decoded.first().isString())
            return fail();
        return decoded.first().toString();
    }

    std::optional<qint64> integer()
    {
        skipSpace();
        qint64 value = 0;
        const auto [end, error] = std::from_chars(m_at, m_end, value);
        if (error != std::errc() || end == m_at)
            return fail();
        m_at = end;
        return value;
    }

    bool null()
    {
        skipSpace();
        if (m_end - m_at >= 4 && qstrncmp(m_at, "null", 4) == 0) {
            m_at += 4;
            return true;
        }
        return false;
    }

    // Any value: strings whole, objects and arrays to their matching end.
    bool skipValue()
    {
        skipSpace();
        if (m_at >= m_end)
            return fail(), false;
        if (*m_at == '"')
            return rawString().has_value();
        if (*m_at != '{' && *m_at != '[') {
            while (m_at < m_end && *m_at != ',' && *m_at != '}' && *m_at != ']')
                ++m_at;
            return true;
        }
        int depth = 0;
        while (m_at < m_end) {
            const char c = *m_at;
            if (c == '"') {
                if (!rawString())
                    return false;
                continue;
            }
            ++m_at;
            if (c == '{' || c == '[')
                ++depth;
            else if ((c == '}' || c == ']') && --depth == 0)
                return true;
        }
        return fail(), false;
    }

    // Calls `member(key)` for each member of an object; `member` reads the value.
    template <typename Member> bool object(Member member)
    {
        if (!take('{'))
            return fail(), false;
        if (take('}'))
            return true;
        do {
            const auto key = rawString();
            if (!key || !take(':') || !member(*key))
                return fail(), false;
        } while (take(','));
        return take('}') || (fail(), false);
    }

private:
    std::nullopt_t fail()
    {
        m_ok = false;
        return std::nullopt;
    }

    const char* m_at;
    const char* m_end;
    bool m_ok = true;
};

bool assign(std::optional<QString> value, QString& to)
{
    if (!value)
        return false;
    to = *value;
    return true;
}

} // namespace

std::optional<SwayWindowEventReader::Event> SwayWindowEventReader::read(const QByteArray& payload)
{
    Event event;
    Scanner scan(payload);
    const auto windowProperties = [&](QByteArrayView key) {
        if (key == "class")
            return scan.null() || assign(scan.string(), event.className);
        if (key == "instance")
            return scan.null() || assign(scan.string(), event.instanceName);
        return scan.skipValue();
    };
    const auto container = [&](QByteArrayView key) {
        if (key == "id" || key == "pid") {
            const auto value = scan.integer();
            (key == "id" ? event.id : event.pid) = value.value_or(0);
            return value.has_value();
        }
        if (key == "type")
            return assign(scan.string(), event.type);
        if (key == "app_id") {
            if (scan.null())
                return true;
            event.hasAppId = true;
            return assign(scan.string(), event.appId);
        }
        if (key == "window_properties" && scan.peek('{')) {
            event.hasWindowProperties = true;
            return scan.object(windowProperties);
        }
        return scan.skipValue();
    };
    const bool read = scan.object([&](QByteArrayView key) {
        if (key == "change")
            return assign(scan.string(), event.change);
        if (key == "container" && scan.peek('{'))
            return scan.object(container);
        return scan.skipValue();
    });
    scan.skipSpace();
    if (!read || !scan.ok())
        return std::nullopt;
    return event;
}

std::optional<SwayWindowEventReader::Event> SwayWindowEventReader::readAny(const QByteArray& payload)
{
    if (auto event = read(payload))
        return event;
    const QJsonDocument document = QJsonDocument::fromJson(payload);
    if (!document.isObject())
        return std::nullopt;
    const QJsonObject object = document.object();
    Event event = fromContainer(object.value(QLatin1String("container")).toObject());
    event.change = object.value(QLatin1String("change")).toString();
    return event;
}

SwayWindowEventReader::Event SwayWindowEventReader::fromContainer(const QJsonObject& container)
{
    const QJsonValue appId = container.value(QLatin1String("app_id"));
    const QJsonValue x11 = container.value(QLatin1String("window_properties"));
    Event event;
    event.type = container.value(QLatin1String("type")).toString();
    event.id = container.value(QLatin1String("id")).toInteger();
    event.pid = container.value(QLatin1String("pid")).toInteger();
    event.hasAppId = appId.isString();
    event.appId = appId.toString();
    event.hasWindowProperties = x11.isObject();
    event.className = x11.toObject().value(QLatin1String("class")).toString();
    event.instanceName = x11.toObject().value(QLatin1String("instance")).toString();
    return event;
}

QString SwayWindowEventReader::windowKey(const Event& event)
{
    return event.appId + QChar() + event.className + QChar() + event.instanceName + QChar()
        + QString::number(event.pid > 0 ? event.pid : -event.id);
}
