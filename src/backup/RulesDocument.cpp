#include "RulesDocument.h"

#include "core/RulesCodec.h"

QByteArray RulesDocument::fileContents() const
{
    return RulesCodec::encode(rules, RulesCodec::Style::PrettySorted);
}

std::optional<RulesDocument> RulesDocument::fromFileContents(const QByteArray& contents, QString* error)
{
    if (contents.isEmpty()) {
        if (error)
            *error = QStringLiteral("The file is empty.");
        return std::nullopt;
    }
    auto decoded = RulesCodec::decode(contents);
    if (!decoded.rules) {
        if (error)
            *error = decoded.error;
        return std::nullopt;
    }
    return RulesDocument{*decoded.rules};
}
