#include "Fcitx5InputSourceProvider.h"

#include "platform/freedesktop/InputSourceCountry.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QTimer>

namespace {

const QString controllerPath = QStringLiteral("/controller");
const QString controllerInterface = QStringLiteral("org.fcitx.Fcitx.Controller1");
// A daemon that hangs must not freeze Tolvane for the default 25 seconds.
constexpr int callTimeoutMs = 1000;
constexpr int maxReadyAttempts = 50;
constexpr int readyRetryMs = 100;

bool isReply(const QDBusMessage& message)
{
    return message.type() == QDBusMessage::ReplyMessage;
}

std::optional<QString> stringReply(const QDBusMessage& reply)
{
    if (!isReply(reply) || reply.arguments().isEmpty()
        || reply.arguments().at(0).metaType() != QMetaType::fromType<QString>())
        return std::nullopt;
    return reply.arguments().at(0).toString();
}

} // namespace

Fcitx5InputSourceProvider::Fcitx5InputSourceProvider(QDBusConnection bus, QObject* parent)
    : InputMethodProvider(parent)
    , m_bus(bus)
{
    const QString service = QString::fromLatin1(serviceName);
    m_watcher = new QDBusServiceWatcher(
        service, m_bus, QDBusServiceWatcher::WatchForRegistration | QDBusServiceWatcher::WatchForUnregistration, this);
    connect(m_watcher, &QDBusServiceWatcher::serviceRegistered, this, [this] {
        m_readyAttempts = 0;
        waitUntilReady();
    });
    connect(m_watcher, &QDBusServiceWatcher::serviceUnregistered, this, [this] { setRunning(false); });
    m_bus.connect(service, controllerPath, controllerInterface, QStringLiteral("InputMethodGroupsChanged"), this,
                  SLOT(groupsChanged()));
    // fcitx5's tray item, whichever of its connections carries it; other tray
    // items only cause a cheap re-read that changes nothing.
    for (const char* signal : {"NewIcon", "NewToolTip", "NewTitle", "NewStatus"})
        m_bus.connect(QString(), QStringLiteral("/StatusNotifierItem"), QStringLiteral("org.kde.StatusNotifierItem"),
                      QLatin1String(signal), this, SLOT(trayItemChanged()));
    m_running = m_bus.isConnected() && m_bus.interface() && m_bus.interface()->isServiceRegistered(service).value();
}

void Fcitx5InputSourceProvider::waitUntilReady()
{
    // fcitx5 takes its name before its controller answers; it counts as
    // running once the controller does (a few tries, while the name stays).
    if (m_running)
        return;
    const QDBusMessage probe = call(QStringLiteral("CurrentInputMethodGroup"));
    if (isReply(probe)) {
        setRunning(true);
        return;
    }
    const bool stillThere =
        m_bus.interface() && m_bus.interface()->isServiceRegistered(QString::fromLatin1(serviceName)).value();
    if (stillThere && ++m_readyAttempts < maxReadyAttempts)
        QTimer::singleShot(readyRetryMs, this, &Fcitx5InputSourceProvider::waitUntilReady);
}

void Fcitx5InputSourceProvider::setRunning(bool running)
{
    if (running == m_running)
        return;
    m_running = running;
    m_displayNames.clear();
    m_countryCodes.clear();
    m_displayNamesLoaded = false;
    m_lastCurrent.clear();
    m_lastGroup.clear();
    Q_EMIT runningChanged();
}

QDBusMessage Fcitx5InputSourceProvider::call(const QString& method, const QVariantList& arguments)
{
    QDBusMessage message =
        QDBusMessage::createMethodCall(QString::fromLatin1(serviceName), controllerPath, controllerInterface, method);
    message.setArguments(arguments);
    // Never start fcitx5 by D-Bus activation: a framework the user does not run stays off.
    message.setAutoStartService(false);
    return m_bus.call(message, QDBus::Block, callTimeoutMs);
}

std::optional<QString> Fcitx5InputSourceProvider::currentGroupName()
{
    return stringReply(call(QStringLiteral("CurrentInputMethodGroup")));
}

std::optional<QList<QString>> Fcitx5InputSourceProvider::groupInputMethods()
{
    const auto group = currentGroupName();
    if (!group)
        return std::nullopt;
    const QDBusMessage reply = call(QStringLiteral("InputMethodGroupInfo"), {*group});
    // (s default layout, a(ss) entries: input method, layout)
    if (!isReply(reply) || reply.arguments().size() < 2 || !reply.arguments().at(1).canConvert<QDBusArgument>())
        return std::nullopt;
    const QDBusArgument entries = reply.arguments().at(1).value<QDBusArgument>();
    if (entries.currentSignature() != QLatin1String("a(ss)"))
        return std::nullopt;
    QList<QString> names;
    entries.beginArray();
    while (!entries.atEnd()) {
        QString name;
        QString layout;
        entries.beginStructure();
        entries >> name >> layout;
        entries.endStructure();
        if (!name.isEmpty())
            names.append(name);
    }
    entries.endArray();
    return names;
}

std::optional<QString> Fcitx5InputSourceProvider::currentInputMethodName()
{
    return stringReply(call(QStringLiteral("CurrentInputMethod")));
}

std::optional<QString> Fcitx5InputSourceProvider::displayName(const QString& inputMethod)
{
    loadInputMethodInfo(inputMethod);
    const auto found = m_displayNames.constFind(inputMethod);
    if (found == m_displayNames.constEnd())
        return std::nullopt;
    return *found;
}

QString Fcitx5InputSourceProvider::countryCode(const QString& inputMethod)
{
    loadInputMethodInfo(inputMethod);
    const auto found = m_countryCodes.constFind(inputMethod);
    if (found != m_countryCodes.constEnd())
        return *found;
    return InputSourceCountry::ofFcitx5InputMethod(inputMethod, QString());
}

void Fcitx5InputSourceProvider::loadInputMethodInfo(const QString& inputMethod)
{
    if (!m_displayNamesLoaded || !m_displayNames.contains(inputMethod)) {
        // Loaded once per daemon run, and again when an input method turns up
        // that was not installed when the list was read.
        const QDBusMessage reply = call(QStringLiteral("AvailableInputMethods"));
        if (isReply(reply) && !reply.arguments().isEmpty() && reply.arguments().at(0).canConvert<QDBusArgument>()) {
            const QDBusArgument list = reply.arguments().at(0).value<QDBusArgument>();
            if (list.currentSignature() == QLatin1String("a(ssssssb)")) {
                m_displayNames.clear();
                m_countryCodes.clear();
                list.beginArray();
                while (!list.atEnd()) {
                    QString uniqueName, name, nativeName, icon, label, language;
                    bool configurable = false;
                    list.beginStructure();
                    list >> uniqueName >> name >> nativeName >> icon >> label >> language >> configurable;
                    list.endStructure();
                    if (!uniqueName.isEmpty() && !name.isEmpty())
                        m_displayNames.insert(uniqueName, name);
                    if (!uniqueName.isEmpty())
                        m_countryCodes.insert(uniqueName,
                                              InputSourceCountry::ofFcitx5InputMethod(uniqueName, language));
                }
                list.endArray();
                m_displayNamesLoaded = true;
            }
        }
    }
}

std::optional<QList<InputSourceProperties>> Fcitx5InputSourceProvider::enabledInputSources()
{
    if (!m_running)
        return std::nullopt;
    const auto names = groupInputMethods();
    if (!names)
        return std::nullopt;
    m_lastGroup = *names;
    QList<InputSourceProperties> sources;
    for (const QString& name : *names)
        sources.append(InputSourceProperties::of(identifier(name), displayName(name), true, countryCode(name)));
    return sources;
}

std::optional<InputSourceProperties> Fcitx5InputSourceProvider::currentInputSource()
{
    if (!m_running)
        return std::nullopt;
    const auto name = currentInputMethodName();
    // An empty name: no application has the focus, so nothing is current.
    if (!name || name->isEmpty())
        return std::nullopt;
    m_lastCurrent = *name;
    return InputSourceProperties::of(identifier(*name), displayName(*name), std::nullopt, countryCode(*name));
}

bool Fcitx5InputSourceProvider::selectInputSource(const QString& id)
{
    const auto name = localName(id);
    if (!m_running || !name)
        return false;
    const auto group = groupInputMethods();
    if (!group || !group->contains(*name))
        return false;
    // SetCurrentIM answers without error even when nothing is focused or the
    // name is unknown; only reading it back tells whether fcitx5 took it.
    if (!isReply(call(QStringLiteral("SetCurrentIM"), {*name})))
        return false;
    const auto now = currentInputMethodName();
    if (!now || *now != *name)
        return false;
    if (m_lastCurrent != *name) {
        m_lastCurrent = *name;
        Q_EMIT selectedInputSourceChanged();
    }
    return true;
}

void Fcitx5InputSourceProvider::trayItemChanged()
{
    // A switch updates icon, tooltip and menu in one burst: re-read once.
    if (m_rereading || !m_running)
        return;
    m_rereading = true;
    QTimer::singleShot(0, this, [this] {
        m_rereading = false;
        if (!m_running)
            return;
        const auto group = groupInputMethods();
        if (group && *group != m_lastGroup) {
            m_lastGroup = *group;
            Q_EMIT enabledInputSourcesChanged();
        }
        const QString current = currentInputMethodName().value_or(QString());
        if (current != m_lastCurrent) {
            m_lastCurrent = current;
            Q_EMIT selectedInputSourceChanged();
        }
    });
}

void Fcitx5InputSourceProvider::groupsChanged()
{
    if (!m_running)
        return;
    Q_EMIT enabledInputSourcesChanged();
    Q_EMIT selectedInputSourceChanged();
}
