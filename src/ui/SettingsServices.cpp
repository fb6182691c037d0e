#include "SettingsServices.h"

#include "backup/RulesExportManager.h"
#include "feedback/GlobalHotkeyManager.h"
#include "feedback/SoundEffectManager.h"
#include "platform/Platform.h"
#include "services/LaunchAtLoginManager.h"
#include "services/LocalizationManager.h"
#include "services/AppcastUpdater.h"
#include "services/UpdateManager.h"

#include <QDesktopServices>

SettingsServices SettingsServices::defaults()
{
    SettingsServices services;
    services.localization = []() -> LocalizationManager& { return LocalizationManager::shared(); };
    services.launchAtLogin = []() -> LaunchAtLoginManager& { return LaunchAtLoginManager::shared(); };
    services.hotkeys = []() -> GlobalHotkeyManager& { return GlobalHotkeyManager::shared(); };
    services.sounds = []() -> SoundEffectManager& { return SoundEffectManager::shared(); };
    services.rulesExport = []() -> RulesExportManager& { return RulesExportManager::shared(); };
    services.checkForUpdates = [] { UpdateManager::shared().checkForUpdates(); };
    services.runningApplications = [] {
        ApplicationSource* source = Platform::instance().applicationSource();
        return source ? source->runningApplications() : QList<RunningApplication>{};
    };
    services.pauseKeyBinding = [] { return Platform::instance().pauseKeyBinding(); };
    services.openUrl = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    services.switchingAvailable = [] { return Platform::instance().switchingAvailable(); };
    return services;
}

SettingsServices& SettingsServices::current()
{
    static SettingsServices services = defaults();
    return services;
}
