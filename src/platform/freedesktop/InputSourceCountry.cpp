#include "InputSourceCountry.h"

#include <QLocale>
#include <QRegularExpression>

QString InputSourceCountry::countryCode(const QString& code)
{
    static const QRegularExpression twoLetters(QStringLiteral("^[A-Za-z]{2}$"));
    if (!twoLetters.match(code).hasMatch())
        return {};
    return QLocale::codeToTerritory(code) == QLocale::AnyTerritory ? QString() : code.toUpper();
}

QString InputSourceCountry::ofXkbLayout(const QString& layout, const QString& variant, const XkbRegistry& registry)
{
    auto info = registry.find(layout, variant);
    if (!info && !variant.isEmpty())
        info = registry.find(layout);
    if (info && !info->countries.isEmpty()) {
        const QString own = QLocale::territoryToCode(QLocale::system().territory());
        return info->countries.contains(own) ? own : info->countries.constFirst();
    }
    return countryCode(layout);
}

QString InputSourceCountry::ofLanguage(const QString& language)
{
    // "zh_TW", "zh-TW", "pt_BR.UTF-8", "sr@latin": the country part wins when there is one.
    const QString code = language.section(QLatin1Char('.'), 0, 0).section(QLatin1Char('@'), 0, 0);
    static const QRegularExpression form(QStringLiteral("^([A-Za-z]{2,3})(?:[_-]([A-Za-z]{2}))?$"));
    const auto match = form.match(code);
    if (!match.hasMatch())
        return {};
    if (const QString named = countryCode(match.captured(2)); !named.isEmpty())
        return named;
    const QLocale::Language spoken = QLocale::codeToLanguage(match.captured(1));
    if (spoken == QLocale::AnyLanguage || spoken == QLocale::C)
        return {};
    // QLocale fills in the language's most likely territory.
    const QLocale::Territory territory = QLocale(spoken).territory();
    if (territory == QLocale::AnyTerritory || territory == QLocale::World)
        return {};
    return QLocale::territoryToCode(territory);
}

QString InputSourceCountry::ofXkbGroupIdentifier(const QString& localName, const XkbRegistry& registry)
{
    static const QRegularExpression form(QStringLiteral("^([^()]+)(?:\\(([^()]*)\\))?$"));
    const auto match = form.match(localName);
    if (!match.hasMatch())
        return {};
    return ofXkbLayout(match.captured(1), match.captured(2), registry);
}

QString InputSourceCountry::ofIBusEngine(const QString& engineName, const QString& language,
                                         const XkbRegistry& registry)
{
    if (engineName.startsWith(QLatin1String("xkb:"))) {
        // xkb:layout:variant:language
        const QStringList parts = engineName.split(QLatin1Char(':'));
        return ofXkbLayout(parts.value(1), parts.value(2), registry);
    }
    return ofLanguage(language);
}

QString InputSourceCountry::ofFcitx5InputMethod(const QString& uniqueName, const QString& language,
                                                const XkbRegistry& registry)
{
    if (uniqueName.startsWith(QLatin1String("keyboard-"))) {
        // keyboard-layout or keyboard-layout-variant; layout codes have no hyphen, variants may.
        const QString rest = uniqueName.mid(9);
        return ofXkbLayout(rest.section(QLatin1Char('-'), 0, 0), rest.section(QLatin1Char('-'), 1), registry);
    }
    return ofLanguage(language);
}
