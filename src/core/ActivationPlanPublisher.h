#pragma once

#include <QObject>
#include <QPointer>

class InputSourceMemory;
class Platform;
class RuleEngine;

// Gives the platform the engine's decision (RuleEngine::selectionFor) as its
// activation planner, so that a backend's switching thread can select ahead
// of the main loop, and tells the platform whenever the decision may have
// changed: rules, default source, pause, the remembered sources or whether
// they are used, and the enabled input sources. Takes the planner back when
// destroyed; must not outlive `platform`.
class ActivationPlanPublisher : public QObject {
    Q_OBJECT
public:
    ActivationPlanPublisher(RuleEngine& engine, Platform& platform, InputSourceMemory* memory = nullptr,
                            QObject* parent = nullptr);
    ~ActivationPlanPublisher() override;

private:
    void planChanged();

    QPointer<RuleEngine> m_engine;
    Platform& m_platform;
};
