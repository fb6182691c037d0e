#include "X11ApplicationSource.h"

#include "X11Connection.h"
#include "platform/freedesktop/DesktopEntryIndex.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

QString nulTerminated(const QByteArray& bytes)
{
    const qsizetype end = bytes.indexOf('\0');
    return QString::fromUtf8(end < 0 ? bytes : bytes.left(end));
}

} // namespace

X11ApplicationSource::X11ApplicationSource(X11Connection& connection, DesktopEntryIndex& desktopEntries,
                                           QObject* parent)
    : ApplicationSource(parent)
    , m_connection(connection)
    , m_desktopEntries(desktopEntries)
{
    Display* display = m_connection.display();
    XWindowAttributes attributes;
    XGetWindowAttributes(display, m_connection.rootWindow(), &attributes);
    XSelectInput(display, m_connection.rootWindow(), attributes.your_event_mask | PropertyChangeMask);
    m_connection.atom("_NET_ACTIVE_WINDOW");
    m_connection.addEventHandler([this](const XEvent& event) { handleEvent(event); });
    XFlush(display);
}

void X11ApplicationSource::handleEvent(const XEvent& event)
{
    if (event.type != PropertyNotify || event.xproperty.window != m_connection.rootWindow()
        || event.xproperty.atom != m_connection.atom("_NET_ACTIVE_WINDOW"))
        return;
    // Every change still queued behind this one is handled by the same look-up,
    // made once the events read so far have all been dispatched.
    if (m_activationPending)
        return;
    m_activationPending = true;
    QMetaObject::invokeMethod(this, &X11ApplicationSource::reportActivation, Qt::QueuedConnection);
}

void X11ApplicationSource::reportActivation()
{
    m_activationPending = false;
    if (const auto app = frontmostApplication())
        Q_EMIT applicationActivated(*app);
}

std::optional<unsigned long> X11ApplicationSource::activeWindow()
{
    const auto value = m_connection.cardinalProperty(m_connection.rootWindow(), m_connection.atom("_NET_ACTIVE_WINDOW"),
                                                     XA_WINDOW);
    m_connection.dispatchQueuedEventsLater();
    if (!value || value->empty() || value->front() == 0)
        return std::nullopt;
    return value->front();
}

std::optional<QRect> X11ApplicationSource::activeWindowFrame()
{
    const auto window = activeWindow();
    if (!window)
        return std::nullopt;
    Display* display = m_connection.display();
    XWindowAttributes attributes;
    int x = 0;
    int y = 0;
    Window child = 0;
    // The window may be gone already; the window manager's frame around it
    // lies on the same screen.
    const bool known = XGetWindowAttributes(display, *window, &attributes)
        && XTranslateCoordinates(display, *window, m_connection.rootWindow(), 0, 0, &x, &y, &child);
    m_connection.dispatchQueuedEventsLater();
    if (!known)
        return std::nullopt;
    return QRect(x, y, attributes.width, attributes.height);
}

std::optional<RunningApplication> X11ApplicationSource::frontmostApplication()
{
    const auto window = activeWindow();
    if (!window)
        return std::nullopt;
    return applicationForWindow(*window);
}

QString X11ApplicationSource::processKey(unsigned long window)
{
    const auto pid = m_connection.cardinalProperty(window, m_connection.atom("_NET_WM_PID"), XA_CARDINAL);
    if (pid && !pid->empty() && pid->front() != 0) {
        const auto machine = m_connection.textProperty(window, XA_WM_CLIENT_MACHINE);
        return QStringLiteral("pid:%1@%2").arg(pid->front()).arg(machine ? nulTerminated(*machine) : QString());
    }
    const auto leader = m_connection.cardinalProperty(window, m_connection.atom("WM_CLIENT_LEADER"), XA_WINDOW);
    if (leader && !leader->empty() && leader->front() != 0)
        return QStringLiteral("leader:0x%1").arg(leader->front(), 0, 16);
    return QStringLiteral("window:0x%1").arg(window, 0, 16);
}

std::optional<RunningApplication> X11ApplicationSource::applicationForWindow(unsigned long window)
{
    Display* display = m_connection.display();
    XWindowAttributes attributes;
    // The window may be gone already.
    if (!XGetWindowAttributes(display, window, &attributes))
        return std::nullopt;

    RunningApplication app;
    app.processKey = processKey(window);
    if (const auto pid = m_connection.cardinalProperty(window, m_connection.atom("_NET_WM_PID"), XA_CARDINAL);
        pid && !pid->empty())
        app.processIdentifier = qint64(pid->front());

    std::optional<DesktopEntry> entry;
    std::optional<QString> namedId;
    for (const char* property : {"_GTK_APPLICATION_ID", "_KDE_NET_WM_DESKTOP_FILE"}) {
        if (const auto value = m_connection.textProperty(window, m_connection.atom(property))) {
            QString id = nulTerminated(*value).trimmed();
            if (id.endsWith(QLatin1String(".desktop")))
                id.chop(8);
            if (!id.isEmpty()) {
                namedId = id;
                entry = m_desktopEntries.entry(id);
                break;
            }
        }
    }

    XClassHint hint{nullptr, nullptr};
    QString instanceName;
    QString className;
    if (XGetClassHint(display, window, &hint)) {
        instanceName = QString::fromUtf8(hint.res_name ? hint.res_name : "");
        className = QString::fromUtf8(hint.res_class ? hint.res_class : "");
        if (hint.res_name)
            XFree(hint.res_name);
        if (hint.res_class)
            XFree(hint.res_class);
    }

    if (!namedId && !className.isEmpty())
        entry = m_desktopEntries.entryForWindowClass(instanceName, className);

    if (namedId)
        app.bundleIdentifier = namedId;
    else if (entry)
        app.bundleIdentifier = entry->id;
    else if (!className.isEmpty())
        app.bundleIdentifier = className;

    app.localizedName = entry && !entry->name.isEmpty() ? entry->name : className;
    if (entry)
        app.iconName = entry->icon;
    m_connection.dispatchQueuedEventsLater();
    return app;
}

bool X11ApplicationSource::isOrdinaryWindow(unsigned long window)
{
    const auto types = m_connection.cardinalProperty(window, m_connection.atom("_NET_WM_WINDOW_TYPE"), XA_ATOM);
    if (types && !types->empty()) {
        const unsigned long type = types->front();
        if (type != m_connection.atom("_NET_WM_WINDOW_TYPE_NORMAL")
            && type != m_connection.atom("_NET_WM_WINDOW_TYPE_DIALOG"))
            return false;
    }
    if (const auto states = m_connection.cardinalProperty(window, m_connection.atom("_NET_WM_STATE"), XA_ATOM)) {
        for (const unsigned long state : *states) {
            if (state == m_connection.atom("_NET_WM_STATE_SKIP_TASKBAR"))
                return false;
        }
    }
    return true;
}

QList<RunningApplication> X11ApplicationSource::runningApplications()
{
    QList<RunningApplication> apps;
    const auto clients = m_connection.cardinalProperty(m_connection.rootWindow(), m_connection.atom("_NET_CLIENT_LIST"),
                                                       XA_WINDOW);
    if (!clients)
        return apps;
    for (const unsigned long window : *clients) {
        if (!isOrdinaryWindow(window))
            continue;
        const auto app = applicationForWindow(window);
        if (app && !apps.contains(*app))
            apps.append(*app);
    }
    return apps;
}
