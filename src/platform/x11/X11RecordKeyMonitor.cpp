#include "X11RecordKeyMonitor.h"

#include "X11Connection.h"

#include "base/Logger.h"

#include <QGuiApplication>
#include <QHash>
#include <QSocketNotifier>
#include <QWindow>

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xproto.h>
#include <X11/extensions/XKBstr.h>
#include <X11/extensions/record.h>

#include <bitset>
#include <cstring>
#include <unistd.h>

namespace {

// One installed monitor: its own data connection with an enabled RECORD
// context. Destroying it disables and frees the context.
class RecordSession final : public GlobalKeyMonitor::Token {
public:
    static std::unique_ptr<RecordSession> start(X11Connection& control, GlobalKeyMonitor::Handler handler);
    ~RecordSession() override;

private:
    RecordSession(X11Connection& control, Display* data, GlobalKeyMonitor::Handler handler);
    static void intercept(XPointer closure, XRecordInterceptData* data);
    void handleEvent(int type, unsigned keycode, unsigned state);
    void loadKeyboardDescription();
    Qt::KeyboardModifiers modifiers(unsigned eventState) const;
    bool ownWindowHasFocus();

    X11Connection& m_control;
    Display* m_data;
    XRecordContext m_context = 0;
    GlobalKeyMonitor::Handler m_handler;
    QSocketNotifier* m_notifier = nullptr;
    QHash<unsigned, QByteArray> m_keyNames;
    // Modifier bits (ShiftMask, ControlMask, Mod1Mask...) of each keycode.
    QHash<unsigned, unsigned> m_modifierBits;
    std::bitset<256> m_pressed;
};

std::unique_ptr<RecordSession> RecordSession::start(X11Connection& control, GlobalKeyMonitor::Handler handler)
{
    Display* controlDisplay = control.display();
    int major = 0;
    int minor = 0;
    if (!XRecordQueryVersion(controlDisplay, &major, &minor))
        return nullptr;
    Display* data = XOpenDisplay(DisplayString(controlDisplay));
    if (!data) {
        Logger::shared().error(QStringLiteral("Could not open a second connection to the X server for the hotkey"));
        return nullptr;
    }
    std::unique_ptr<RecordSession> session(new RecordSession(control, data, std::move(handler)));

    XRecordRange* range = XRecordAllocRange();
    if (!range)
        return nullptr;
    range->device_events.first = KeyPress;
    range->device_events.last = KeyRelease;
    XRecordClientSpec clients = XRecordAllClients;
    session->m_context = XRecordCreateContext(controlDisplay, 0, &clients, 1, &range, 1);
    XFree(range);
    if (!session->m_context) {
        Logger::shared().error(QStringLiteral("The X server refused a RECORD context for the hotkey"));
        return nullptr;
    }
    // The context must exist on the server before the data connection uses it.
    XSync(controlDisplay, False);
    if (!XRecordEnableContextAsync(data, session->m_context, &RecordSession::intercept,
                                   reinterpret_cast<XPointer>(session.get()))) {
        Logger::shared().error(QStringLiteral("The X server refused to enable the RECORD context for the hotkey"));
        return nullptr;
    }
    XFlush(data);
    session->m_notifier = new QSocketNotifier(ConnectionNumber(data), QSocketNotifier::Read);
    RecordSession* raw = session.get();
    QObject::connect(session->m_notifier, &QSocketNotifier::activated, session->m_notifier,
                     [raw] { XRecordProcessReplies(raw->m_data); });
    XRecordProcessReplies(data);
    return session;
}

RecordSession::RecordSession(X11Connection& control, Display* data, GlobalKeyMonitor::Handler handler)
    : m_control(control)
    , m_data(data)
    , m_handler(std::move(handler))
{
    loadKeyboardDescription();
}

RecordSession::~RecordSession()
{
    delete m_notifier;
    Display* controlDisplay = m_control.display();
    if (m_context) {
        XRecordDisableContext(controlDisplay, m_context);
        XRecordFreeContext(controlDisplay, m_context);
        XSync(controlDisplay, False);
    }
    XCloseDisplay(m_data);
}

void RecordSession::loadKeyboardDescription()
{
    Display* display = m_control.display();
    if (XkbDescPtr keyboard = XkbGetMap(display, 0, XkbUseCoreKbd)) {
        if (XkbGetNames(display, XkbKeyNamesMask, keyboard) == Success && keyboard->names && keyboard->names->keys) {
            for (int code = keyboard->min_key_code; code <= keyboard->max_key_code; ++code) {
                const char* name = keyboard->names->keys[code].name;
                m_keyNames.insert(unsigned(code), QByteArray(name, int(strnlen(name, XkbKeyNameLength))));
            }
        }
        XkbFreeKeyboard(keyboard, 0, True);
    }
    if (XModifierKeymap* map = XGetModifierMapping(display)) {
        for (int modifier = 0; modifier < 8; ++modifier) {
            for (int i = 0; i < map->max_keypermod; ++i) {
                const KeyCode code = map->modifiermap[modifier * map->max_keypermod + i];
                if (code)
                    m_modifierBits[code] |= 1u << modifier;
            }
        }
        XFreeModifiermap(map);
    }
    // Keys already held when monitoring starts.
    char keys[32] = {};
    XQueryKeymap(display, keys);
    for (int code = 0; code < 256; ++code)
        m_pressed[code] = (keys[code / 8] >> (code % 8)) & 1;
}

void RecordSession::intercept(XPointer closure, XRecordInterceptData* data)
{
    auto* self = reinterpret_cast<RecordSession*>(closure);
    if (data->category == XRecordFromServer && data->data && data->data_len * 4 >= sizeof(xEvent)) {
        const auto* event = reinterpret_cast<const xEvent*>(data->data);
        self->handleEvent(event->u.u.type & 0x7f, event->u.u.detail, event->u.keyButtonPointer.state);
    }
    XRecordFreeData(data);
}

Qt::KeyboardModifiers RecordSession::modifiers(unsigned eventState) const
{
    unsigned state = eventState;
    for (auto it = m_modifierBits.constBegin(); it != m_modifierBits.constEnd(); ++it) {
        if (it.key() < 256 && m_pressed[it.key()])
            state |= it.value();
    }
    Qt::KeyboardModifiers result;
    if (state & ShiftMask)
        result |= Qt::ShiftModifier;
    if (state & ControlMask)
        result |= Qt::ControlModifier;
    if (state & Mod1Mask)
        result |= Qt::AltModifier;
    if (state & Mod4Mask)
        result |= Qt::MetaModifier;
    return result;
}

void RecordSession::handleEvent(int type, unsigned keycode, unsigned state)
{
    if (keycode >= 256)
        return;
    if (type == KeyRelease) {
        m_pressed[keycode] = false;
        return;
    }
    if (type != KeyPress)
        return;
    GlobalKeyPress press;
    press.keyName = m_keyNames.value(keycode);
    // The state of the event, where the server fills it, is the state before
    // this key; the keys seen held fill in where it does not.
    press.modifiers = modifiers(state);
    m_pressed[keycode] = true;
    press.toOwnWindow = ownWindowHasFocus();
    if (m_handler)
        m_handler(press);
}

bool RecordSession::ownWindowHasFocus()
{
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) && QGuiApplication::focusWindow())
        return true;
    const auto active =
        m_control.cardinalProperty(m_control.rootWindow(), m_control.atom("_NET_ACTIVE_WINDOW"), XA_WINDOW);
    if (!active || active->empty() || active->front() == 0)
        return false;
    const auto pid = m_control.cardinalProperty(active->front(), m_control.atom("_NET_WM_PID"), XA_CARDINAL);
    return pid && !pid->empty() && pid->front() == static_cast<unsigned long>(getpid());
}

} // namespace

X11RecordKeyMonitor::X11RecordKeyMonitor(X11Connection& connection)
    : m_connection(connection)
{
}

X11RecordKeyMonitor::~X11RecordKeyMonitor() = default;

bool X11RecordKeyMonitor::canMonitorKeys()
{
    int opcode = 0;
    int event = 0;
    int error = 0;
    return XQueryExtension(m_connection.display(), "RECORD", &opcode, &event, &error);
}

std::unique_ptr<GlobalKeyMonitor::Token> X11RecordKeyMonitor::addKeyPressMonitor(Handler handler)
{
    return RecordSession::start(m_connection, std::move(handler));
}
