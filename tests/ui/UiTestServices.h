#pragma once

#include "backup/RulesExportManager.h"
#include "feedback/GlobalHotkeyManager.h"
#include "feedback/SoundEffectManager.h"
#include "platform/LoginItemService.h"
#include "platform/freedesktop/DesktopEntryCatalogue.h"
#include "platform/freedesktop/DesktopEntryIndex.h"
#include "services/LaunchAtLoginManager.h"
#include "services/LocalizationManager.h"
#include "services/PermissionsManager.h"
#include "support/EngineHarness.h"
#include "ui/SettingsServices.h"
#include "ui/SettingsView.h"

#include <QList>
#include <QUrl>

#include <memory>

// Hands out monitor tokens and counts the live ones.
class CountingKeyMonitor : public GlobalKeyMonitor {
public:
    bool canMonitorKeys() override { return true; }
    std::unique_ptr<Token> addKeyPressMonitor(Handler) override
    {
        ++live;
        return std::make_unique<CountingToken>(live);
    }

    int live = 0;

private:
    struct CountingToken : Token {
        explicit CountingToken(int& count)
            : live(count)
        {
        }
        ~CountingToken() override { --live; }
        int& live;
    };
};

class StubLoginItemService : public LoginItemService {
public:
    bool isRegistered() override { return registered; }
    std::optional<QString> registerItem() override
    {
        if (failure)
            return failure;
        registered = true;
        return std::nullopt;
    }
    std::optional<QString> unregisterItem() override
    {
        registered = false;
        return std::nullopt;
    }

    bool registered = false;
    std::optional<QString> failure;
};

// A rule engine on test doubles and every manager the settings pages reach,
// installed as the pages' services for the life of the object.
struct UiTestServices {
    UiTestServices()
    {
        // The settings window shows where the rules live and why saving fails.
        harness.useRulesFile();
        harness.start();
        localization = std::make_unique<LocalizationManager>(QStringList{QStringLiteral("en")});
        launch = std::make_unique<LaunchAtLoginManager>(&login);
        hotkeys =
            std::make_unique<GlobalHotkeyManager>(&monitor, *harness.engine, [](const QString&, const QString&) {});
        sounds = std::make_unique<SoundEffectManager>(nullptr);
        rulesExport = std::make_unique<RulesExportManager>(*harness.engine);

        SettingsServices& s = SettingsServices::current();
        s.localization = [this]() -> LocalizationManager& { return *localization; };
        s.launchAtLogin = [this]() -> LaunchAtLoginManager& { return *launch; };
        s.hotkeys = [this]() -> GlobalHotkeyManager& { return *hotkeys; };
        s.sounds = [this]() -> SoundEffectManager& { return *sounds; };
        s.rulesExport = [this]() -> RulesExportManager& { return *rulesExport; };
        s.checkForUpdates = [this] { ++updateChecks; };
        s.runningApplications = [this] { return running; };
        s.openUrl = [this](const QUrl& url) {
            opened.append(url);
            return true;
        };
        s.switchingAvailable = [] { return true; };
        s.catalogue = [this] { return &catalogue; };
    }
    ~UiTestServices() { SettingsServices::current() = SettingsServices{}; }

    // The desktop entries under the test's home.
    DesktopEntryCatalogue catalogue{DesktopEntryIndex::shared()};

    RuleEngine& engine() { return *harness.engine; }
    InputSourceManager& inputSources() { return *harness.manager; }

    EngineHarness harness;
    CountingKeyMonitor monitor;
    StubLoginItemService login;
    std::unique_ptr<LocalizationManager> localization;
    std::unique_ptr<LaunchAtLoginManager> launch;
    std::unique_ptr<GlobalHotkeyManager> hotkeys;
    std::unique_ptr<SoundEffectManager> sounds;
    std::unique_ptr<RulesExportManager> rulesExport;
    QList<RunningApplication> running;
    QList<QUrl> opened;
    int updateChecks = 0;
};

// The settings window over `services`, with the hotkey permission granted or not;
// shown at once unless `show` is false.
struct HotkeyTrust {
    explicit HotkeyTrust(bool trusted)
        : permissions([trusted] { return trusted; })
    {
    }
    PermissionsManager permissions;
};
class SettingsWindow : private HotkeyTrust, public SettingsView {
public:
    SettingsWindow(UiTestServices& services, bool trusted, bool show = true)
        : HotkeyTrust(trusted)
        , SettingsView(services.engine(), services.inputSources(), permissions)
    {
        if (show)
            this->show();
    }
};
