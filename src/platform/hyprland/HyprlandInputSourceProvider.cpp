#include "HyprlandInputSourceProvider.h"

#include "HyprlandIpc.h"
#include "platform/freedesktop/InputSourceCountry.h"
#include "platform/freedesktop/XkbRegistry.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QSet>

namespace {

QString identifier(const QString& layout, const QString& variant)
{
    QString id = QStringLiteral("xkb:") + layout.trimmed();
    if (!variant.trimmed().isEmpty())
        id += QLatin1Char('(') + variant.trimmed() + QLatin1Char(')');
    return id;
}

QString countryOf(const QString& id)
{
    return InputSourceCountry::ofXkbGroupIdentifier(id.mid(4));
}

// Hyprland's device names are lower case with dashes for blanks; anything
// that could split a request is refused.
bool canNameInRequest(const QString& device)
{
    static const QRegularExpression plain(QStringLiteral("^[^\\s;,\\[\\]]+$"));
    return plain.match(device).hasMatch();
}

} // namespace

HyprlandInputSourceProvider::HyprlandInputSourceProvider(HyprlandIpc& ipc, const XkbRegistry& registry, QObject* parent)
    : InputSourceProvider(parent)
    , m_ipc(ipc)
    , m_registry(registry)
{
    connect(&m_ipc, &HyprlandIpc::eventReceived, this, &HyprlandInputSourceProvider::handleEvent);
    readKeyboards();
}

HyprlandInputSourceProvider::Keyboard HyprlandInputSourceProvider::keyboardFrom(const QJsonObject& device) const
{
    Keyboard keyboard;
    keyboard.name = device.value(QLatin1String("name")).toString();
    keyboard.main = device.value(QLatin1String("main")).toBool();
    const QStringList layouts = device.value(QLatin1String("layout")).toString().split(QLatin1Char(','));
    const QStringList variants = device.value(QLatin1String("variant")).toString().split(QLatin1Char(','));
    for (qsizetype i = 0; i < layouts.size(); ++i) {
        const QString layout = layouts.at(i).trimmed();
        if (layout.isEmpty())
            continue;
        const QString variant = variants.value(i).trimmed();
        keyboard.ids.append(identifier(layout, variant));
        const auto info = m_registry.find(layout, variant);
        keyboard.names.append(info ? info->description : keyboard.ids.constLast());
    }
    keyboard.active =
        int(qMax<qsizetype>(0, keyboard.names.indexOf(device.value(QLatin1String("active_keymap")).toString())));
    return keyboard;
}

void HyprlandInputSourceProvider::readKeyboards()
{
    const QJsonObject devices = QJsonDocument::fromJson(m_ipc.request("j/devices").value_or(QByteArray())).object();
    QList<Keyboard> keyboards;
    const QJsonArray list = devices.value(QLatin1String("keyboards")).toArray();
    for (const QJsonValue& device : list) {
        Keyboard keyboard = keyboardFrom(device.toObject());
        if (!keyboard.name.isEmpty() && !keyboard.ids.isEmpty())
            keyboards.append(keyboard);
    }
    m_keyboards = keyboards;
}

qsizetype HyprlandInputSourceProvider::indexOf(const QString& name) const
{
    for (qsizetype i = 0; i < m_keyboards.size(); ++i) {
        if (m_keyboards.at(i).name == name)
            return i;
    }
    return -1;
}

const HyprlandInputSourceProvider::Keyboard* HyprlandInputSourceProvider::primaryKeyboard() const
{
    if (const qsizetype primary = indexOf(m_primary); primary >= 0)
        return &m_keyboards.at(primary);
    for (const Keyboard& keyboard : m_keyboards) {
        if (keyboard.main)
            return &keyboard;
    }
    return m_keyboards.isEmpty() ? nullptr : &m_keyboards.constFirst();
}

std::optional<QString> HyprlandInputSourceProvider::currentId() const
{
    const Keyboard* keyboard = primaryKeyboard();
    if (!keyboard || keyboard->active < 0 || keyboard->active >= keyboard->ids.size())
        return std::nullopt;
    return keyboard->ids.at(keyboard->active);
}

std::optional<QList<InputSourceProperties>> HyprlandInputSourceProvider::enabledInputSources()
{
    QList<InputSourceProperties> sources;
    QSet<QString> listed;
    for (const Keyboard& keyboard : std::as_const(m_keyboards)) {
        for (qsizetype i = 0; i < keyboard.ids.size(); ++i) {
            if (listed.contains(keyboard.ids.at(i)))
                continue;
            listed.insert(keyboard.ids.at(i));
            sources.append(InputSourceProperties::of(keyboard.ids.at(i), keyboard.names.at(i), true,
                                                     countryOf(keyboard.ids.at(i))));
        }
    }
    return sources;
}

std::optional<InputSourceProperties> HyprlandInputSourceProvider::currentInputSource()
{
    const Keyboard* keyboard = primaryKeyboard();
    if (!keyboard || keyboard->active < 0 || keyboard->active >= keyboard->ids.size())
        return std::nullopt;
    const QString& id = keyboard->ids.at(keyboard->active);
    return InputSourceProperties::of(id, keyboard->names.at(keyboard->active), std::nullopt, countryOf(id));
}

bool HyprlandInputSourceProvider::selectInputSource(const QString& id)
{
    QHash<QString, int> targets;
    bool hasLayout = false;
    for (const Keyboard& keyboard : std::as_const(m_keyboards)) {
        const int index = int(keyboard.ids.indexOf(id));
        if (index < 0)
            continue;
        hasLayout = true;
        // Switching to the layout already active sends no event to wait for.
        if (index != keyboard.active && canNameInRequest(keyboard.name))
            targets.insert(keyboard.name, index);
    }
    if (!hasLayout)
        return false;
    return switchKeyboards(targets);
}

bool HyprlandInputSourceProvider::switchKeyboards(const QHash<QString, int>& targets)
{
    QHash<QString, QString> awaited; // keyboard -> the layout name its event will carry
    for (auto it = targets.constBegin(); it != targets.constEnd(); ++it) {
        const auto reply =
            m_ipc.request(QStringLiteral("switchxkblayout %1 %2").arg(it.key()).arg(it.value()).toUtf8());
        if (!reply || reply->trimmed() != "ok")
            return false;
        const Keyboard& keyboard = m_keyboards.at(indexOf(it.key()));
        awaited.insert(it.key(), keyboard.names.at(it.value()));
    }
    if (awaited.isEmpty())
        return true;
    return m_ipc.waitForEvent(
        [&awaited](const QByteArray& name, const QByteArray& data) {
            if (name != "activelayout")
                return false;
            const qsizetype comma = data.indexOf(',');
            const QString keyboard = QString::fromUtf8(data.left(comma));
            if (comma > 0 && awaited.value(keyboard) == QString::fromUtf8(data.mid(comma + 1)))
                awaited.remove(keyboard);
            return awaited.isEmpty();
        },
        kConfirmationTimeoutMs);
}

// "activelayout>>KEYBOARD,LAYOUT NAME"; layout names can hold commas, keyboard names cannot.
void HyprlandInputSourceProvider::handleEvent(const QByteArray& name, const QByteArray& data)
{
    if (name != "activelayout")
        return;
    const qsizetype comma = data.indexOf(',');
    if (comma <= 0)
        return;
    const QString keyboardName = QString::fromUtf8(data.left(comma));
    const QString layoutName = QString::fromUtf8(data.mid(comma + 1));
    const std::optional<QString> before = currentId();
    qsizetype known = indexOf(keyboardName);
    if (known < 0) {
        // A keyboard that arrived since: it starts at its first layout.
        readKeyboards();
        Q_EMIT enabledInputSourcesChanged();
        known = indexOf(keyboardName);
        if (known < 0)
            return;
        const Keyboard& keyboard = m_keyboards.at(known);
        const int index = before ? int(keyboard.ids.indexOf(*before)) : -1;
        if (index >= 0 && index != keyboard.active && canNameInRequest(keyboard.name))
            switchKeyboards({{keyboard.name, index}});
        return;
    }
    const int index = int(m_keyboards.at(known).names.indexOf(layoutName));
    if (index < 0 || index == m_keyboards.at(known).active)
        return;
    m_keyboards[known].active = index;
    m_primary = keyboardName;
    if (currentId() != before)
        Q_EMIT selectedInputSourceChanged();
}
