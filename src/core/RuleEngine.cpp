#include "RuleEngine.h"

#include "InputSourceManager.h"
#include "InputSourceMemory.h"
#include "RulesStore.h"
#include "WindowWatcher.h"
#include "base/PreferenceKeys.h"
#include "base/Preferences.h"
#include "base/Tolvane.h"

#include "base/Logger.h"
#include "platform/NotificationService.h"
#include "platform/Platform.h"

#include <QCoreApplication>
#include <QHash>

#include <algorithm>
#include <cstdio>

namespace {

const QString& kDefaultInputSourceKey = PreferenceKeys::defaultInputSourceID.name;

void printLine(const QString& line)
{
    std::fputs(line.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

} // namespace

RuleEngine::RuleEngine(InputSourceManager& inputSourceManager, WindowWatcher& watcher, RulesStore& store,
                       Feedback feedback, InputSourceMemory* memory, QObject* parent)
    : QObject(parent)
    , m_inputSourceManager(inputSourceManager)
    , m_store(store)
    , m_feedback(std::move(feedback))
    , m_memory(memory)
{
    setDefaultInputSourceID(Preferences::stringValue(kDefaultInputSourceKey));
    loadRules();
    setupSubscriptions(watcher);
    // The application in front never left it: what it uses now is its last source.
    if (m_memory && QCoreApplication::instance()) {
        connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this, [this] {
            rememberCurrentInputSource(m_lastHandledApp);
            if (m_memory)
                m_memory->save();
        });
    }
}

void RuleEngine::setDefaultInputSourceID(const std::optional<QString>& id)
{
    const bool changed = id != m_defaultInputSourceID;
    m_defaultInputSourceID = id;
    if (changed)
        Q_EMIT defaultInputSourceIDChanged();
    if (id)
        Preferences::setValue(kDefaultInputSourceKey, *id);
    else
        Preferences::remove(kDefaultInputSourceKey);
}

void RuleEngine::setPaused(bool paused)
{
    if (paused == m_isPaused)
        return;
    m_isPaused = paused;
    Q_EMIT isPausedChanged();
}

QString RuleEngine::rulesFileURL()
{
    return RulesStore::standardPath();
}

std::optional<QString> RuleEngine::reloadRules()
{
    return loadRules();
}

std::optional<QString> RuleEngine::loadRules()
{
    auto loaded = m_store.load();
    if (loaded.rules) {
        setRules(*loaded.rules);
        return std::nullopt;
    }
    printLine(QStringLiteral("Failed to load rules (might be fresh install): ") + loaded.error);
    return loaded.error;
}

void RuleEngine::setRules(const QList<AppRule>& rules)
{
    m_rules = rules;
    Q_EMIT rulesChanged();
    saveRules();
}

bool RuleEngine::saveRules()
{
    const auto error = m_store.save(m_rules);
    if (error) {
        printLine(QStringLiteral("Failed to save rules: ") + *error);
        Logger::shared().error(QStringLiteral("Failed to save rules: ") + *error);
    }
    setRulesSaveError(error.value_or(QString()));
    return !error;
}

void RuleEngine::setRulesSaveError(const QString& error)
{
    if (error == m_rulesSaveError)
        return;
    m_rulesSaveError = error;
    Q_EMIT rulesSaveErrorChanged();
}

void RuleEngine::addRule(const AppRule& rule)
{
    QList<AppRule> updated = m_rules;
    const auto existing = std::find_if(updated.begin(), updated.end(),
                                       [&](const AppRule& r) { return r.appBundleID == rule.appBundleID; });
    if (existing != updated.end())
        *existing = rule;
    else
        updated.append(rule);
    setRules(updated);
}

int RuleEngine::addRules(const QList<AppRule>& rules)
{
    QList<AppRule> updated = m_rules;
    updated.reserve(updated.size() + rules.size());
    // Where each application's first rule sits, so that a long import stays linear.
    QHash<QString, qsizetype> positions;
    positions.reserve(updated.size() + rules.size());
    for (qsizetype i = 0; i < updated.size(); ++i)
        if (!positions.contains(updated.at(i).appBundleID))
            positions.insert(updated.at(i).appBundleID, i);
    for (const AppRule& rule : rules) {
        const auto existing = positions.constFind(rule.appBundleID);
        if (existing != positions.cend()) {
            updated[*existing] = rule;
        } else {
            positions.insert(rule.appBundleID, updated.size());
            updated.append(rule);
        }
    }
    setRules(updated);
    return int(rules.size());
}

void RuleEngine::deleteRule(const QUuid& id)
{
    QList<AppRule> updated = m_rules;
    updated.removeIf([&](const AppRule& r) { return r.id == id; });
    setRules(updated);
}

void RuleEngine::setupSubscriptions(WindowWatcher& watcher)
{
    connect(&watcher, &WindowWatcher::activeAppChanged, this, &RuleEngine::receiveActiveApp);
    receiveActiveApp(watcher.activeApp());
}

void RuleEngine::receiveActiveApp(const RunningApplication& app)
{
    if (!app.isValid())
        return;
    if (m_lastHandledApp.isValid() && app == m_lastHandledApp)
        return;
    rememberCurrentInputSource(m_lastHandledApp);
    m_lastHandledApp = app;
    handleActivation(app);
}

std::optional<RuleEngine::Selection> RuleEngine::selectionFor(const RunningApplication& app) const
{
    if (m_isPaused || !app.bundleIdentifier)
        return std::nullopt;
    const auto rule = std::find_if(m_rules.cbegin(), m_rules.cend(),
                                   [&](const AppRule& r) { return r.isEnabled && app.isKnownAs(r.appBundleID); });
    if (rule != m_rules.cend())
        return Selection{Selection::Reason::Rule, rule->targetInputSourceID};
    if (remembersInputSources()) {
        if (const auto remembered = m_memory->inputSource(*app.bundleIdentifier))
            return Selection{Selection::Reason::Remembered, *remembered};
    }
    return defaultSelection();
}

std::optional<RuleEngine::Selection> RuleEngine::defaultSelection() const
{
    if (!m_defaultInputSourceID || m_defaultInputSourceID->isEmpty())
        return std::nullopt;
    return Selection{Selection::Reason::Fallback, *m_defaultInputSourceID};
}

// A remembered source that can no longer be selected gives way to the default;
// the entry is replaced when the application next leaves the front.
void RuleEngine::handleActivation(const RunningApplication& app)
{
    const auto selection = selectionFor(app);
    if (!selection)
        return;
    if (applySelection(*app.bundleIdentifier, *selection) || selection->reason != Selection::Reason::Remembered)
        return;
    if (const auto fallback = defaultSelection())
        applySelection(*app.bundleIdentifier, *fallback);
}

// The selection goes out before anything else: a key pressed right after
// the activation must already meet the new layout. Logging and feedback follow.
bool RuleEngine::applySelection(const QString& bundleID, const Selection& selection)
{
    const QString& target = selection.inputSourceID;
    const bool selected = m_inputSourceManager.selectInputSource(target);
    const char* tag = selection.reason == Selection::Reason::Rule ? "[Match] "
        : selection.reason == Selection::Reason::Remembered       ? "[Remembered] "
                                                                  : "[Fallback] ";
    Logger::shared().info(QLatin1String(tag) + bundleID + QStringLiteral(" -> ") + target);
    if (!selected)
        return false;
    giveFeedback(bundleID, target);
    if (selection.reason == Selection::Reason::Fallback && remembersInputSources())
        m_memory->remember(bundleID, target);
    return true;
}

bool RuleEngine::remembersInputSources() const
{
    return m_memory && InputSourceMemory::isEnabledInPreferences();
}

// Called as `app` leaves the front, before the next application's selection.
void RuleEngine::rememberCurrentInputSource(const RunningApplication& app)
{
    if (m_isPaused || !app.bundleIdentifier || !remembersInputSources())
        return;
    if (const auto current = m_inputSourceManager.currentInputSource())
        m_memory->remember(*app.bundleIdentifier, current->id);
}

void RuleEngine::giveFeedback(const QString& applicationID, const QString& target)
{
    Q_EMIT switched(applicationID, target);
    const QString name = m_inputSourceManager.displayName(target);
    if (m_feedback.showInputSource)
        m_feedback.showInputSource(name, target);
    if (m_feedback.playSwitchSound)
        m_feedback.playSwitchSound();
    postSwitchNotification(name);
}

void RuleEngine::postSwitchNotification(const QString& name)
{
    if (!Preferences::boolValue(PreferenceKeys::showNotification))
        return;
    if (!m_feedback.notifications)
        return;
    m_feedback.notifications->post(Tolvane::tr("Input Source Changed"), name, [](const std::optional<QString>& error) {
        if (error)
            Logger::shared().error(QStringLiteral("Notification error: ") + *error);
    });
}
