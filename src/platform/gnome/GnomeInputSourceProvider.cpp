#include "GnomeInputSourceProvider.h"

#include "platform/freedesktop/InputSourceCountry.h"

GnomeInputSourceProvider::GnomeInputSourceProvider(GnomeShellExtension& extension, QObject* parent)
    : InputSourceProvider(parent)
    , m_extension(extension)
{
    connect(&m_extension, &GnomeShellExtension::inputSourcesChanged, this, [this] {
        forgetSources();
        Q_EMIT enabledInputSourcesChanged();
    });
    connect(&m_extension, &GnomeShellExtension::isRunningChanged, this, [this] {
        forgetSources();
        Q_EMIT enabledInputSourcesChanged();
        Q_EMIT selectedInputSourceChanged();
    });
    connect(&m_extension, &GnomeShellExtension::currentInputSourceChanged, this,
            &InputSourceProvider::selectedInputSourceChanged);
}

QString GnomeInputSourceProvider::identifier(const QString& type, const QString& id)
{
    if (type == QLatin1String("xkb")) {
        const qsizetype plus = id.indexOf(QLatin1Char('+'));
        if (plus > 0)
            return QStringLiteral("xkb:%1(%2)").arg(id.left(plus), id.mid(plus + 1));
    }
    return type + QLatin1Char(':') + id;
}

void GnomeInputSourceProvider::forgetSources()
{
    m_sources.reset();
}

std::optional<QList<GnomeShellExtension::InputSource>> GnomeInputSourceProvider::sources()
{
    if (!m_sources)
        m_sources = m_extension.inputSources();
    return m_sources;
}

InputSourceProperties GnomeInputSourceProvider::properties(const GnomeShellExtension::InputSource& source) const
{
    const QString id = identifier(source.type, source.id);
    QString country;
    if (source.type == QLatin1String("xkb"))
        country = InputSourceCountry::ofXkbGroupIdentifier(id.mid(4));
    else if (source.type == QLatin1String("ibus"))
        country = InputSourceCountry::ofIBusEngine(source.id, source.language);
    return InputSourceProperties::of(id, source.name, true, country);
}

std::optional<QList<InputSourceProperties>> GnomeInputSourceProvider::enabledInputSources()
{
    const auto all = sources();
    if (!all)
        return std::nullopt;
    QList<InputSourceProperties> result;
    for (const auto& source : *all)
        result.append(properties(source));
    return result;
}

std::optional<InputSourceProperties> GnomeInputSourceProvider::currentInputSource()
{
    const auto index = m_extension.currentInputSource();
    const auto all = sources();
    if (!index || !all || *index >= all->size())
        return std::nullopt;
    return properties(all->at(*index));
}

bool GnomeInputSourceProvider::selectInputSource(const QString& id)
{
    const auto all = sources();
    if (!all)
        return false;
    for (qsizetype i = 0; i < all->size(); ++i) {
        if (identifier(all->at(i).type, all->at(i).id) == id)
            return m_extension.activateInputSource(int(i));
    }
    return false;
}
