#include "StoredTrial.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <cctype>

namespace telemetrydeck {

QByteArray StoredTrial::encode() const
{
    // Written by hand: a JSON double cannot hold every 64-bit identifier exactly.
    QByteArray json = QJsonDocument(QJsonObject{{QStringLiteral("productID"), productID}}).toJson(QJsonDocument::Compact);
    json.chop(1);
    json += ",\"originalTransactionID\":" + QByteArray::number(originalTransactionID) + '}';
    return json;
}

std::optional<StoredTrial> StoredTrial::decode(const QByteArray& data)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(data, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonObject object = document.object();
    const QJsonValue product = object.value(QLatin1StringView("productID"));
    const QJsonValue transaction = object.value(QLatin1StringView("originalTransactionID"));
    if (!product.isString() || !transaction.isDouble() || transaction.toDouble() < 0)
        return std::nullopt;
    // Read the digits themselves so that large identifiers survive.
    const QByteArray key = "\"originalTransactionID\":";
    qsizetype at = data.indexOf(key);
    bool ok = false;
    quint64 identifier = 0;
    if (at >= 0) {
        at += key.size();
        qsizetype end = at;
        while (end < data.size() && (std::isdigit(static_cast<unsigned char>(data[end])) || data[end] == ' '))
            ++end;
        identifier = data.mid(at, end - at).trimmed().toULongLong(&ok);
    }
    if (!ok)
        identifier = static_cast<quint64>(transaction.toDouble());
    return StoredTrial{product.toString(), identifier};
}

} // namespace telemetrydeck
