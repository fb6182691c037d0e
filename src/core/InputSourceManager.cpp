#include "InputSourceManager.h"

#include "base/Logger.h"
#include "platform/InputSourceProvider.h"
#include "platform/Platform.h"

namespace {
InputSource makeInputSource(const InputSourceProperties& properties)
{
    return InputSource{*properties.id, properties.localizedName.value_or(QStringLiteral("Unknown")), properties.iconUrl,
                       properties.countryCode};
}
} // namespace

InputSourceManager& InputSourceManager::shared()
{
    static auto* instance = new InputSourceManager(Platform::instance().inputSourceProvider());
    return *instance;
}

InputSourceManager::InputSourceManager(InputSourceProvider* provider, QObject* parent)
    : QObject(parent)
    , m_provider(provider)
{
    // Input-method frameworks start and stop, and change their lists, while Tolvane runs.
    if (m_provider)
        connect(m_provider, &InputSourceProvider::enabledInputSourcesChanged, this,
                &InputSourceManager::loadInputSources);
    loadInputSources();
}

void InputSourceManager::loadInputSources()
{
    const auto list = m_provider ? m_provider->enabledInputSources() : std::nullopt;
    if (!list) {
        Logger::shared().error(QStringLiteral("Failed to get input source list"));
        return;
    }
    QList<InputSource> sources;
    sources.reserve(list->size());
    for (const InputSourceProperties& properties : *list) {
        if (properties.isSelectCapable == false)
            continue;
        if (!properties.id)
            continue;
        sources.append(makeInputSource(properties));
    }
    m_installedInputSources = sources;
    Q_EMIT installedInputSourcesChanged();
    Logger::shared().info(QStringLiteral("Loaded %1 input sources").arg(m_installedInputSources.size()));
}

QString InputSourceManager::displayName(const QString& id) const
{
    for (const InputSource& source : m_installedInputSources) {
        if (source.id == id)
            return source.name;
    }
    return id;
}

std::optional<InputSource> InputSourceManager::inputSource(const QString& id) const
{
    for (const InputSource& source : m_installedInputSources) {
        if (source.id == id)
            return source;
    }
    return std::nullopt;
}

std::optional<InputSource> InputSourceManager::currentInputSource() const
{
    const auto current = m_provider ? m_provider->currentInputSource() : std::nullopt;
    if (!current || !current->id)
        return std::nullopt;
    return makeInputSource(*current);
}

bool InputSourceManager::selectInputSource(const QString& id)
{
    if (!m_provider)
        return false;
    const auto list = m_provider->enabledInputSources();
    if (!list || list->isEmpty())
        return false;
    const bool enabled =
        std::any_of(list->cbegin(), list->cend(), [&](const InputSourceProperties& source) { return source.id == id; });
    return enabled && m_provider->selectInputSource(id);
}
