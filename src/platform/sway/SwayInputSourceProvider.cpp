#include "SwayInputSourceProvider.h"

#include "SwayIpcSocket.h"
#include "base/Logger.h"
#include "platform/freedesktop/InputSourceCountry.h"
#include "platform/freedesktop/XkbRegistry.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>

#include <algorithm>

namespace {

QString countryOf(const QString& id)
{
    return id.startsWith(QLatin1String("xkb:")) ? InputSourceCountry::ofXkbGroupIdentifier(id.mid(4)) : QString();
}

// Sway's device identifiers are "vendor:product:name" with the name's blanks
// made underscores; one with quotes or backslashes cannot be named in a command.
bool canNameInCommand(const QString& identifier)
{
    static const QRegularExpression plain(QStringLiteral("^[^\"'\\\\\\s;,]+$"));
    return plain.match(identifier).hasMatch();
}

} // namespace

SwayInputSourceProvider::SwayInputSourceProvider(SwayIpcSocket& commands, SwayIpcSocket& events,
                                                 const XkbRegistry& registry, QObject* parent)
    : InputSourceProvider(parent)
    , m_commands(commands)
    , m_events(events)
    , m_registry(registry)
{
    connect(&events, &SwayIpcSocket::eventReceived, this, &SwayInputSourceProvider::handleEvent);
    readKeyboards();
}

QString SwayInputSourceProvider::identifierForDescription(const QString& description, const XkbRegistry& registry)
{
    const auto info = registry.findByDescription(description);
    if (!info)
        return QStringLiteral("xkb:") + description;
    QString id = QStringLiteral("xkb:") + info->layout;
    if (!info->variant.isEmpty())
        id += QLatin1Char('(') + info->variant + QLatin1Char(')');
    return id;
}

// A keyboard whose keymap names no layout (a virtual keyboard with a keymap of
// its own) has nothing to switch and is left out.
std::optional<SwayInputSourceProvider::Keyboard> SwayInputSourceProvider::keyboardFrom(const QJsonObject& input) const
{
    if (input.value(QLatin1String("type")).toString() != QLatin1String("keyboard"))
        return std::nullopt;
    Keyboard keyboard;
    keyboard.identifier = input.value(QLatin1String("identifier")).toString();
    const QJsonArray names = input.value(QLatin1String("xkb_layout_names")).toArray();
    for (const QJsonValue& name : names) {
        const QString description = name.toString().trimmed();
        if (description.isEmpty())
            return std::nullopt;
        keyboard.names.append(description);
        keyboard.ids.append(identifierForDescription(description, m_registry));
        keyboard.countries.append(countryOf(keyboard.ids.constLast()));
    }
    if (keyboard.identifier.isEmpty() || keyboard.ids.isEmpty())
        return std::nullopt;
    keyboard.active = input.value(QLatin1String("xkb_active_layout_index")).toInt();
    return keyboard;
}

QList<SwayInputSourceProvider::Keyboard> SwayInputSourceProvider::keyboardsFrom(const QByteArray& inputsReply) const
{
    QList<Keyboard> keyboards;
    const QJsonArray inputs = QJsonDocument::fromJson(inputsReply).array();
    for (const QJsonValue& input : inputs) {
        if (const auto keyboard = keyboardFrom(input.toObject())) {
            // One physical keyboard can appear as several devices with one identifier.
            const bool seen = std::any_of(keyboards.cbegin(), keyboards.cend(),
                                          [&](const Keyboard& k) { return k.identifier == keyboard->identifier; });
            if (!seen)
                keyboards.append(*keyboard);
        }
    }
    return keyboards;
}

bool SwayInputSourceProvider::readKeyboards()
{
    const auto reply = m_commands.request(SwayIpcSocket::GetInputs);
    if (!reply)
        return false;
    m_keyboards = keyboardsFrom(*reply);
    keyboardsChanged();
    return true;
}

QHash<QString, int> SwayInputSourceProvider::activeLayoutsFrom(const QByteArray& inputsReply)
{
    QHash<QString, int> active;
    const QJsonArray inputs = QJsonDocument::fromJson(inputsReply).array();
    for (const QJsonValue& value : inputs) {
        const QJsonObject input = value.toObject();
        if (input.value(QLatin1String("type")).toString() != QLatin1String("keyboard"))
            continue;
        const QString identifier = input.value(QLatin1String("identifier")).toString();
        if (!active.contains(identifier))
            active.insert(identifier, input.value(QLatin1String("xkb_active_layout_index")).toInt(-1));
    }
    return active;
}

void SwayInputSourceProvider::keyboardsChanged()
{
    m_sources.clear();
    QStringList listed;
    for (const Keyboard& keyboard : std::as_const(m_keyboards)) {
        for (qsizetype i = 0; i < keyboard.ids.size(); ++i) {
            const QString& id = keyboard.ids.at(i);
            if (listed.contains(id))
                continue;
            listed.append(id);
            m_sources.append(InputSourceProperties::of(id, keyboard.names.at(i), true, keyboard.countries.at(i)));
        }
    }
    prepareSwitches();
}

void SwayInputSourceProvider::prepareSwitches()
{
    m_switches.clear();
    for (const InputSourceProperties& source : std::as_const(m_sources)) {
        Switch prepared;
        const QString command = switchCommand(*source.id, prepared.targets);
        if (command.isEmpty())
            continue;
        prepared.command = SwayIpcSocket::encode(SwayIpcSocket::RunCommand, command.toUtf8());
        prepared.frames = prepared.command + SwayIpcSocket::encode(SwayIpcSocket::GetInputs, {});
        m_switches.insert(*source.id, prepared);
    }
}

qsizetype SwayInputSourceProvider::indexOf(const QString& identifier) const
{
    for (qsizetype i = 0; i < m_keyboards.size(); ++i) {
        if (m_keyboards.at(i).identifier == identifier)
            return i;
    }
    return -1;
}

const SwayInputSourceProvider::Keyboard* SwayInputSourceProvider::primaryKeyboard() const
{
    if (m_keyboards.isEmpty())
        return nullptr;
    const qsizetype primary = indexOf(m_primary);
    return &m_keyboards.at(primary < 0 ? 0 : primary);
}

std::optional<QString> SwayInputSourceProvider::currentId() const
{
    const Keyboard* keyboard = primaryKeyboard();
    if (!keyboard || keyboard->active < 0 || keyboard->active >= keyboard->ids.size())
        return std::nullopt;
    return keyboard->ids.at(keyboard->active);
}

std::optional<QList<InputSourceProperties>> SwayInputSourceProvider::enabledInputSources()
{
    return m_sources;
}

std::optional<InputSourceProperties> SwayInputSourceProvider::currentInputSource()
{
    const Keyboard* keyboard = primaryKeyboard();
    if (!keyboard || keyboard->active < 0 || keyboard->active >= keyboard->ids.size())
        return std::nullopt;
    const QString& id = keyboard->ids.at(keyboard->active);
    return InputSourceProperties::of(id, keyboard->names.at(keyboard->active), std::nullopt,
                                     keyboard->countries.at(keyboard->active));
}

// One command for all keyboards when they hold the layout at the same place
// (the usual case: one layout list for every keyboard), else one per keyboard.
QString SwayInputSourceProvider::switchCommand(const QString& id, QHash<QString, int>& targets) const
{
    bool samePlaceEverywhere = true;
    for (const Keyboard& keyboard : m_keyboards) {
        const int index = int(keyboard.ids.indexOf(id));
        if (index < 0) {
            samePlaceEverywhere = false;
            continue;
        }
        if (!targets.isEmpty() && targets.constBegin().value() != index)
            samePlaceEverywhere = false;
        targets.insert(keyboard.identifier, index);
    }
    if (targets.isEmpty())
        return {};
    if (samePlaceEverywhere)
        return QStringLiteral("input type:keyboard xkb_switch_layout %1").arg(targets.constBegin().value());
    QStringList commands;
    for (auto it = targets.begin(); it != targets.end();) {
        if (!canNameInCommand(it.key())) {
            it = targets.erase(it);
            continue;
        }
        commands.append(QStringLiteral("input \"%1\" xkb_switch_layout %2").arg(it.key()).arg(it.value()));
        ++it;
    }
    return commands.join(QStringLiteral("; "));
}

QByteArray SwayInputSourceProvider::switchCommandFrame(const QString& id) const
{
    const auto prepared = m_switches.constFind(id);
    return prepared == m_switches.constEnd() ? QByteArray() : prepared->command;
}

void SwayInputSourceProvider::beginActivation(const SwaySwitchingThread::Outcome& outcome)
{
    m_activation = outcome;
    // The activation is handled within this turn of the loop; a selection
    // made later (from the tray) is the user's own.
    QMetaObject::invokeMethod(
        this, [this] { m_activation = {}; }, Qt::QueuedConnection);
}

bool SwayInputSourceProvider::selectInputSource(const QString& id)
{
    const auto prepared = m_switches.constFind(id);
    if (prepared == m_switches.constEnd())
        return false;
    if (m_activation.kind == SwaySwitchingThread::Outcome::Kind::Sent && m_activation.frames == prepared->command)
        return awaitSwitch(*prepared);
    return sendSwitch(*prepared);
}

// Sway says "success" even for a layout a keyboard does not have, so the
// keyboards' state, asked for in the same write, decides. The command goes
// out first, as prepared when the keyboards last changed.
bool SwayInputSourceProvider::sendSwitch(const Switch& prepared)
{
    std::unique_lock<std::mutex> hold;
    if (m_thread) {
        hold = m_thread->holdUnlessSuperseded();
        if (!hold.owns_lock())
            return false; // the switching thread has switched for a later activation already
    }
    const auto replies = m_commands.requestFrames(prepared.frames, 2);
    if (hold.owns_lock())
        hold.unlock();
    if (!replies)
        return false;
    return takeActiveLayouts(prepared.targets, activeLayoutsFrom(replies->at(1)));
}

// The switching thread sent the command as sway reported the activation. It
// is done once sway reports every keyboard that had to move at its new layout
// (one already there sends nothing); waiting for that keeps the feedback off
// the processor while sway and the application in front still work on the switch.
bool SwayInputSourceProvider::awaitSwitch(const Switch& prepared)
{
    constexpr int kReportedWithinMs = 100;
    QHash<QString, int> moving;
    QHash<QString, int> arrived;
    for (auto target = prepared.targets.cbegin(); target != prepared.targets.cend(); ++target) {
        const qsizetype known = indexOf(target.key());
        if (known < 0)
            continue;
        arrived.insert(target.key(), target.value());
        if (m_keyboards.at(known).active != target.value())
            moving.insert(target.key(), target.value());
    }
    const bool reported = moving.isEmpty()
        || m_events.waitForEvent(
            [&](quint32 type, const QByteArray& payload) {
                if (type != SwayIpcSocket::InputEvent)
                    return false;
                const QJsonObject event = QJsonDocument::fromJson(payload).object();
                const QJsonObject input = event.value(QLatin1String("input")).toObject();
                const auto target = moving.constFind(input.value(QLatin1String("identifier")).toString());
                if (event.value(QLatin1String("change")).toString() == QLatin1String("xkb_layout")
                    && target != moving.cend()
                    && input.value(QLatin1String("xkb_active_layout_index")).toInt(-1) == target.value())
                    moving.erase(target);
                return moving.isEmpty();
            },
            kReportedWithinMs);
    if (reported)
        return takeActiveLayouts(prepared.targets, arrived);
    // Not reported in time: sway's state decides.
    const auto inputs = m_commands.request(SwayIpcSocket::GetInputs);
    return inputs && takeActiveLayouts(prepared.targets, activeLayoutsFrom(*inputs));
}

// Whether the keyboards are at their targets by `now`, recording where they are.
bool SwayInputSourceProvider::takeActiveLayouts(const QHash<QString, int>& targets, const QHash<QString, int>& now)
{
    const std::optional<QString> before = currentId();
    bool switched = false;
    for (auto target = targets.constBegin(); target != targets.constEnd(); ++target) {
        const auto active = now.constFind(target.key());
        if (active == now.constEnd())
            continue;
        if (const qsizetype known = indexOf(target.key()); known >= 0)
            m_keyboards[known].active = active.value();
        if (active.value() != target.value()) {
            announceIfCurrentChanged(before);
            return false;
        }
        switched = true;
    }
    if (switched)
        announceIfCurrentChanged(before);
    return switched;
}

void SwayInputSourceProvider::announceIfCurrentChanged(const std::optional<QString>& before)
{
    if (currentId() == before)
        return;
    // After the caller's turn, as a system's notice of the new selection would come.
    QMetaObject::invokeMethod(this, &InputSourceProvider::selectedInputSourceChanged, Qt::QueuedConnection);
}

void SwayInputSourceProvider::handleEvent(quint32 type, const QByteArray& payload)
{
    if (type != SwayIpcSocket::InputEvent)
        return;
    const QJsonObject event = QJsonDocument::fromJson(payload).object();
    handleInputChange(event.value(QLatin1String("change")).toString(), event.value(QLatin1String("input")).toObject());
}

void SwayInputSourceProvider::handleInputChange(const QString& change, const QJsonObject& input)
{
    const QString identifier = input.value(QLatin1String("identifier")).toString();
    const qsizetype known = indexOf(identifier);
    const std::optional<QString> before = currentId();

    // The most frequent event, one per keyboard and switch: only the index is read.
    if (change == QLatin1String("xkb_layout")) {
        const int active = input.value(QLatin1String("xkb_active_layout_index")).toInt(-1);
        if (known < 0 || active < 0 || active >= m_keyboards.at(known).ids.size()
            || active == m_keyboards.at(known).active)
            return; // a keyboard arriving at its first layout, or a switch already seen
        m_keyboards[known].active = active;
        m_primary = identifier;
        if (currentId() != before)
            Q_EMIT selectedInputSourceChanged();
        return;
    }
    const auto keyboard = keyboardFrom(input);
    if (change == QLatin1String("removed")) {
        if (known < 0)
            return;
        m_keyboards.removeAt(known);
        keyboardsChanged();
        Q_EMIT enabledInputSourcesChanged();
        if (currentId() != before)
            Q_EMIT selectedInputSourceChanged();
        return;
    }
    if (change != QLatin1String("added") && change != QLatin1String("xkb_keymap"))
        return;
    if (!keyboard) {
        if (known >= 0) {
            m_keyboards.removeAt(known);
            keyboardsChanged();
            Q_EMIT enabledInputSourcesChanged();
        }
        return;
    }
    if (known >= 0)
        m_keyboards[known] = *keyboard;
    else
        m_keyboards.append(*keyboard);
    keyboardsChanged();
    Q_EMIT enabledInputSourcesChanged();
    // A new or newly mapped keyboard starts at its first layout. (Devices can
    // share an identifier, as all virtual keyboards do; naming it again in a
    // command leaves the others where they are.)
    if (before && keyboard->ids.value(keyboard->active) != *before)
        bringToLayout(*keyboard, *before);
    if (currentId() != before)
        Q_EMIT selectedInputSourceChanged();
}

void SwayInputSourceProvider::bringToLayout(const Keyboard& keyboard, const QString& id)
{
    const int index = int(keyboard.ids.indexOf(id));
    if (index < 0 || !canNameInCommand(keyboard.identifier))
        return;
    const QString command = QStringLiteral("input \"%1\" xkb_switch_layout %2").arg(keyboard.identifier).arg(index);
    const auto replies =
        m_commands.request({{SwayIpcSocket::RunCommand, command.toUtf8()}, {SwayIpcSocket::GetInputs, QByteArray()}});
    if (!replies)
        return;
    const QHash<QString, int> now = activeLayoutsFrom(replies->at(1));
    const auto active = now.constFind(keyboard.identifier);
    if (active == now.constEnd())
        return;
    if (const qsizetype known = indexOf(keyboard.identifier); known >= 0)
        m_keyboards[known].active = active.value();
    if (active.value() == index)
        Logger::shared().info(QStringLiteral("New keyboard ") + keyboard.identifier + QStringLiteral(" -> ") + id);
}
