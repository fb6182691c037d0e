#include "TolvaneBusAdaptor.h"

#include "core/InputSourceManager.h"
#include "core/RuleEngine.h"
#include "core/WindowWatcher.h"
#include "feedback/FlagEmoji.h"
#include "platform/InputSourceProvider.h"

#include "BusNames.h"

#include <QDBusVariant>

#include <algorithm>

namespace {

BusInputSource busInputSource(const InputSource& source)
{
    return {source.id, source.name, flagEmoji(source)};
}
} // namespace

TolvaneBusAdaptor::TolvaneBusAdaptor(QObject* host, const QDBusConnection& connection, Dependencies dependencies)
    : QDBusAbstractAdaptor(host)
    , m_connection(connection)
    , m_dependencies(std::move(dependencies))
{
    Q_ASSERT(m_dependencies.ruleEngine && m_dependencies.watcher);
    registerBusRecords();
    m_published = currentProperties();
    m_publishTimer.setSingleShot(true);
    // The changes of one activation (application, source) are announced
    // together once it has been handled, never between it and the switch.
    m_publishTimer.setInterval(0);
    connect(&m_publishTimer, &QTimer::timeout, this, &TolvaneBusAdaptor::publishChangedProperties);

    RuleEngine* engine = m_dependencies.ruleEngine;
    connect(engine, &RuleEngine::isPausedChanged, this, &TolvaneBusAdaptor::publishChangedPropertiesSoon);
    connect(engine, &RuleEngine::rulesChanged, this, &TolvaneBusAdaptor::publishChangedPropertiesSoon);
    connect(engine, &RuleEngine::switched, this, &TolvaneBusAdaptor::Switched);
    connect(m_dependencies.watcher, &WindowWatcher::activeAppChanged, this,
            &TolvaneBusAdaptor::publishChangedPropertiesSoon);
    if (InputSourceProvider* provider = inputSources().provider()) {
        connect(provider, &InputSourceProvider::selectedInputSourceChanged, this,
                &TolvaneBusAdaptor::publishChangedPropertiesSoon);
        connect(provider, &InputSourceProvider::enabledInputSourcesChanged, this,
                &TolvaneBusAdaptor::publishChangedPropertiesSoon);
    }
}

InputSourceManager& TolvaneBusAdaptor::inputSources() const
{
    return m_dependencies.ruleEngine->inputSourceManager();
}

bool TolvaneBusAdaptor::isPaused() const
{
    return m_dependencies.ruleEngine->isPaused();
}

BusInputSource TolvaneBusAdaptor::currentInputSource() const
{
    const auto current = inputSources().currentInputSource();
    return current ? busInputSource(*current) : BusInputSource{};
}

BusApplication TolvaneBusAdaptor::frontmostApplication() const
{
    const RunningApplication app = m_dependencies.watcher->activeApp();
    if (!app.isValid())
        return {};
    return {app.bundleIdentifier.value_or(QString()), app.localizedName};
}

uint TolvaneBusAdaptor::ruleCount() const
{
    return uint(m_dependencies.ruleEngine->rules().size());
}

void TolvaneBusAdaptor::Pause()
{
    m_dependencies.setPaused(true);
}

void TolvaneBusAdaptor::Resume()
{
    m_dependencies.setPaused(false);
}

void TolvaneBusAdaptor::TogglePause()
{
    m_dependencies.setPaused(!isPaused());
}

void TolvaneBusAdaptor::OpenSettings()
{
    m_dependencies.openSettings();
}

void TolvaneBusAdaptor::ReloadRules(const QDBusMessage& message)
{
    const auto error = m_dependencies.ruleEngine->reloadRules();
    if (!error)
        return;
    message.setDelayedReply(true);
    m_connection.send(
        message.createErrorReply(BusNames::interface() + QStringLiteral(".Error.RulesUnreadable"), *error));
}

QList<BusInputSource> TolvaneBusAdaptor::ListInputSources() const
{
    QList<BusInputSource> sources;
    for (const InputSource& source : inputSources().installedInputSources())
        sources.append(busInputSource(source));
    return sources;
}

QList<BusApplication> TolvaneBusAdaptor::ListApplications() const
{
    QList<BusApplication> applications;
    const QList<RunningApplication> running =
        m_dependencies.runningApplications ? m_dependencies.runningApplications() : QList<RunningApplication>{};
    for (const RunningApplication& app : running) {
        // Only an application with an identifier can have a rule.
        if (!app.bundleIdentifier || app.bundleIdentifier->isEmpty())
            continue;
        const BusApplication entry{*app.bundleIdentifier, app.localizedName};
        if (!applications.contains(entry))
            applications.append(entry);
    }
    std::sort(applications.begin(), applications.end(),
              [](const BusApplication& a, const BusApplication& b) { return a.id < b.id; });
    return applications;
}

QVariantMap TolvaneBusAdaptor::currentProperties() const
{
    return {
        {QStringLiteral("IsPaused"), isPaused()},
        {QStringLiteral("CurrentInputSource"), QVariant::fromValue(currentInputSource())},
        {QStringLiteral("FrontmostApplication"), QVariant::fromValue(frontmostApplication())},
        {QStringLiteral("RuleCount"), ruleCount()},
        {QStringLiteral("Backend"), backend()},
    };
}

void TolvaneBusAdaptor::publishChangedPropertiesSoon()
{
    if (!m_publishTimer.isActive())
        m_publishTimer.start();
}

// QtDBus does not announce property changes itself.
void TolvaneBusAdaptor::publishChangedProperties()
{
    const QVariantMap now = currentProperties();
    QVariantMap changed;
    for (auto it = now.cbegin(); it != now.cend(); ++it) {
        if (m_published.value(it.key()) != it.value())
            changed.insert(it.key(), it.value());
    }
    m_published = now;
    if (changed.isEmpty())
        return;
    QDBusMessage signal = QDBusMessage::createSignal(
        BusNames::path(), QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("PropertiesChanged"));
    signal << BusNames::interface() << changed << QStringList();
    m_connection.send(signal);
}
