#include "X11Connection.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QSocketNotifier>

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace {

// Windows come and go between an event and our reading of their properties;
// the default Xlib handler would end the process on the resulting BadWindow.
int ignoreXError(Display*, XErrorEvent*)
{
    return 0;
}

} // namespace

std::unique_ptr<X11Connection> X11Connection::open(const QByteArray& displayName)
{
    int xkbEventType = 0;
    int xkbError = 0;
    int major = XkbMajorVersion;
    int minor = XkbMinorVersion;
    int reason = 0;
    Display* display = XkbOpenDisplay(displayName.isEmpty() ? nullptr : const_cast<char*>(displayName.constData()),
                                      &xkbEventType, &xkbError, &major, &minor, &reason);
    if (!display)
        return nullptr;
    XSetErrorHandler(ignoreXError);
    return std::unique_ptr<X11Connection>(new X11Connection(display, xkbEventType));
}

X11Connection::X11Connection(Display* display, int xkbEventType)
    : m_display(display)
    , m_root(DefaultRootWindow(display))
    , m_xkbEventType(xkbEventType)
{
    m_notifier = new QSocketNotifier(ConnectionNumber(display), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &X11Connection::dispatchPending);
    if (auto* dispatcher = QAbstractEventDispatcher::instance())
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &X11Connection::flushAndDispatch);
}

X11Connection::~X11Connection()
{
    delete m_notifier;
    XCloseDisplay(m_display);
}

X11Connection::XAtom X11Connection::atom(const char* name)
{
    const QByteArray key(name);
    auto it = m_atoms.constFind(key);
    if (it != m_atoms.constEnd())
        return *it;
    const Atom value = XInternAtom(m_display, name, False);
    m_atoms.insert(key, value);
    return value;
}

void X11Connection::addEventHandler(EventHandler handler)
{
    m_handlers.push_back(std::move(handler));
}

void X11Connection::addBatchHandler(std::function<void()> handler, BatchStage stage)
{
    m_batchHandlers[size_t(stage)].push_back(std::move(handler));
}

void X11Connection::flushAndDispatch()
{
    XFlush(m_display);
    if (XEventsQueued(m_display, QueuedAlready) > 0)
        dispatchPending();
}

void X11Connection::dispatchQueuedEventsLater()
{
    if (m_dispatchQueued || XEventsQueued(m_display, QueuedAlready) == 0)
        return;
    m_dispatchQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_dispatchQueued = false;
            dispatchPending();
        },
        Qt::QueuedConnection);
}

void X11Connection::dispatchPending()
{
    while (XPending(m_display) > 0) {
        XEvent event;
        XNextEvent(m_display, &event);
        for (const EventHandler& handler : m_handlers)
            handler(event);
    }
    for (const auto& stage : m_batchHandlers) {
        for (const auto& handler : stage)
            handler();
    }
}

std::optional<QByteArray> X11Connection::textProperty(XWindow window, XAtom property)
{
    Atom actualType = 0;
    int actualFormat = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    const int status = XGetWindowProperty(m_display, window, property, 0, 4096, False, AnyPropertyType, &actualType,
                                          &actualFormat, &count, &remaining, &data);
    std::optional<QByteArray> result;
    if (status == Success && data && actualFormat == 8)
        result = QByteArray(reinterpret_cast<const char*>(data), int(count));
    if (data)
        XFree(data);
    return result;
}

std::optional<std::vector<unsigned long>> X11Connection::cardinalProperty(XWindow window, XAtom property, XAtom type,
                                                                          long maximumCount)
{
    Atom actualType = 0;
    int actualFormat = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    const int status = XGetWindowProperty(m_display, window, property, 0, maximumCount, False, type, &actualType,
                                          &actualFormat, &count, &remaining, &data);
    std::optional<std::vector<unsigned long>> result;
    if (status == Success && data && actualFormat == 32 && actualType == type) {
        // Xlib hands 32-bit properties over as longs.
        const auto* values = reinterpret_cast<const unsigned long*>(data);
        result = std::vector<unsigned long>(values, values + count);
    }
    if (data)
        XFree(data);
    return result;
}
