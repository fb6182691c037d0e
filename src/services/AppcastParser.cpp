#include "AppcastParser.h"

#include "base/Tolvane.h"

#include <QXmlStreamReader>

namespace {

const QString kSparkleNamespace = QStringLiteral("http://www.andymatuschak.org/xml-namespaces/sparkle");

// Attributes of the enclosure, by namespace-qualified or prefixed name (some
// feeds use the prefix without declaring it, which the reader then reports
// under the qualified name).
QString sparkleAttribute(const QXmlStreamAttributes& attributes, const QString& name)
{
    if (attributes.hasAttribute(kSparkleNamespace, name))
        return attributes.value(kSparkleNamespace, name).toString().trimmed();
    for (const auto& attribute : attributes) {
        if (attribute.qualifiedName() == QStringLiteral("sparkle:") + name)
            return attribute.value().toString().trimmed();
    }
    return {};
}

bool isSparkleElement(const QXmlStreamReader& xml, const QString& name)
{
    return xml.name() == name
        && (xml.namespaceUri() == kSparkleNamespace || xml.qualifiedName() == QStringLiteral("sparkle:") + name);
}

std::optional<QUrl> httpsURL(const QString& text)
{
    const QUrl url(text.trimmed(), QUrl::StrictMode);
    if (!url.isValid() || url.scheme() != QLatin1String("https") || url.host().isEmpty())
        return std::nullopt;
    return url;
}

} // namespace

AppcastParser::Result AppcastParser::parse(const QByteArray& document)
{
    Result result;
    QXmlStreamReader xml(document);
    // Entity declarations are not expanded; a document that needs them is
    // not a feed we read.
    xml.setNamespaceProcessing(true);

    QList<AppcastItem> items;
    bool sawChannel = false;
    bool sawRss = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isDTD()) {
            result.error = Tolvane::tr("the feed declares a document type, which is not allowed");
            return result;
        }
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("rss") && xml.namespaceUri().isEmpty()) {
            sawRss = true;
            continue;
        }
        if (xml.name() == QLatin1String("channel")) {
            sawChannel = true;
            continue;
        }
        if (xml.name() != QLatin1String("item") || !sawChannel)
            continue;

        AppcastItem item;
        QString enclosureURL;
        QString elementVersion;
        QString elementShortVersion;
        while (xml.readNextStartElement()) {
            if (xml.name() == QLatin1String("title") && xml.namespaceUri().isEmpty()) {
                item.title = xml.readElementText(QXmlStreamReader::SkipChildElements).trimmed();
            } else if (xml.name() == QLatin1String("link") && xml.namespaceUri().isEmpty()) {
                if (auto url = httpsURL(xml.readElementText(QXmlStreamReader::SkipChildElements)))
                    item.infoURL = *url;
            } else if (xml.name() == QLatin1String("enclosure") && enclosureURL.isEmpty()) {
                const auto attributes = xml.attributes();
                enclosureURL = attributes.value(QStringLiteral("url")).toString();
                item.versionString = sparkleAttribute(attributes, QStringLiteral("version"));
                item.displayVersionString = sparkleAttribute(attributes, QStringLiteral("shortVersionString"));
                xml.skipCurrentElement();
            } else if (isSparkleElement(xml, QStringLiteral("version"))) {
                elementVersion = xml.readElementText(QXmlStreamReader::SkipChildElements).trimmed();
            } else if (isSparkleElement(xml, QStringLiteral("shortVersionString"))) {
                elementShortVersion = xml.readElementText(QXmlStreamReader::SkipChildElements).trimmed();
            } else {
                xml.skipCurrentElement();
            }
        }
        if (item.versionString.isEmpty())
            item.versionString = elementVersion;
        if (item.displayVersionString.isEmpty())
            item.displayVersionString = elementShortVersion.isEmpty() ? item.versionString : elementShortVersion;
        const auto url = httpsURL(enclosureURL);
        // An item we cannot compare or cannot offer safely is no update.
        if (item.versionString.isEmpty()) {
            result.rejected.append({QString(), Tolvane::tr("an item has no version")});
            continue;
        }
        if (!url) {
            result.rejected.append(
                {item.versionString,
                 enclosureURL.isEmpty()
                     ? Tolvane::tr("version %1 has no download link").arg(item.versionString)
                     : Tolvane::tr("version %1 has a download link that is not https").arg(item.versionString)});
            continue;
        }
        item.fileURL = *url;
        items.append(item);
    }
    if (xml.hasError()) {
        result.error =
            Tolvane::tr("the feed is not well-formed XML (line %1: %2)").arg(xml.lineNumber()).arg(xml.errorString());
        return result;
    }
    if (!sawRss || !sawChannel) {
        result.error = Tolvane::tr("the document is not an RSS feed");
        return result;
    }
    result.items = items;
    return result;
}
