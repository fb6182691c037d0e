#pragma once

#include "core/AppRule.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// A backup of the rule list: a JSON array of rules, pretty-printed with each
// rule's keys sorted, in list order. Reading accepts any layout and key order,
// so a copy of the rules file imports as well.
struct RulesDocument {
    QList<AppRule> rules;

    static QString fileExtension() { return QStringLiteral("json"); }
    static QString defaultFileName() { return QStringLiteral("Tolvane_Rules"); }

    QByteArray fileContents() const;

    // Nullopt when the contents are empty or not a rule array; `error` then
    // says why (not translated: it is for the log).
    static std::optional<RulesDocument> fromFileContents(const QByteArray& contents, QString* error = nullptr);

    friend bool operator==(const RulesDocument&, const RulesDocument&) = default;
};
