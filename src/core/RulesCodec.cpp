#include "RulesCodec.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

#include <array>
#include <cctype>

namespace {

constexpr char hexDigits[] = "0123456789abcdef";

struct Member {
    const char* name;
    QByteArray value;
};

QByteArray uuidText(const QUuid& id)
{
    return id.toByteArray(QUuid::WithoutBraces).toUpper();
}

std::array<Member, 5> membersInFieldOrder(const AppRule& rule)
{
    return {{
        {"id", RulesCodec::quoted(QString::fromLatin1(uuidText(rule.id)))},
        {"appBundleID", RulesCodec::quoted(rule.appBundleID)},
        {"appName", RulesCodec::quoted(rule.appName)},
        {"targetInputSourceID", RulesCodec::quoted(rule.targetInputSourceID)},
        {"isEnabled", rule.isEnabled ? QByteArrayLiteral("true") : QByteArrayLiteral("false")},
    }};
}

std::array<Member, 5> membersSortedByName(const AppRule& rule)
{
    const auto m = membersInFieldOrder(rule);
    return {{m[1], m[2], m[0], m[4], m[3]}};
}

void appendCompact(QByteArray& out, const AppRule& rule)
{
    out += '{';
    bool first = true;
    for (const Member& member : membersInFieldOrder(rule)) {
        if (!first)
            out += ',';
        first = false;
        out += '"';
        out += member.name;
        out += "\":";
        out += member.value;
    }
    out += '}';
}

void appendPretty(QByteArray& out, const AppRule& rule)
{
    out += "  {\n";
    bool first = true;
    for (const Member& member : membersSortedByName(rule)) {
        if (!first)
            out += ",\n";
        first = false;
        out += "    \"";
        out += member.name;
        out += "\" : ";
        out += member.value;
    }
    out += "\n  }";
}

std::optional<QString> stringMember(const QJsonObject& object, const char* name, QString& error, qsizetype index)
{
    const QJsonValue value = object.value(QLatin1String(name));
    if (value.isUndefined()) {
        error = QStringLiteral("element %1: the member \"%2\" is missing").arg(index).arg(QLatin1String(name));
        return std::nullopt;
    }
    if (!value.isString()) {
        error = QStringLiteral("element %1: the member \"%2\" is not a string").arg(index).arg(QLatin1String(name));
        return std::nullopt;
    }
    return value.toString();
}

// 8-4-4-4-12 hexadecimal digits, either case; QUuid alone would also accept braces.
bool isCanonicalUuidText(const QString& text)
{
    if (text.size() != 36)
        return false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (i == 8 || i == 13 || i == 18 || i == 23) {
            if (c != QLatin1Char('-'))
                return false;
        } else if (!isxdigit(c.unicode()) || c.unicode() > 0x7f) {
            return false;
        }
    }
    return true;
}

std::optional<AppRule> decodeRule(const QJsonValue& element, qsizetype index, QString& error)
{
    if (!element.isObject()) {
        error = QStringLiteral("element %1 is not an object").arg(index);
        return std::nullopt;
    }
    const QJsonObject object = element.toObject();
    const auto idText = stringMember(object, "id", error, index);
    if (!idText)
        return std::nullopt;
    AppRule rule;
    if (!isCanonicalUuidText(*idText)) {
        error = QStringLiteral("element %1: \"%2\" is not a valid UUID").arg(index).arg(*idText);
        return std::nullopt;
    }
    rule.id = QUuid::fromString(*idText);
    const auto bundleID = stringMember(object, "appBundleID", error, index);
    const auto name = stringMember(object, "appName", error, index);
    const auto target = stringMember(object, "targetInputSourceID", error, index);
    if (!bundleID || !name || !target)
        return std::nullopt;
    const QJsonValue enabled = object.value(QLatin1String("isEnabled"));
    if (!enabled.isBool()) {
        error = enabled.isUndefined()
            ? QStringLiteral("element %1: the member \"isEnabled\" is missing").arg(index)
            : QStringLiteral("element %1: the member \"isEnabled\" is not a boolean").arg(index);
        return std::nullopt;
    }
    rule.appBundleID = *bundleID;
    rule.appName = *name;
    rule.targetInputSourceID = *target;
    rule.isEnabled = enabled.toBool();
    return rule;
}

} // namespace

namespace {

void appendEscapedUtf8(QByteArray& out, const QByteArray& utf8)
{
    for (const char c : utf8) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '/':
            out += "\\/";
            break;
        case '\b':
            out += "\\b";
            break;
        case '\f':
            out += "\\f";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                out += "\\u00";
                out += hexDigits[(c >> 4) & 0xF];
                out += hexDigits[c & 0xF];
            } else {
                out += c;
            }
        }
    }
}

void appendUnicodeEscape(QByteArray& out, char16_t unit)
{
    out += "\\u";
    for (int shift = 12; shift >= 0; shift -= 4)
        out += hexDigits[(unit >> shift) & 0xF];
}

bool isUnpairedSurrogate(QStringView text, qsizetype i)
{
    const QChar c = text.at(i);
    if (c.isHighSurrogate())
        return i + 1 >= text.size() || !text.at(i + 1).isLowSurrogate();
    if (c.isLowSurrogate())
        return i == 0 || !text.at(i - 1).isHighSurrogate();
    return false;
}

} // namespace

// UTF-8 cannot carry an unpaired UTF-16 half, so such a unit is written as a
// \u escape instead of being replaced: a rule read from a file saves back
// exactly as it was read.
QByteArray RulesCodec::quoted(const QString& text)
{
    QByteArray out;
    out.reserve(text.size() + 2);
    out += '"';
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!isUnpairedSurrogate(text, i))
            continue;
        appendEscapedUtf8(out, QStringView(text).sliced(runStart, i - runStart).toUtf8());
        appendUnicodeEscape(out, text.at(i).unicode());
        runStart = i + 1;
    }
    appendEscapedUtf8(out, QStringView(text).sliced(runStart).toUtf8());
    out += '"';
    return out;
}

QByteArray RulesCodec::encode(const QList<AppRule>& rules, Style style)
{
    QByteArray out;
    out.reserve(rules.size() * 160 + 2);
    out += '[';
    if (style == Style::PrettySorted && !rules.isEmpty())
        out += '\n';
    bool first = true;
    for (const AppRule& rule : rules) {
        if (!first)
            out += style == Style::Compact ? "," : ",\n";
        first = false;
        if (style == Style::Compact)
            appendCompact(out, rule);
        else
            appendPretty(out, rule);
    }
    if (style == Style::PrettySorted && !rules.isEmpty())
        out += '\n';
    out += ']';
    return out;
}

RulesCodec::DecodeResult RulesCodec::decode(const QByteArray& json)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return {
            std::nullopt,
            QStringLiteral("not valid JSON (%1 at offset %2)").arg(parseError.errorString()).arg(parseError.offset)};
    if (!document.isArray())
        return {std::nullopt, QStringLiteral("the JSON value is not an array of rules")};

    const QJsonArray array = document.array();
    QList<AppRule> rules;
    rules.reserve(array.size());
    QString error;
    for (qsizetype i = 0; i < array.size(); ++i) {
        auto rule = decodeRule(array.at(i), i, error);
        if (!rule)
            return {std::nullopt, error};
        rules.append(std::move(*rule));
    }
    return {std::move(rules), QString()};
}
