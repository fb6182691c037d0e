#pragma once

#include "AppRule.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// The JSON form of a rule list: an array of objects with exactly the members
// "id" (upper-case UUID text), "appBundleID", "appName", "targetInputSourceID"
// and "isEnabled". Strings escape '/' as "\/". Decoding requires all five
// members with the right types in every element; any bad element fails the
// whole array.
class RulesCodec {
public:
    enum class Style {
        Compact, // the rules file: no white space, members in field order
        PrettySorted, // backups: indented, members sorted by name
    };

    struct DecodeResult {
        std::optional<QList<AppRule>> rules;
        QString error; // set when rules is absent
    };

    static QByteArray encode(const QList<AppRule>& rules, Style style = Style::Compact);
    static DecodeResult decode(const QByteArray& json);

    static QByteArray quoted(const QString& text);
};
