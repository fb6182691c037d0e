#include "ActivationPlanPublisher.h"

#include "InputSourceManager.h"
#include "InputSourceMemory.h"
#include "RuleEngine.h"
#include "base/PreferenceChanges.h"
#include "platform/Platform.h"

ActivationPlanPublisher::ActivationPlanPublisher(RuleEngine& engine, Platform& platform, InputSourceMemory* memory,
                                                 QObject* parent)
    : QObject(parent)
    , m_engine(&engine)
    , m_platform(platform)
{
    connect(&engine, &RuleEngine::rulesChanged, this, &ActivationPlanPublisher::planChanged);
    connect(&engine, &RuleEngine::defaultInputSourceIDChanged, this, &ActivationPlanPublisher::planChanged);
    connect(&engine, &RuleEngine::isPausedChanged, this, &ActivationPlanPublisher::planChanged);
    connect(&engine.inputSourceManager(), &InputSourceManager::installedInputSourcesChanged, this,
            &ActivationPlanPublisher::planChanged);
    if (memory)
        connect(memory, &InputSourceMemory::inputSourceChanged, this, &ActivationPlanPublisher::planChanged);
    connect(&PreferenceChanges::shared(), &PreferenceChanges::changed, this, [this](const QString& key) {
        if (key == InputSourceMemory::preferenceKey())
            planChanged();
    });
    m_platform.setActivationPlanner([engine = m_engine](const RunningApplication& app) -> std::optional<QString> {
        if (!engine)
            return std::nullopt;
        const auto selection = engine->selectionFor(app);
        return selection ? std::optional<QString>(selection->inputSourceID) : std::nullopt;
    });
}

ActivationPlanPublisher::~ActivationPlanPublisher()
{
    m_platform.setActivationPlanner({});
}

void ActivationPlanPublisher::planChanged()
{
    m_platform.activationPlanChanged();
}
