#include "X11SystemTrayMonitor.h"

#include "X11Connection.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QDBusVariant>

#include <X11/Xlib.h>

namespace {
const QString kWatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kWatcherPath = QStringLiteral("/StatusNotifierWatcher");
} // namespace

X11SystemTrayMonitor::X11SystemTrayMonitor(X11Connection& connection, QObject* parent)
    : SystemTrayMonitor(parent)
    , m_connection(connection)
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

    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    m_watcher = new QDBusServiceWatcher(kWatcherService, bus, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(m_watcher, &QDBusServiceWatcher::serviceOwnerChanged, this, &X11SystemTrayMonitor::checkStatusNotifierHost);
    // A watcher that starts without a host says when one registers.
    bus.connect(kWatcherService, kWatcherPath, kWatcherService, QStringLiteral("StatusNotifierHostRegistered"), this,
                SLOT(checkStatusNotifierHost()));
    checkStatusNotifierHost();
}

void X11SystemTrayMonitor::handleEvent(const XEvent& event)
{
    if (event.type == ClientMessage && event.xclient.message_type == m_connection.atom("MANAGER")
        && static_cast<unsigned long>(event.xclient.data.l[1]) == m_selection)
        update(m_xembedTray, true);
}

void X11SystemTrayMonitor::checkXEmbedTray()
{
    update(m_xembedTray, XGetSelectionOwner(m_connection.display(), m_selection) != None);
    m_connection.dispatchQueuedEventsLater();
}

void X11SystemTrayMonitor::checkStatusNotifierHost()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.interface()->isServiceRegistered(kWatcherService)) {
        update(m_statusNotifierHost, false);
        return;
    }
    // Asked without blocking: a watcher that hangs must not stop switching.
    QDBusMessage get = QDBusMessage::createMethodCall(kWatcherService, kWatcherPath,
                                                      QStringLiteral("org.freedesktop.DBus.Properties"),
                                                      QStringLiteral("Get"));
    get << kWatcherService << QStringLiteral("IsStatusNotifierHostRegistered");
    auto* call = new QDBusPendingCallWatcher(bus.asyncCall(get, 2000), this);
    connect(call, &QDBusPendingCallWatcher::finished, this, [this, call] {
        call->deleteLater();
        const QDBusPendingReply<QDBusVariant> reply = *call;
        update(m_statusNotifierHost, !reply.isError() && reply.value().variant().toBool());
    });
}

void X11SystemTrayMonitor::update(bool& field, bool value)
{
    const bool before = isAvailable();
    field = value;
    if (isAvailable() != before)
        Q_EMIT isAvailableChanged();
}
