#pragma once

#include "FakeApplicationSource.h"
#include "FakeInputSourceProvider.h"
#include "FakeNotificationService.h"

#include "core/ActivationPlanPublisher.h"
#include "core/InputSourceManager.h"
#include "core/InputSourceMemory.h"
#include "core/RuleEngine.h"
#include "core/RulesStore.h"
#include "core/WindowWatcher.h"
#include "platform/Platform.h"
#include "support/MemoryRulesStore.h"

#include <QStringList>

#include <memory>

// A rule for the application `bundle` (also its name) that selects `target`.
inline AppRule ruleFor(const QString& bundle, const QString& target, bool enabled = true)
{
    AppRule rule;
    rule.appBundleID = bundle;
    rule.appName = bundle;
    rule.targetInputSourceID = target;
    rule.isEnabled = enabled;
    return rule;
}

// A rule engine over a real backend's input sources and applications, with the
// rules in memory; `shown` lists "<name> <id>" of every source it showed. With
// a `platform`, its switching thread (where it has one) plans by this engine
// as the application's does.
struct BackendEngine {
    BackendEngine(InputSourceProvider* provider, ApplicationSource* applications, const QList<AppRule>& rules,
                  const QString& defaultID, Platform* platform = nullptr, InputSourceMemory* memory = nullptr)
        : manager(provider)
        , watcher(applications)
        , engine(manager, watcher, store, recordShown(), memory)
    {
        engine.addRules(rules);
        engine.setDefaultInputSourceID(defaultID);
        if (platform)
            planPublisher = std::make_unique<ActivationPlanPublisher>(engine, *platform, memory);
    }

    RuleEngine::Feedback recordShown()
    {
        RuleEngine::Feedback feedback;
        feedback.showInputSource = [this](const QString& name, const QString& id) {
            shown.append(name + QLatin1Char(' ') + id);
        };
        return feedback;
    }

    QStringList shown;
    InputSourceManager manager;
    WindowWatcher watcher;
    MemoryRulesStore store;
    RuleEngine engine;
    std::unique_ptr<ActivationPlanPublisher> planPublisher;
};

// A rule engine wired to test doubles. `events` records the switch feedback in
// the order the engine asked for it: "indicator <name> <id>", "sound", and
// "notification <title> <body>".
struct EngineHarness {
    EngineHarness()
    {
        provider.sources = QList<InputSourceProperties>{
            FakeInputSourceProvider::source(QStringLiteral("xkb:us"), QStringLiteral("English (US)")),
            FakeInputSourceProvider::source(QStringLiteral("xkb:de"), QStringLiteral("German")),
            FakeInputSourceProvider::source(QStringLiteral("xkb:ru"), QStringLiteral("Russian")),
        };
    }

    // Builds the engine, which loads the rules file and handles the frontmost
    // application. The memory of last-used sources is made too unless a test
    // made its own; resetting both is a restart.
    RuleEngine& start()
    {
        if (!memory)
            memory = std::make_unique<InputSourceMemory>(InputSourceMemory::fileURL(), std::chrono::milliseconds(50));
        manager = std::make_unique<InputSourceManager>(&provider);
        watcher = std::make_unique<WindowWatcher>(&apps);
        RuleEngine::Feedback feedback;
        feedback.showInputSource = [this](const QString& name, const QString& id) {
            events.append(QStringLiteral("indicator %1 %2").arg(name, id));
        };
        feedback.playSwitchSound = [this] { events.append(QStringLiteral("sound")); };
        feedback.notifications = &notifications;
        engine = std::make_unique<RuleEngine>(*manager, *watcher, *store, std::move(feedback), memory.get());
        return *engine;
    }

    // The rules file at `path` (the standard one by default) in place of memory.
    void useRulesFile(const QString& path = RulesStore::standardPath()) { store = std::make_unique<RulesStore>(path); }

    QStringList feedbackEvents()
    {
        QStringList all = events;
        for (const auto& [title, body] : std::as_const(notifications.posted))
            all.append(QStringLiteral("notification %1 %2").arg(title, body));
        return all;
    }

    FakeInputSourceProvider provider;
    FakeApplicationSource apps;
    FakeNotificationService notifications;
    // Rules in memory unless a test asks for a file before start().
    std::unique_ptr<RulesStore> store = std::make_unique<MemoryRulesStore>();
    std::unique_ptr<InputSourceMemory> memory;
    std::unique_ptr<InputSourceManager> manager;
    std::unique_ptr<WindowWatcher> watcher;
    std::unique_ptr<RuleEngine> engine;
    QStringList events;
};
