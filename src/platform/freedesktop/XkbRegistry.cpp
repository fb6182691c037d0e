#include "XkbRegistry.h"

#include "base/Logger.h"

#include <QFile>
#include <QXmlStreamReader>

namespace {

// The parts of a <configItem> the registry keeps.
struct ConfigItem {
    QString name;
    QString description;
    QStringList countries;
    QStringList languages;
};

ConfigItem readConfigItem(QXmlStreamReader& xml)
{
    ConfigItem item;
    while (xml.readNextStartElement()) {
        const auto element = xml.name();
        if (element == QLatin1String("name")) {
            item.name = xml.readElementText().trimmed();
        } else if (element == QLatin1String("description")) {
            item.description = xml.readElementText().trimmed();
        } else if (element == QLatin1String("countryList") || element == QLatin1String("languageList")) {
            QStringList& codes = element == QLatin1String("countryList") ? item.countries : item.languages;
            while (xml.readNextStartElement()) {
                const QString code = xml.readElementText().trimmed();
                if (!code.isEmpty())
                    codes.append(code);
            }
        } else {
            xml.skipCurrentElement();
        }
    }
    for (QString& country : item.countries)
        country = country.toUpper();
    return item;
}

} // namespace

const XkbRegistry& XkbRegistry::system()
{
    static const XkbRegistry registry = fromFile(systemRulesPath());
    return registry;
}

QString XkbRegistry::systemRulesPath()
{
    QString root = qEnvironmentVariable("XKB_CONFIG_ROOT");
    if (root.isEmpty())
        root = QStringLiteral("/usr/share/X11/xkb");
    return root + QStringLiteral("/rules/evdev.xml");
}

XkbRegistry XkbRegistry::fromFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Logger::shared().error(
            QStringLiteral("Could not read the keyboard layout list %1: %2").arg(path, file.errorString()));
        return {};
    }
    XkbRegistry registry = fromXml(file.readAll());
    if (registry.isEmpty())
        Logger::shared().error(QStringLiteral("The keyboard layout list %1 names no layouts").arg(path));
    return registry;
}

XkbRegistry XkbRegistry::fromXml(const QByteArray& contents)
{
    XkbRegistry registry;
    QXmlStreamReader xml(contents);
    // <xkbConfigRegistry><layoutList><layout><configItem/><variantList><variant><configItem/>
    ConfigItem layout;
    bool inLayout = false;
    bool layoutRead = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isEndElement() && xml.name() == QLatin1String("layout")) {
            inLayout = false;
            continue;
        }
        if (!xml.isStartElement())
            continue;
        const auto element = xml.name();
        if (element == QLatin1String("layout")) {
            inLayout = true;
            layoutRead = false;
            layout = ConfigItem();
        } else if (element == QLatin1String("configItem") && inLayout) {
            ConfigItem item = readConfigItem(xml);
            if (!layoutRead) {
                layoutRead = true;
                layout = item;
                if (!layout.name.isEmpty())
                    registry.add({layout.name, QString(), layout.description, layout.countries, layout.languages});
            } else if (!layout.name.isEmpty() && !item.name.isEmpty()) {
                registry.add({layout.name, item.name, item.description,
                              item.countries.isEmpty() ? layout.countries : item.countries,
                              item.languages.isEmpty() ? layout.languages : item.languages});
            }
        } else if (element == QLatin1String("modelList") || element == QLatin1String("optionList")) {
            xml.skipCurrentElement();
        }
    }
    if (xml.hasError())
        Logger::shared().error(QStringLiteral("The keyboard layout list is damaged at line %1: %2")
                                   .arg(xml.lineNumber())
                                   .arg(xml.errorString()));
    return registry;
}

QString XkbRegistry::key(const QString& layout, const QString& variant)
{
    return layout + QLatin1Char('(') + variant + QLatin1Char(')');
}

void XkbRegistry::add(const XkbLayoutInfo& info)
{
    const QString entryKey = key(info.layout, info.variant);
    if (m_byKey.contains(entryKey))
        return;
    m_byKey.insert(entryKey, m_entries.size());
    if (!info.description.isEmpty() && !m_byDescription.contains(info.description))
        m_byDescription.insert(info.description, m_entries.size());
    m_entries.append(info);
}

std::optional<XkbLayoutInfo> XkbRegistry::find(const QString& layout, const QString& variant) const
{
    const auto found = m_byKey.constFind(key(layout, variant));
    if (found == m_byKey.constEnd())
        return std::nullopt;
    return m_entries.at(*found);
}

std::optional<XkbLayoutInfo> XkbRegistry::findByDescription(const QString& description) const
{
    const auto found = m_byDescription.constFind(description);
    if (found == m_byDescription.constEnd())
        return std::nullopt;
    return m_entries.at(*found);
}
