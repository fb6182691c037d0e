#pragma once

#include "platform/RunningApplication.h"

#include <QList>
#include <QUrl>

#include <functional>

class ApplicationCatalogue;
class DesktopConflictMonitor;
class GlobalHotkeyManager;
class LaunchAtLoginManager;
class LocalizationManager;
class RulesExportManager;
class SoundEffectManager;

// The shared managers and desktop facilities the settings pages reach besides
// the three the window is built with. Each is looked up only when a page needs
// it, so opening a page creates no manager it does not use. Tests replace the
// members with doubles.
struct SettingsServices {
    std::function<LocalizationManager&()> localization;
    std::function<LaunchAtLoginManager&()> launchAtLogin;
    std::function<GlobalHotkeyManager&()> hotkeys;
    std::function<SoundEffectManager&()> sounds;
    std::function<RulesExportManager&()> rulesExport;
    std::function<void()> checkForUpdates;
    std::function<QList<RunningApplication>()> runningApplications;
    // The compositor's key binding for the pause where Tolvane cannot watch
    // the keyboard; empty where its own hotkey works.
    std::function<QString()> pauseKeyBinding;
    // What the page says about that binding, translated; empty: add it to the
    // compositor's configuration.
    std::function<QString()> pauseKeyBindingHint;
    // Hands a web address to the default browser.
    std::function<bool(const QUrl&)> openUrl;
    // The applications a rule can be made for; no function counts as none.
    std::function<ApplicationCatalogue*()> catalogue;
    // False on a desktop no backend drives; no function counts as true.
    std::function<bool()> switchingAvailable;
    // What about the desktop works against Tolvane; may give null.
    std::function<DesktopConflictMonitor*()> desktopConflicts;

    // The set the pages use; empty until the application installs defaults()
    // or a test its doubles.
    static SettingsServices& current();
    // The catalogue, or null.
    ApplicationCatalogue* applicationCatalogue() const { return catalogue ? catalogue() : nullptr; }
    // The shared instances (defined by the application, which wires the layers).
    static SettingsServices defaults();
};
