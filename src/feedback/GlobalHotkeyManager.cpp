#include "GlobalHotkeyManager.h"

#include "base/Preferences.h"
#include "base/Tolvane.h"
#include "core/RuleEngine.h"
#include "feedback/InputSourceIndicatorController.h"
#include "platform/Platform.h"

#include <QPointer>
#include <QTimer>

GlobalHotkeyManager::GlobalHotkeyManager(GlobalKeyMonitor* monitor, RuleEngine& engine, ShowMessage showMessage,
                                         QObject* parent)
    : QObject(parent)
    , m_monitor(monitor)
    , m_engine(engine)
    , m_showMessage(std::move(showMessage))
{
}

GlobalHotkeyManager::~GlobalHotkeyManager() = default;

bool GlobalHotkeyManager::hotkeyEnabled() const
{
    return Preferences::boolValue(preferenceKey(), false);
}

void GlobalHotkeyManager::setHotkeyEnabled(bool enabled)
{
    const bool changed = enabled != hotkeyEnabled() || !Preferences::contains(preferenceKey());
    Preferences::setValue(preferenceKey(), enabled);
    if (changed)
        Q_EMIT hotkeyEnabledChanged();
}

void GlobalHotkeyManager::startMonitoring()
{
    if (!hotkeyEnabled()) {
        stopMonitoring();
        return;
    }
    if (m_eventMonitor)
        return; // at most one monitor
    if (!m_monitor)
        return;
    QPointer<GlobalHotkeyManager> self(this);
    m_eventMonitor = m_monitor->addKeyPressMonitor([self](const GlobalKeyPress& press) {
        if (self)
            self->handleKeyPress(press);
    });
    if (m_eventMonitor)
        Q_EMIT isMonitoringChanged();
}

void GlobalHotkeyManager::stopMonitoring()
{
    if (!m_eventMonitor)
        return;
    m_eventMonitor.reset();
    Q_EMIT isMonitoringChanged();
}

void GlobalHotkeyManager::handleSettingsReset()
{
    stopMonitoring();
    Q_EMIT hotkeyEnabledChanged();
}

bool GlobalHotkeyManager::matches(const GlobalKeyPress& press)
{
    const Qt::KeyboardModifiers required = Qt::ControlModifier | Qt::AltModifier;
    if ((press.modifiers & required) != required)
        return false;
    return press.keyName == keyName();
}

void GlobalHotkeyManager::handleKeyPress(const GlobalKeyPress& press)
{
    // A press in one of our own windows belongs to that window.
    if (press.toOwnWindow || !matches(press))
        return;
    QTimer::singleShot(0, this, &GlobalHotkeyManager::togglePauseFromHotkey);
}

void GlobalHotkeyManager::togglePauseFromHotkey()
{
    m_engine.setPaused(!m_engine.isPaused());
    const QString message = m_engine.isPaused() ? Tolvane::tr("Switching Paused") : Tolvane::tr("Switching Resumed");
    if (m_showMessage)
        m_showMessage(message, QStringLiteral("\u26A1\uFE0F"));
}
