// The shared instances whose wiring reaches across layers: the rule engine
// tells the user through feedback/, the update check asks through ui/. Their
// classes live in lower layers, which must not include the higher ones, so
// the application defines these here.
#include "backup/RulesExportManager.h"
#include "core/ActivationPlanPublisher.h"
#include "core/InputSourceManager.h"
#include "core/InputSourceMemory.h"
#include "core/RuleEngine.h"
#include "core/RulesStore.h"
#include "core/WindowWatcher.h"
#include "feedback/GlobalHotkeyManager.h"
#include "feedback/InputSourceIndicatorController.h"
#include "feedback/SoundEffectManager.h"
#include "platform/Platform.h"
#include "services/AppcastUpdater.h"
#include "services/LaunchAtLoginManager.h"
#include "services/LocalizationManager.h"
#include "services/UpdateManager.h"
#include "ui/SettingsServices.h"
#include "ui/UpdateDialogDriver.h"

#include <QDesktopServices>

RuleEngine& RuleEngine::shared()
{
    static auto* instance = [] {
        Feedback feedback;
        feedback.showInputSource = [](const QString& name, const QString& id) {
            InputSourceIndicatorController::shared().showInputSource(name, id);
        };
        feedback.playSwitchSound = [] { SoundEffectManager::shared().playSwitchSound(); };
        feedback.notifications = Platform::instance().notificationService();
        static RulesStore store;
        auto* engine = new RuleEngine(InputSourceManager::shared(), WindowWatcher::shared(), store, std::move(feedback),
                                      &InputSourceMemory::shared());
        // A backend's switching thread selects by the engine's own decision.
        new ActivationPlanPublisher(*engine, Platform::instance(), &InputSourceMemory::shared(), engine);
        return engine;
    }();
    return *instance;
}

GlobalHotkeyManager& GlobalHotkeyManager::shared()
{
    static auto* instance = new GlobalHotkeyManager(
        Platform::instance().globalKeyMonitor(), RuleEngine::shared(), [](const QString& text, const QString& icon) {
            InputSourceIndicatorController::shared().showMessage(text, icon);
        });
    return *instance;
}

RulesExportManager& RulesExportManager::shared()
{
    static auto* instance = new RulesExportManager(RuleEngine::shared());
    return *instance;
}

UpdateManager& UpdateManager::shared()
{
    static auto* instance = [] {
        static UpdateDialogDriver driver;
        AppcastUpdater::Options options;
        options.feedURL = defaultFeedURL();
        options.currentVersion = QStringLiteral(TOLVANE_VERSION);
        return new UpdateManager(new AppcastUpdater(options, &driver));
    }();
    return *instance;
}

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
    services.pauseKeyBindingHint = [] {
        const char* hint = Platform::instance().pauseKeyBindingHint();
        return hint ? QCoreApplication::translate("Tolvane", hint) : QString();
    };
    services.openUrl = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    services.catalogue = [] { return Platform::instance().applicationCatalogue(); };
    services.switchingAvailable = [] { return Platform::instance().switchingAvailable(); };
    services.desktopConflicts = [] { return Platform::instance().desktopConflictMonitor(); };
    return services;
}
