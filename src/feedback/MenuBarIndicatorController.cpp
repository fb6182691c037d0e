#include "MenuBarIndicatorController.h"

#include "FlagEmoji.h"

#include "core/InputSourceManager.h"
#include "platform/InputSourceProvider.h"

MenuBarIndicatorController& MenuBarIndicatorController::shared()
{
    static auto* instance = new MenuBarIndicatorController(InputSourceManager::shared());
    return *instance;
}

MenuBarIndicatorController::MenuBarIndicatorController(InputSourceManager& inputSources, QObject* parent)
    : QObject(parent)
    , m_inputSources(inputSources)
    , m_currentInputSourceIcon(flagEmoji(QString()))
{
    setupObserver();
    updateCurrentInputSource();
}

void MenuBarIndicatorController::setupObserver()
{
    m_observer = m_inputSources.provider();
    if (!m_observer)
        return;
    // The provider reports on the main thread; the connection ends with either object.
    connect(m_observer, &InputSourceProvider::selectedInputSourceChanged, this,
            &MenuBarIndicatorController::updateCurrentInputSource);
}

void MenuBarIndicatorController::updateCurrentInputSource()
{
    const auto current = m_inputSources.currentInputSource();
    if (!current)
        return;
    if (current->name != m_currentInputSourceName) {
        m_currentInputSourceName = current->name;
        Q_EMIT currentInputSourceNameChanged();
    }
    const QString icon = flagEmoji(*current);
    if (icon != m_currentInputSourceIcon) {
        m_currentInputSourceIcon = icon;
        Q_EMIT currentInputSourceIconChanged();
    }
}
