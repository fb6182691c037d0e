#pragma once

#include "support/EngineHarness.h"

#include "app/TolvaneApp.h"
#include "base/Preferences.h"
#include "feedback/MenuBarIndicatorController.h"
#include "platform/SystemTrayMonitor.h"
#include "services/PermissionsManager.h"

#include <QLabel>

// A tray that is absent until the test makes it appear.
class FakeTrayMonitor : public SystemTrayMonitor {
public:
    bool isAvailable() const override { return available; }
    void appear()
    {
        available = true;
        Q_EMIT isAvailableChanged();
    }
    bool available = false;
};

// Everything the tray item is wired to, with the calls it makes recorded. The
// current source is English (US).
struct AppHarness {
    AppHarness()
    {
        engine.provider.current = FakeInputSourceProvider::source("xkb:us", "English (US)");
        engine.start();
        menuBarIndicator = std::make_unique<MenuBarIndicatorController>(*engine.manager);
        dependencies.managers = [this] {
            calls.append("managers");
            return TolvaneApp::Managers{engine.engine.get(), engine.manager.get(), &permissions,
                                        menuBarIndicator.get()};
        };
        dependencies.startAnalytics = [this] {
            calls.append("analytics, keeps windows: "
                         + Preferences::store().value("NSQuitAlwaysKeepsWindows").toString());
        };
        dependencies.showMessage = [this](const QString& text, const QString& icon) {
            messages.append(text + QLatin1Char(' ') + icon);
        };
        dependencies.shortVersion = [] { return QVariant("2.4.1"); };
        dependencies.makeSettingsContent = [this](const TolvaneApp::Managers&) -> QWidget* {
            calls.append("settings content");
            struct Content : QLabel {
                using QLabel::QLabel;
                QSize sizeHint() const override { return {820, 640}; }
            };
            auto* content = new Content("settings");
            content->setMinimumSize(700, 450);
            content->setWindowTitle("Tolvane Settings");
            return content;
        };
        dependencies.startServices = [this] { calls.append("services"); };
    }

    TolvaneApp& start()
    {
        app = std::make_unique<TolvaneApp>(dependencies);
        return *app;
    }

    EngineHarness engine;
    std::unique_ptr<MenuBarIndicatorController> menuBarIndicator;
    PermissionsManager permissions{[] { return true; }};
    TolvaneApp::Dependencies dependencies;
    QStringList calls;
    QStringList messages;
    std::unique_ptr<TolvaneApp> app;
};
