#pragma once

#include "base/PreferenceKeys.h"

#include "platform/GlobalKeyMonitor.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class RuleEngine;

// Ctrl+Alt+P pauses and resumes automatic switching from anywhere: while the
// hotkey is enabled a global key monitor watches for the physical P key with
// Control and Alt held (further modifiers do not matter), flips the engine's
// pause flag and reports the new state through the floating indicator.
class GlobalHotkeyManager : public QObject {
    Q_OBJECT
    // Bound to the preference "pauseHotkeyEnabled" (false when absent).
    Q_PROPERTY(bool hotkeyEnabled READ hotkeyEnabled WRITE setHotkeyEnabled NOTIFY hotkeyEnabledChanged)
    // Whether a monitor is installed.
    Q_PROPERTY(bool isMonitoring READ isMonitoring NOTIFY isMonitoringChanged)
public:
    using ShowMessage = std::function<void(const QString& text, const QString& icon)>;

    static GlobalHotkeyManager& shared();

    // `monitor` may be null (no way to observe keys): the hotkey then does nothing.
    GlobalHotkeyManager(GlobalKeyMonitor* monitor, RuleEngine& engine, ShowMessage showMessage,
                        QObject* parent = nullptr);
    ~GlobalHotkeyManager() override;

    static QString preferenceKey() { return PreferenceKeys::pauseHotkeyEnabled.name; }
    // The physical key of the hotkey.
    static QByteArray keyName() { return QByteArrayLiteral("AD10"); }

    bool hotkeyEnabled() const;
    void setHotkeyEnabled(bool enabled);
    bool isMonitoring() const { return m_eventMonitor != nullptr; }

    // Installs the monitor when the hotkey is enabled, otherwise removes it.
    void startMonitoring();
    void stopMonitoring();

    // After "Reset All Settings" removed the preference: stops the monitor so
    // that the hotkey matches the toggle, which now shows off.
    void handleSettingsReset();

    // Flips the pause flag and shows "Switching Paused" or "Switching Resumed".
    void togglePauseFromHotkey();

    // Whether a press is the hotkey.
    static bool matches(const GlobalKeyPress& press);

Q_SIGNALS:
    void hotkeyEnabledChanged();
    void isMonitoringChanged();

private:
    void handleKeyPress(const GlobalKeyPress& press);

    GlobalKeyMonitor* m_monitor;
    RuleEngine& m_engine;
    ShowMessage m_showMessage;
    std::unique_ptr<GlobalKeyMonitor::Token> m_eventMonitor;
};
