#include "InputSourceProviderChooser.h"

#include "Fcitx5InputSourceProvider.h"
#include "IBusInputSourceProvider.h"

#include "base/Logger.h"

InputSourceProviderChooser::InputSourceProviderChooser(QList<InputMethodProvider*> frameworks,
                                                       InputSourceProvider* layouts, QObject* parent)
    : InputSourceProvider(parent)
    , m_layouts(layouts)
{
    for (InputMethodProvider* framework : frameworks) {
        if (!framework)
            continue;
        m_frameworks.append(framework);
        connect(framework, &InputMethodProvider::runningChanged, this, &InputSourceProviderChooser::choose);
    }
    choose();
}

void InputSourceProviderChooser::choose()
{
    InputSourceProvider* next = m_layouts;
    for (const auto& framework : std::as_const(m_frameworks)) {
        if (framework && framework->isRunning()) {
            next = framework;
            break;
        }
    }
    if (next == m_active)
        return;
    if (m_active) {
        // Only the forwarded notices: the running-state connection stays.
        disconnect(m_active, &InputSourceProvider::selectedInputSourceChanged, this,
                   &InputSourceProvider::selectedInputSourceChanged);
        disconnect(m_active, &InputSourceProvider::enabledInputSourcesChanged, this,
                   &InputSourceProvider::enabledInputSourcesChanged);
    }
    m_active = next;
    if (m_active) {
        connect(m_active, &InputSourceProvider::selectedInputSourceChanged, this,
                &InputSourceProvider::selectedInputSourceChanged);
        connect(m_active, &InputSourceProvider::enabledInputSourcesChanged, this,
                &InputSourceProvider::enabledInputSourcesChanged);
    }
    Logger::shared().info(QStringLiteral("Input sources are managed by ")
                          + (m_active ? m_active->providerName() : QStringLiteral("nothing")));
    Q_EMIT enabledInputSourcesChanged();
    Q_EMIT selectedInputSourceChanged();
}

QString InputSourceProviderChooser::providerName() const
{
    return m_active ? m_active->providerName() : QString();
}

std::optional<QList<InputSourceProperties>> InputSourceProviderChooser::enabledInputSources()
{
    if (!m_active)
        return std::nullopt;
    return m_active->enabledInputSources();
}

std::optional<InputSourceProperties> InputSourceProviderChooser::currentInputSource()
{
    if (!m_active)
        return std::nullopt;
    return m_active->currentInputSource();
}

bool InputSourceProviderChooser::selectInputSource(const QString& id)
{
    if (!m_active || !id.startsWith(m_active->providerName() + QLatin1Char(':')))
        return false;
    return m_active->selectInputSource(id);
}

std::unique_ptr<InputSourceProviderChooser>
InputSourceProviderChooser::withInputMethodFrameworks(InputSourceProvider* layouts)
{
    // The frameworks belong to the chooser (children), the layouts to the caller.
    auto* fcitx5 = new Fcitx5InputSourceProvider();
    auto* ibus = new IBusInputSourceProvider();
    auto chooser = std::make_unique<InputSourceProviderChooser>(QList<InputMethodProvider*>{fcitx5, ibus}, layouts);
    fcitx5->setParent(chooser.get());
    ibus->setParent(chooser.get());
    return chooser;
}
