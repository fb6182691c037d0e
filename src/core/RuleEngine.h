#pragma once

#include "AppRule.h"

#include "platform/RunningApplication.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUuid>

#include <functional>
#include <optional>

class InputSourceManager;
class InputSourceMemory;
class NotificationService;
class RulesStore;
class WindowWatcher;

// Owns the rules and the default input source, follows the application in
// front and selects the input source its rule (or the default) names, then
// gives the switch feedback.
class RuleEngine : public QObject {
    Q_OBJECT
    Q_PROPERTY(QList<AppRule> rules READ rules NOTIFY rulesChanged)
    Q_PROPERTY(std::optional<QString> defaultInputSourceID READ defaultInputSourceID WRITE setDefaultInputSourceID
                   NOTIFY defaultInputSourceIDChanged)
    Q_PROPERTY(bool isPaused READ isPaused WRITE setPaused NOTIFY isPausedChanged)
    // Why the last save of the rules failed; empty once they are on disk.
    Q_PROPERTY(QString rulesSaveError READ rulesSaveError NOTIFY rulesSaveErrorChanged)
public:
    // What the engine does after a successful switch, in this order.
    struct Feedback {
        std::function<void(const QString& name, const QString& id)> showInputSource;
        std::function<void()> playSwitchSound;
        QPointer<NotificationService> notifications;
    };

    // What an activation selects, and why.
    struct Selection {
        enum class Reason { Rule, Remembered, Fallback };
        Reason reason;
        QString inputSourceID;
    };

    static RuleEngine& shared();

    // Loads the rules from `store`, which must outlive the engine. With a
    // `memory`, applications without a rule get the source they last used
    // while the preference asks for it.
    RuleEngine(InputSourceManager& inputSourceManager, WindowWatcher& watcher, RulesStore& store, Feedback feedback,
               InputSourceMemory* memory = nullptr, QObject* parent = nullptr);

    QList<AppRule> rules() const { return m_rules; }
    std::optional<QString> defaultInputSourceID() const { return m_defaultInputSourceID; }
    void setDefaultInputSourceID(const std::optional<QString>& id);
    bool isPaused() const { return m_isPaused; }
    void setPaused(bool paused);

    QString rulesSaveError() const { return m_rulesSaveError; }

    void addRule(const AppRule& rule);
    // addRule for each rule in order, as one change: one notice, one save.
    // Returns the number of rules handed in.
    int addRules(const QList<AppRule>& rules);
    void deleteRule(const QUuid& id);

    // Reads the rules file again. On failure the rules in memory stay, and the
    // unreadable file is kept aside at the next save; returns the reason.
    std::optional<QString> reloadRules();

    // The standard location of the rules file (creating its directory).
    static QString rulesFileURL();
    bool saveRules();

    InputSourceManager& inputSourceManager() const { return m_inputSourceManager; }

    // What the engine selects when `app` comes to the front now: the first
    // enabled rule the application is known by, else the source it last used
    // (while the memory is on), else the default; nothing while paused or for
    // an application without an id. Activations are handled by this very
    // decision. Changes nothing.
    std::optional<Selection> selectionFor(const RunningApplication& app) const;

Q_SIGNALS:
    void rulesChanged();
    void defaultInputSourceIDChanged();
    void isPausedChanged();
    // A rule, the default or the source remembered for the application in front
    // selected `inputSourceID`.
    void switched(const QString& applicationID, const QString& inputSourceID);
    void rulesSaveErrorChanged();

private:
    std::optional<QString> loadRules();
    void setRules(const QList<AppRule>& rules);
    void setupSubscriptions(WindowWatcher& watcher);
    void receiveActiveApp(const RunningApplication& app);
    void handleActivation(const RunningApplication& app);
    std::optional<Selection> defaultSelection() const;
    bool applySelection(const QString& bundleID, const Selection& selection);
    void giveFeedback(const QString& applicationID, const QString& target);
    bool remembersInputSources() const;
    void rememberCurrentInputSource(const RunningApplication& app);
    void postSwitchNotification(const QString& name);
    void setRulesSaveError(const QString& error);

    QList<AppRule> m_rules;
    std::optional<QString> m_defaultInputSourceID;
    bool m_isPaused = false;
    InputSourceManager& m_inputSourceManager;
    RulesStore& m_store;
    QString m_rulesSaveError;
    Feedback m_feedback;
    QPointer<InputSourceMemory> m_memory;
    RunningApplication m_lastHandledApp;
};
