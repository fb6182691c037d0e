#include "X11ApplicationSource.h"

#include "X11Connection.h"
#include "platform/freedesktop/DesktopEntryIndex.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>

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
    for (const char* name : {"_NET_ACTIVE_WINDOW", "_NET_CLIENT_LIST", "_NET_WM_PID", "WM_CLIENT_LEADER",
                             "_GTK_APPLICATION_ID", "_KDE_NET_WM_DESKTOP_FILE"})
        m_connection.atom(name);
    m_connection.addEventHandler([this](const XEvent& event) { handleEvent(event); });
    // Not a later turn of the main loop: whatever else is queued there would
    // delay the switch that a key typed right now needs.
    m_connection.addBatchHandler([this] { reportActivation(); });
    learnClientList();
    XFlush(display);
    connect(&m_desktopEntries, &DesktopEntryIndex::changed, this, &X11ApplicationSource::knownWindowsChanged);
}

void X11ApplicationSource::handleEvent(const XEvent& event)
{
    if (event.type == DestroyNotify) {
        forget(event.xdestroywindow.window);
        return;
    }
    if (event.type != PropertyNotify)
        return;
    const XPropertyEvent& property = event.xproperty;
    if (property.window != m_connection.rootWindow()) {
        if (identifiesWindow(property.atom))
            forget(property.window); // read again when next needed
        return;
    }
    if (property.atom == m_connection.atom("_NET_ACTIVE_WINDOW")) {
        // Every change still queued behind this one is handled by the same
        // look-up, made as soon as the events read so far have been dispatched.
        m_activationPending = true;
    } else if (property.atom == m_connection.atom("_NET_CLIENT_LIST")) {
        learnClientList();
    }
}

void X11ApplicationSource::reportActivation()
{
    if (!m_activationPending)
        return;
    m_activationPending = false;
    if (const auto app = frontmostApplication())
        Q_EMIT applicationActivated(*app);
}

bool X11ApplicationSource::identifiesWindow(unsigned long atom)
{
    return atom == XA_WM_CLASS || atom == XA_WM_CLIENT_MACHINE || atom == m_connection.atom("_NET_WM_PID")
        || atom == m_connection.atom("WM_CLIENT_LEADER") || atom == m_connection.atom("_GTK_APPLICATION_ID")
        || atom == m_connection.atom("_KDE_NET_WM_DESKTOP_FILE");
}

// Reads the identity of windows the window manager has just started managing,
// ahead of their activation.
void X11ApplicationSource::learnClientList()
{
    const auto clients =
        m_connection.cardinalProperty(m_connection.rootWindow(), m_connection.atom("_NET_CLIENT_LIST"), XA_WINDOW);
    if (clients) {
        for (const unsigned long window : *clients)
            factsFor(window);
    }
    m_connection.dispatchQueuedEventsLater();
}

std::optional<unsigned long> X11ApplicationSource::activeWindow()
{
    const auto value =
        m_connection.cardinalProperty(m_connection.rootWindow(), m_connection.atom("_NET_ACTIVE_WINDOW"), XA_WINDOW);
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

const X11ApplicationSource::WindowFacts* X11ApplicationSource::factsFor(unsigned long window)
{
    if (const auto it = m_windows.constFind(window); it != m_windows.constEnd())
        return &*it;
    auto facts = readFacts(window);
    if (!facts)
        return nullptr;
    const auto inserted = m_windows.insert(window, std::move(*facts));
    Q_EMIT knownWindowsChanged();
    return &*inserted;
}

void X11ApplicationSource::forget(unsigned long window)
{
    if (m_windows.remove(window))
        Q_EMIT knownWindowsChanged();
}

QList<std::pair<unsigned long, RunningApplication>> X11ApplicationSource::knownWindows()
{
    QList<std::pair<unsigned long, RunningApplication>> windows;
    windows.reserve(m_windows.size());
    for (auto it = m_windows.cbegin(); it != m_windows.cend(); ++it)
        windows.append({it.key(), application(*it)});
    return windows;
}

std::optional<X11ApplicationSource::WindowFacts> X11ApplicationSource::readFacts(unsigned long window)
{
    Display* display = m_connection.display();
    // Told before reading, so that no change after the reading goes unnoticed.
    XSelectInput(display, window, PropertyChangeMask | StructureNotifyMask);
    XWindowAttributes attributes;
    // The window may be gone already.
    if (!XGetWindowAttributes(display, window, &attributes)) {
        m_connection.dispatchQueuedEventsLater();
        return std::nullopt;
    }

    WindowFacts facts;
    facts.processKey = processKey(window);
    if (const auto pid = m_connection.cardinalProperty(window, m_connection.atom("_NET_WM_PID"), XA_CARDINAL);
        pid && !pid->empty())
        facts.processIdentifier = qint64(pid->front());

    for (const char* property : {"_GTK_APPLICATION_ID", "_KDE_NET_WM_DESKTOP_FILE"}) {
        if (const auto value = m_connection.textProperty(window, m_connection.atom(property))) {
            QString id = nulTerminated(*value).trimmed();
            if (id.endsWith(QLatin1String(".desktop")))
                id.chop(8);
            if (!id.isEmpty()) {
                facts.announcedId = id;
                break;
            }
        }
    }

    XClassHint hint{nullptr, nullptr};
    if (XGetClassHint(display, window, &hint)) {
        facts.instanceName = QString::fromUtf8(hint.res_name ? hint.res_name : "");
        facts.className = QString::fromUtf8(hint.res_class ? hint.res_class : "");
        if (hint.res_name)
            XFree(hint.res_name);
        if (hint.res_class)
            XFree(hint.res_class);
    }
    m_connection.dispatchQueuedEventsLater();
    return facts;
}

// Resolved on every call: the desktop entries change while the window lives.
RunningApplication X11ApplicationSource::application(const WindowFacts& facts)
{
    RunningApplication app;
    app.processKey = facts.processKey;
    app.processIdentifier = facts.processIdentifier;

    std::optional<DesktopEntry> entry;
    if (!facts.announcedId.isEmpty())
        entry = m_desktopEntries.entry(facts.announcedId);
    else if (!facts.className.isEmpty())
        entry = m_desktopEntries.entryForWindowClass(facts.instanceName, facts.className);

    if (!facts.announcedId.isEmpty())
        app.bundleIdentifier = facts.announcedId;
    else if (entry)
        app.bundleIdentifier = entry->id;
    else if (!facts.className.isEmpty())
        app.bundleIdentifier = facts.className;

    for (const QString& name : {entry ? entry->id : QString(), facts.announcedId, facts.className}) {
        if (!name.isEmpty() && app.bundleIdentifier != name && !app.alternativeIdentifiers.contains(name))
            app.alternativeIdentifiers.append(name);
    }

    app.localizedName = entry && !entry->name.isEmpty() ? entry->name : facts.className;
    if (entry)
        app.iconName = entry->icon;
    return app;
}

std::optional<RunningApplication> X11ApplicationSource::applicationForWindow(unsigned long window)
{
    const WindowFacts* facts = factsFor(window);
    if (!facts)
        return std::nullopt;
    return application(*facts);
}

QImage X11ApplicationSource::windowIcon(unsigned long window)
{
    // Several images, each as width, height and width × height ARGB pixels.
    constexpr long kMaximumValues =
        2 + 256 * 256 + 2 + 128 * 128 + 2 + 64 * 64 + 2 + 48 * 48 + 2 + 32 * 32 + 2 + 16 * 16;
    constexpr unsigned long kWanted = 32;
    const auto values =
        m_connection.cardinalProperty(window, m_connection.atom("_NET_WM_ICON"), XA_CARDINAL, kMaximumValues);
    if (!values)
        return {};
    size_t best = 0;
    unsigned long bestSide = 0;
    for (size_t at = 0; at + 2 <= values->size();) {
        const unsigned long width = (*values)[at], height = (*values)[at + 1];
        if (width == 0 || height == 0 || width > 1024 || height > 1024 || width * height > values->size() - at - 2)
            break;
        const unsigned long side = qMax(width, height);
        const bool better = bestSide == 0 || (side >= kWanted && (bestSide < kWanted || side < bestSide))
            || (side < kWanted && bestSide < kWanted && side > bestSide);
        if (better) {
            best = at;
            bestSide = side;
        }
        at += 2 + width * height;
    }
    if (bestSide == 0)
        return {};
    const int width = int((*values)[best]), height = int((*values)[best + 1]);
    QImage image(width, height, QImage::Format_ARGB32);
    const unsigned long* pixel = values->data() + best + 2;
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            line[x] = QRgb(*pixel++ & 0xffffffffUL);
    }
    return image;
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

// One row per application id: the windows of two processes of one program
// are one application to make a rule for, and one process's two applications are two.
QList<RunningApplication> X11ApplicationSource::runningApplications()
{
    QList<RunningApplication> apps;
    const auto clients =
        m_connection.cardinalProperty(m_connection.rootWindow(), m_connection.atom("_NET_CLIENT_LIST"), XA_WINDOW);
    if (!clients)
        return apps;
    for (const unsigned long window : *clients) {
        if (!isOrdinaryWindow(window))
            continue;
        auto app = applicationForWindow(window);
        if (!app)
            continue;
        const bool listed = std::any_of(apps.cbegin(), apps.cend(), [&](const RunningApplication& other) {
            return app->bundleIdentifier ? other.bundleIdentifier == app->bundleIdentifier : other == *app;
        });
        if (listed)
            continue;
        if (app->iconName.isEmpty())
            app->icon = windowIcon(window);
        apps.append(*app);
    }
    m_connection.dispatchQueuedEventsLater();
    return apps;
}
