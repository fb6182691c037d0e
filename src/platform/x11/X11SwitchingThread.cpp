#include "X11SwitchingThread.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <xcb/xcb.h>
// The XKB header names a field `explicit`, a C++ keyword.
#define explicit explicit_
#include <xcb/xkb.h>
#undef explicit

namespace {

// Atoms and the XKB extension's start-up cost round trips; they are made
// before the thread runs, so that a broken display is known at once.
std::optional<xcb_atom_t> internAtom(xcb_connection_t* connection, const char* name)
{
    const auto cookie = xcb_intern_atom(connection, 0, uint16_t(strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    if (!reply)
        return std::nullopt;
    const xcb_atom_t atom = reply->atom;
    free(reply);
    return atom;
}

bool useXkb(xcb_connection_t* connection)
{
    const auto cookie = xcb_xkb_use_extension(connection, XCB_XKB_MAJOR_VERSION, XCB_XKB_MINOR_VERSION);
    xcb_xkb_use_extension_reply_t* reply = xcb_xkb_use_extension_reply(connection, cookie, nullptr);
    const bool supported = reply && reply->supported;
    free(reply);
    return supported;
}

} // namespace

std::unique_ptr<X11SwitchingThread> X11SwitchingThread::start(const QByteArray& displayName)
{
    int screenNumber = 0;
    xcb_connection_t* connection =
        xcb_connect(displayName.isEmpty() ? nullptr : displayName.constData(), &screenNumber);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return nullptr;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber && screens.rem > 0; ++i)
        xcb_screen_next(&screens);
    const auto activeWindow = internAtom(connection, "_NET_ACTIVE_WINDOW");
    const int wakeFd = eventfd(0, EFD_CLOEXEC);
    if (screens.rem == 0 || !activeWindow || !useXkb(connection) || wakeFd < 0) {
        if (wakeFd >= 0)
            close(wakeFd);
        xcb_disconnect(connection);
        return nullptr;
    }
    const xcb_window_t root = screens.data->root;
    // This connection's own interest in the root window; other clients' masks are their own.
    const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(connection, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(connection);
    return std::unique_ptr<X11SwitchingThread>(new X11SwitchingThread(connection, root, *activeWindow, wakeFd));
}

X11SwitchingThread::X11SwitchingThread(xcb_connection_t* connection, unsigned root, unsigned activeWindowAtom,
                                       int wakeFd)
    : m_connection(connection)
    , m_root(root)
    , m_activeWindowAtom(activeWindowAtom)
    , m_wakeFd(wakeFd)
    , m_thread([this] { run(); })
{
}

X11SwitchingThread::~X11SwitchingThread()
{
    const uint64_t one = 1;
    while (write(m_wakeFd, &one, sizeof one) < 0 && errno == EINTR) { }
    m_thread.join();
    close(m_wakeFd);
    xcb_disconnect(m_connection);
}

void X11SwitchingThread::setTable(std::shared_ptr<const Table> table)
{
    std::shared_ptr<const Table> replaced;
    const std::lock_guard lock(m_tableMutex);
    replaced = std::exchange(m_table, std::move(table));
}

void X11SwitchingThread::run()
{
    pollfd watched[2] = {{xcb_get_file_descriptor(m_connection), POLLIN, 0}, {m_wakeFd, POLLIN, 0}};
    for (;;) {
        const auto activated = takeEvents();
        if (xcb_connection_has_error(m_connection))
            break;
        if (activated) {
            // No window in front is not acted on: window managers often clear
            // the property right before naming the new window, and the main
            // thread is to wait for that one.
            const Outcome outcome = switchForActiveWindow();
            if (outcome != Outcome::NoWindow)
                tellHandled(*activated, outcome == Outcome::Switched);
            // Reading the reply may have queued further events: take them before sleeping.
            continue;
        }
        if (poll(watched, 2, -1) < 0 && errno != EINTR)
            break;
        if (watched[1].revents != 0)
            break;
    }
    {
        const std::lock_guard lock(m_handledMutex);
        m_ended = true;
    }
    m_handledChanged.notify_all();
}

std::optional<X11SwitchingThread::ActivationMark> X11SwitchingThread::takeEvents()
{
    std::optional<ActivationMark> activated;
    while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) {
        if ((event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY) {
            const auto* property = reinterpret_cast<const xcb_property_notify_event_t*>(event);
            if (property->window == m_root && property->atom == m_activeWindowAtom) {
                m_lastRead = m_lastRead.following(property->time);
                activated = m_lastRead;
            }
        }
        free(event);
    }
    return activated;
}

void X11SwitchingThread::tellHandled(const ActivationMark& mark, bool switched)
{
    {
        const std::lock_guard lock(m_handledMutex);
        m_handled = mark;
        if (switched)
            m_lastSwitch = std::chrono::steady_clock::now();
    }
    m_handledChanged.notify_all();
}

std::optional<std::chrono::steady_clock::time_point>
X11SwitchingThread::awaitActivation(const ActivationMark& mark, std::chrono::microseconds timeout)
{
    std::unique_lock lock(m_handledMutex);
    const bool caughtUp = m_handledChanged.wait_for(
        lock, timeout, [&] { return m_ended || (m_handled && m_handled->isAtOrAfter(mark)); });
    if (!caughtUp || m_ended)
        return std::nullopt;
    return m_lastSwitch;
}

std::optional<unsigned long> X11SwitchingThread::activeWindow()
{
    const auto cookie = xcb_get_property(m_connection, 0, m_root, m_activeWindowAtom, XCB_ATOM_WINDOW, 0, 1);
    xcb_get_property_reply_t* reply = xcb_get_property_reply(m_connection, cookie, nullptr);
    std::optional<unsigned long> window;
    if (reply && reply->format == 32 && xcb_get_property_value_length(reply) == 4)
        window = *static_cast<const uint32_t*>(xcb_get_property_value(reply));
    free(reply);
    return window == 0u ? std::nullopt : window;
}

// Of a burst of activations, the last one read counts, as on the main thread.
X11SwitchingThread::Outcome X11SwitchingThread::switchForActiveWindow()
{
    const auto active = activeWindow();
    // No window in front (between two, the window manager may say so) is no
    // activation, as on the main thread.
    if (!active)
        return Outcome::NoWindow;
    const std::optional<Window> window = lookUp(*active);
    if (!window) {
        m_front.reset();
        return Outcome::LeftAlone;
    }
    const Identity identity{window->processKey, window->applicationId};
    // Unknown before: that may have been this very application.
    const bool maybeSameApplication = !m_front || *m_front == identity;
    m_front = identity;
    if (maybeSameApplication || window->group < 0)
        return Outcome::LeftAlone;
    xcb_xkb_latch_lock_state(m_connection, XCB_XKB_ID_USE_CORE_KBD, 0, 0, 1, uint8_t(window->group), 0, 0, 0);
    xcb_flush(m_connection);
    return Outcome::Switched;
}

std::optional<X11SwitchingThread::Window> X11SwitchingThread::lookUp(unsigned long window)
{
    const std::lock_guard lock(m_tableMutex);
    if (!m_table)
        return std::nullopt;
    const auto entry = m_table->constFind(window);
    if (entry == m_table->constEnd())
        return std::nullopt;
    return *entry;
}
