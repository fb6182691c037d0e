#include "RuleEngine.h"

#include "AtomicFile.h"
#include "InputSourceManager.h"
#include "Preferences.h"
#include "RulesCodec.h"
#include "Tolvane.h"
#include "WindowWatcher.h"

#include "app/Logger.h"
#include "feedback/InputSourceIndicatorController.h"
#include "feedback/SoundEffectManager.h"
#include "platform/NotificationService.h"
#include "platform/Platform.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>
#include <cstdio>

namespace {

const QString kDefaultInputSourceKey = QStringLiteral("defaultInputSourceID");
// Larger files are not rule lists anyone made; refusing them keeps a stray
// multi-gigabyte file from exhausting memory.
constexpr qint64 kMaximumRulesFileSize = 32 * 1024 * 1024;
constexpr int kKeptUnreadableFiles = 3;

void printLine(const QString& line)
{
    std::fputs(line.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

std::optional<QByteArray> readRulesFile(const QString& path, QString& error)
{
    QFile file(path);
    if (!file.exists()) {
        error = QStringLiteral("The file “%1” couldn’t be opened because there is no such file.").arg(path);
        return std::nullopt;
    }
    if (file.size() > kMaximumRulesFileSize) {
        error = QStringLiteral("The file “%1” is too large (%2 bytes) to be a rules file.").arg(path).arg(file.size());
        return std::nullopt;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("The file “%1” couldn’t be opened: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    return file.readAll();
}

} // namespace

RuleEngine& RuleEngine::shared()
{
    static auto* instance = [] {
        Feedback feedback;
        feedback.showInputSource = [](const QString& name, const QString& id) {
            InputSourceIndicatorController::shared().showInputSource(name, id);
        };
        feedback.playSwitchSound = [] { SoundEffectManager::shared().playSwitchSound(); };
        feedback.notifications = Platform::instance().notificationService();
        return new RuleEngine(InputSourceManager::shared(), WindowWatcher::shared(), std::move(feedback));
    }();
    return *instance;
}

RuleEngine::RuleEngine(InputSourceManager& inputSourceManager, WindowWatcher& watcher, Feedback feedback,
                       QObject* parent)
    : QObject(parent)
    , m_inputSourceManager(inputSourceManager)
    , m_feedback(std::move(feedback))
{
    setDefaultInputSourceID(Preferences::stringValue(kDefaultInputSourceKey));
    loadRules();
    setupSubscriptions(watcher);
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
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const QString directory = base + QStringLiteral("/Tolvane");
    QDir().mkpath(directory);
    return directory + QStringLiteral("/rules.json");
}

std::optional<QString> RuleEngine::reloadRules()
{
    return loadRules();
}

std::optional<QString> RuleEngine::loadRules()
{
    const QString path = rulesFileURL();
    QString error;
    const auto bytes = readRulesFile(path, error);
    if (bytes) {
        auto decoded = RulesCodec::decode(*bytes);
        if (decoded.rules) {
            setRules(*decoded.rules);
            return std::nullopt;
        }
        error = QStringLiteral("The data in “%1” couldn’t be read because it isn’t in the correct format: %2")
                    .arg(path, decoded.error);
    }
    m_rulesFileNeedsKeeping = QFileInfo::exists(path);
    printLine(QStringLiteral("Failed to load rules (might be fresh install): ") + error);
    return error;
}

void RuleEngine::setRules(const QList<AppRule>& rules)
{
    m_rules = rules;
    Q_EMIT rulesChanged();
    saveRules();
}

void RuleEngine::keepUnreadableRulesFile(const QString& path)
{
    const QString stamp = QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString keptPath = path + QStringLiteral(".corrupt-") + stamp;
    for (int n = 2; QFileInfo::exists(keptPath); ++n)
        keptPath = path + QStringLiteral(".corrupt-") + stamp + QLatin1Char('-') + QString::number(n);
    if (!QFile::copy(path, keptPath)) {
        Logger::shared().error(QStringLiteral("Could not keep the unreadable rules file as ") + keptPath);
        return;
    }
    Logger::shared().info(QStringLiteral("Kept the unreadable rules file as ") + keptPath);

    QDir directory = QFileInfo(path).dir();
    const QStringList kept = directory.entryList({QFileInfo(path).fileName() + QStringLiteral(".corrupt-*")},
                                                 QDir::Files, QDir::Name | QDir::Reversed);
    for (qsizetype i = kKeptUnreadableFiles; i < kept.size(); ++i)
        directory.remove(kept.at(i));
}

bool RuleEngine::saveRules()
{
    const QByteArray data = RulesCodec::encode(m_rules);
    const QString path = rulesFileURL();
    if (m_rulesFileNeedsKeeping && QFileInfo::exists(path)) {
        keepUnreadableRulesFile(path);
        m_rulesFileNeedsKeeping = false;
    }
    if (const auto error = AtomicFile::write(path, data)) {
        printLine(QStringLiteral("Failed to save rules: ") + QStringLiteral("“%1”: ").arg(path) + *error);
        return false;
    }
    return true;
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
    m_lastHandledApp = app;
    handleActivation(app);
}

void RuleEngine::handleActivation(const RunningApplication& app)
{
    if (m_isPaused)
        return;
    if (!app.bundleIdentifier)
        return;
    const QString& bundleID = *app.bundleIdentifier;

    const auto rule = std::find_if(m_rules.cbegin(), m_rules.cend(), [&](const AppRule& r) {
        return r.isEnabled && r.appBundleID == bundleID;
    });
    if (rule != m_rules.cend()) {
        const QString target = rule->targetInputSourceID;
        Logger::shared().info(QStringLiteral("[Match] ") + bundleID + QStringLiteral(" -> ") + target);
        switchTo(bundleID, target);
        return;
    }
    if (!m_defaultInputSourceID || m_defaultInputSourceID->isEmpty())
        return;
    const QString fallback = *m_defaultInputSourceID;
    Logger::shared().info(QStringLiteral("[Fallback] ") + bundleID + QStringLiteral(" -> ") + fallback);
    switchTo(bundleID, fallback);
}

void RuleEngine::switchTo(const QString& applicationID, const QString& target)
{
    if (!m_inputSourceManager.selectInputSource(target))
        return;
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
    if (!Preferences::boolValue(QStringLiteral("showNotification")))
        return;
    if (!m_feedback.notifications)
        return;
    m_feedback.notifications->post(Tolvane::tr("Input Source Changed"), name,
                                   [](const std::optional<QString>& error) {
                                       if (error)
                                           Logger::shared().error(QStringLiteral("Notification error: ") + *error);
                                   });
}
