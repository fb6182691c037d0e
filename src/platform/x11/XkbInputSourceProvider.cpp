#include "XkbInputSourceProvider.h"

#include "X11Connection.h"

#include "platform/freedesktop/InputSourceCountry.h"

#include <QMap>
#include <QRegularExpression>

#include <algorithm>

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XKBstr.h>

namespace {

// "xkb:cz(bksl)" -> the country xkeyboard-config gives cz(bksl).
QString countryOf(const QString& id)
{
    return InputSourceCountry::ofXkbGroupIdentifier(id.mid(4));
}

QString identifier(const QString& layout, const QString& variant)
{
    QString id = QStringLiteral("xkb:") + layout.trimmed();
    if (!variant.trimmed().isEmpty())
        id += QLatin1Char('(') + variant.trimmed() + QLatin1Char(')');
    return id;
}

} // namespace

XkbInputSourceProvider::XkbInputSourceProvider(X11Connection& connection, QObject* parent)
    : InputSourceProvider(parent)
    , m_connection(connection)
{
    Display* display = m_connection.display();
    const unsigned int keymapEvents = XkbNewKeyboardNotifyMask | XkbNamesNotifyMask | XkbMapNotifyMask;
    XkbSelectEvents(display, XkbUseCoreKbd, keymapEvents | XkbStateNotifyMask, keymapEvents | XkbStateNotifyMask);
    XkbSelectEventDetails(display, XkbUseCoreKbd, XkbStateNotify, XkbAllStateComponentsMask, XkbGroupLockMask);

    XWindowAttributes attributes;
    XGetWindowAttributes(display, m_connection.rootWindow(), &attributes);
    XSelectInput(display, m_connection.rootWindow(), attributes.your_event_mask | PropertyChangeMask);

    m_connection.atom("_XKB_RULES_NAMES");
    m_connection.atom("_NET_ACTIVE_WINDOW");
    m_connection.addEventHandler([this](const XEvent& event) { handleEvent(event); });
    m_connection.addBatchHandler([this] { reportSelectionChange(); }, X11Connection::BatchStage::Reporting);
    XFlush(display);
}

void XkbInputSourceProvider::reportSelectionChange()
{
    m_activationPending = false;
    if (!m_selectionChanged)
        return;
    m_selectionChanged = false;
    Q_EMIT selectedInputSourceChanged();
}

// An event's serial is the last of our requests the server had handled when
// it made the event; a state from before our last lock request is stale.
void XkbInputSourceProvider::learnLockedGroup(int group, unsigned long serial)
{
    if (serial < m_lockSerial || serial < m_knownSerial)
        return;
    m_knownLockedGroup = group;
    m_knownSerial = serial;
}

void XkbInputSourceProvider::handleEvent(const XEvent& event)
{
    if (event.type == PropertyNotify) {
        if (event.xproperty.window != m_connection.rootWindow())
            return;
        if (event.xproperty.atom == m_connection.atom("_XKB_RULES_NAMES")) {
            m_groups.reset();
            Q_EMIT enabledInputSourcesChanged();
        } else if (event.xproperty.atom == m_connection.atom("_NET_ACTIVE_WINDOW") && !m_activationPending) {
            m_activationPending = true;
            m_groupAtActivation = m_knownLockedGroup;
        }
        return;
    }
    if (event.type != m_connection.xkbEventType())
        return;
    const auto& xkb = reinterpret_cast<const XkbEvent&>(event);
    switch (xkb.any.xkb_type) {
    case XkbStateNotify:
        learnLockedGroup(xkb.state.locked_group, xkb.state.serial);
        if (xkb.state.changed & XkbGroupLockMask)
            m_selectionChanged = true;
        break;
    case XkbNewKeyboardNotify:
    case XkbMapNotify:
    case XkbNamesNotify:
        m_groups.reset();
        // A keymap with fewer groups moves the lock without a state event.
        m_knownLockedGroup.reset();
        Q_EMIT enabledInputSourcesChanged();
        Q_EMIT selectedInputSourceChanged();
        break;
    default:
        break;
    }
}

QStringList XkbInputSourceProvider::identifiersFromRulesNames(const QString& layouts, const QString& variants)
{
    const QStringList layoutList = layouts.split(QLatin1Char(','));
    const QStringList variantList = variants.split(QLatin1Char(','));
    QStringList ids;
    for (qsizetype i = 0; i < layoutList.size(); ++i) {
        if (layoutList.at(i).trimmed().isEmpty())
            continue;
        ids.append(identifier(layoutList.at(i), variantList.value(i)));
    }
    return ids;
}

QStringList XkbInputSourceProvider::identifiersFromSymbols(const QString& symbols)
{
    // Each layout part is "layout(variant)" with an optional ":group" suffix;
    // the first part without a group index is group 1. Parts that are not
    // layouts (pc, inet(evdev), group(...) switches) carry no group meaning here.
    static const QRegularExpression part(QStringLiteral("^([a-z][a-z0-9_-]*)(?:\\(([^)]*)\\))?(?::(\\d+))?$"));
    static const QStringList notLayouts = {
        QStringLiteral("pc"),       QStringLiteral("inet"),      QStringLiteral("group"),  QStringLiteral("ctrl"),
        QStringLiteral("compose"),  QStringLiteral("level3"),    QStringLiteral("level5"), QStringLiteral("altwin"),
        QStringLiteral("capslock"), QStringLiteral("terminate"), QStringLiteral("keypad"), QStringLiteral("srvr_ctrl"),
        QStringLiteral("evdev"),    QStringLiteral("aliases")};
    QMap<int, QString> byGroup;
    for (const QString& piece : symbols.split(QLatin1Char('+'), Qt::SkipEmptyParts)) {
        const auto match = part.match(piece.trimmed());
        if (!match.hasMatch() || notLayouts.contains(match.captured(1)))
            continue;
        const int group = match.captured(3).isEmpty() ? 1 : match.captured(3).toInt();
        if (group >= 1 && group <= XkbNumKbdGroups && !byGroup.contains(group))
            byGroup.insert(group, identifier(match.captured(1), match.captured(2)));
    }
    QStringList ids;
    for (int group = 1; byGroup.contains(group); ++group)
        ids.append(byGroup.value(group));
    return ids;
}

QStringList XkbInputSourceProvider::groupIdentifiers(int groupCount)
{
    Display* display = m_connection.display();
    if (const auto rules =
            m_connection.textProperty(m_connection.rootWindow(), m_connection.atom("_XKB_RULES_NAMES"))) {
        // rules \0 model \0 layouts \0 variants \0 options
        const QList<QByteArray> fields = rules->split('\0');
        if (fields.size() >= 3 && !fields.at(2).isEmpty()) {
            const QStringList ids = identifiersFromRulesNames(
                QString::fromUtf8(fields.at(2)), fields.size() >= 4 ? QString::fromUtf8(fields.at(3)) : QString());
            if (ids.size() >= groupCount)
                return ids.mid(0, groupCount);
        }
    }
    XkbDescPtr description = XkbAllocKeyboard();
    QStringList ids;
    if (description && XkbGetNames(display, XkbSymbolsNameMask, description) == Success && description->names
        && description->names->symbols != 0) {
        char* symbols = XGetAtomName(display, description->names->symbols);
        if (symbols) {
            ids = identifiersFromSymbols(QString::fromUtf8(symbols));
            XFree(symbols);
        }
    }
    if (description)
        XkbFreeKeyboard(description, 0, True);
    return ids.mid(0, groupCount);
}

const QList<InputSourceProperties>& XkbInputSourceProvider::groups()
{
    if (!m_groups)
        m_groups = readGroups();
    return *m_groups;
}

QList<InputSourceProperties> XkbInputSourceProvider::readGroups()
{
    Display* display = m_connection.display();
    XkbDescPtr description = XkbAllocKeyboard();
    if (!description)
        return {};
    QList<InputSourceProperties> result;
    if (XkbGetControls(display, XkbGroupsWrapMask, description) == Success
        && XkbGetNames(display, XkbGroupNamesMask, description) == Success && description->ctrls
        && description->names) {
        const int count = std::min<int>(description->ctrls->num_groups, XkbNumKbdGroups);
        const QStringList ids = groupIdentifiers(count);
        for (int i = 0; i < count && i < ids.size(); ++i) {
            QString name;
            if (description->names->groups[i] != 0) {
                if (char* text = XGetAtomName(display, description->names->groups[i])) {
                    name = QString::fromUtf8(text);
                    XFree(text);
                }
            }
            result.append(InputSourceProperties::of(ids.at(i), name, true, countryOf(ids.at(i))));
        }
    }
    XkbFreeKeyboard(description, 0, True);
    m_connection.dispatchQueuedEventsLater();
    return result;
}

std::optional<int> XkbInputSourceProvider::lockedGroup()
{
    if (m_knownLockedGroup)
        return m_knownLockedGroup;
    Display* display = m_connection.display();
    const unsigned long serial = NextRequest(display);
    XkbStateRec state;
    const Status status = XkbGetState(display, XkbUseCoreKbd, &state);
    m_connection.dispatchQueuedEventsLater();
    if (status != Success)
        return std::nullopt;
    learnLockedGroup(state.locked_group, serial);
    return int(state.locked_group);
}

std::optional<QList<InputSourceProperties>> XkbInputSourceProvider::enabledInputSources()
{
    return groups();
}

std::optional<InputSourceProperties> XkbInputSourceProvider::currentInputSource()
{
    const auto locked = m_activationPending && m_groupAtActivation ? m_groupAtActivation : lockedGroup();
    const QList<InputSourceProperties>& all = groups();
    if (!locked || *locked < 0 || *locked >= all.size())
        return std::nullopt;
    return all.at(*locked);
}

std::optional<int> XkbInputSourceProvider::groupOf(const QString& id)
{
    const QList<InputSourceProperties>& all = groups();
    for (int i = 0; i < all.size(); ++i) {
        if (all.at(i).id == id)
            return i;
    }
    return std::nullopt;
}

// Locking the group the switching thread has just locked changes nothing at
// the server and costs no round trip.
bool XkbInputSourceProvider::selectInputSource(const QString& id)
{
    const auto group = groupOf(id);
    if (!group)
        return false;
    Display* display = m_connection.display();
    m_lockSerial = NextRequest(display);
    const bool sent = XkbLockGroup(display, XkbUseCoreKbd, unsigned(*group));
    XFlush(display);
    m_activationPending = false;
    // Every state the server tells from now on includes this lock.
    m_knownLockedGroup = sent ? group : std::nullopt;
    m_knownSerial = m_lockSerial;
    return sent;
}
