#include "X11SystemTrayMonitor.h"

#include "X11Connection.h"
#include "platform/freedesktop/StatusNotifierTrayMonitor.h"

#include <X11/Xlib.h>

X11SystemTrayMonitor::X11SystemTrayMonitor(X11Connection& connection, QObject* parent)
    : SystemTrayMonitor(parent)
    , m_connection(connection)
    , m_statusNotifier(new StatusNotifierTrayMonitor(this))
{
    Display* display = m_connection.display();
    const QByteArray selection = "_NET_SYSTEM_TRAY_S" + QByteArray::number(DefaultScreen(display));
    m_selection = m_connection.atom(selection.constData());
    m_connection.atom("MANAGER");
    // A new tray owner announces itself to the root window's structure listeners.
    XWindowAttributes attributes;
    XGetWindowAttributes(display, m_connection.rootWindow(), &attributes);
    XSelectInput(display, m_connection.rootWindow(), attributes.your_event_mask | StructureNotifyMask);
    m_connection.addEventHandler([this](const XEvent& event) { handleEvent(event); });
    checkXEmbedTray();
    connect(m_statusNotifier, &SystemTrayMonitor::isAvailableChanged, this, [this] { update(m_xembedTray); });
}

bool X11SystemTrayMonitor::isAvailable() const
{
    return m_xembedTray || m_statusNotifier->isAvailable();
}

void X11SystemTrayMonitor::handleEvent(const XEvent& event)
{
    if (event.type == ClientMessage && event.xclient.message_type == m_connection.atom("MANAGER")
        && static_cast<unsigned long>(event.xclient.data.l[1]) == m_selection)
        update(true);
}

void X11SystemTrayMonitor::checkXEmbedTray()
{
    update(XGetSelectionOwner(m_connection.display(), m_selection) != None);
    m_connection.dispatchQueuedEventsLater();
}

void X11SystemTrayMonitor::update(bool xembedTray)
{
    m_xembedTray = xembedTray;
    if (isAvailable() == m_wasAvailable)
        return;
    m_wasAvailable = isAvailable();
    Q_EMIT isAvailableChanged();
}
