#include "SwayApplicationSource.h"

#include "SwayIpcSocket.h"
#include "SwayWindowEventReader.h"
#include "platform/freedesktop/DesktopEntryIndex.h"
#include "platform/wayland/WaylandApplicationIdentity.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <algorithm>
#include <functional>

namespace {

// Every container below `node`, tiled and floating, depth first.
void forEachContainer(const QJsonObject& node, const std::function<void(const QJsonObject&)>& visit)
{
    visit(node);
    for (const char* children : {"nodes", "floating_nodes"}) {
        const QJsonArray list = node.value(QLatin1String(children)).toArray();
        for (const QJsonValue& child : list)
            forEachContainer(child.toObject(), visit);
    }
}

} // namespace

SwayApplicationSource::SwayApplicationSource(SwayIpcSocket& commands, SwayIpcSocket& events,
                                             DesktopEntryIndex& desktopEntries, QObject* parent)
    : ApplicationSource(parent)
    , m_commands(commands)
    , m_desktopEntries(desktopEntries)
{
    connect(&events, &SwayIpcSocket::eventReceived, this, &SwayApplicationSource::handleEvent);
    // Applications installed or removed change what a window is known as.
    connect(&desktopEntries, &DesktopEntryIndex::changed, this, [this] {
        m_known.clear();
        learnOpenWindows();
    });
}

void SwayApplicationSource::handleEvent(quint32 type, const QByteArray& payload)
{
    if (type != SwayIpcSocket::WindowEvent)
        return;
    const auto event = SwayWindowEventReader::readAny(payload);
    if (!event)
        return;
    if (event->change == QLatin1String("new")) {
        // Known before it takes the focus, so that the switching thread can switch for it.
        if (!m_known.contains(SwayWindowEventReader::windowKey(*event)) && applicationForEvent(*event))
            Q_EMIT knownWindowsChanged();
        return;
    }
    if (event->change != QLatin1String("focus"))
        return;
    const qsizetype known = m_known.size();
    const auto app = applicationForEvent(*event);
    if (m_known.size() != known)
        Q_EMIT knownWindowsChanged();
    if (app)
        Q_EMIT applicationActivated(*app);
}

std::optional<RunningApplication> SwayApplicationSource::applicationForEvent(const SwayWindowEventReader::Event& event)
{
    if (!event.isClientWindow())
        return std::nullopt;
    constexpr qsizetype kMaximumKnown = 512;
    const QString key = SwayWindowEventReader::windowKey(event);
    if (const auto known = m_known.constFind(key); known != m_known.constEnd())
        return *known;
    if (m_known.size() >= kMaximumKnown)
        m_known.clear();
    WaylandApplicationIdentity::Window window;
    window.appId = event.appId;
    window.className = event.className;
    window.instanceName = event.instanceName;
    window.pid = event.pid;
    window.fallbackKey = QStringLiteral("con:%1").arg(event.id);
    const auto app = WaylandApplicationIdentity::application(window, m_desktopEntries);
    m_known.insert(key, app);
    return app;
}

std::optional<RunningApplication> SwayApplicationSource::applicationForContainer(const QJsonObject& container)
{
    return applicationForEvent(SwayWindowEventReader::fromContainer(container));
}

QString SwayApplicationSource::learnOpenWindows()
{
    const auto root = tree();
    if (!root)
        return {};
    const qsizetype known = m_known.size();
    QString front;
    forEachContainer(*root, [&](const QJsonObject& container) {
        const auto window = SwayWindowEventReader::fromContainer(container);
        if (applicationForEvent(window) && container.value(QLatin1String("focused")).toBool())
            front = SwayWindowEventReader::windowKey(window);
    });
    if (m_known.size() != known)
        Q_EMIT knownWindowsChanged();
    return front;
}

std::optional<QJsonObject> SwayApplicationSource::tree()
{
    const auto reply = m_commands.request(SwayIpcSocket::GetTree);
    if (!reply)
        return std::nullopt;
    const QJsonDocument document = QJsonDocument::fromJson(*reply);
    if (!document.isObject())
        return std::nullopt;
    return document.object();
}

std::optional<RunningApplication> SwayApplicationSource::frontmostApplication()
{
    const auto root = tree();
    if (!root)
        return std::nullopt;
    std::optional<RunningApplication> front;
    forEachContainer(*root, [&](const QJsonObject& container) {
        if (!front && container.value(QLatin1String("focused")).toBool())
            front = applicationForContainer(container);
    });
    return front;
}

std::optional<QRect> SwayApplicationSource::activeWindowFrame()
{
    const auto root = tree();
    if (!root)
        return std::nullopt;
    std::optional<QRect> frame;
    forEachContainer(*root, [&](const QJsonObject& container) {
        if (frame || !container.value(QLatin1String("focused")).toBool())
            return;
        const QJsonObject rect = container.value(QLatin1String("rect")).toObject();
        frame = QRect(rect.value(QLatin1String("x")).toInt(), rect.value(QLatin1String("y")).toInt(),
                      rect.value(QLatin1String("width")).toInt(), rect.value(QLatin1String("height")).toInt());
    });
    return frame;
}

// One row per application id, in the tree's order.
QList<RunningApplication> SwayApplicationSource::runningApplications()
{
    QList<RunningApplication> apps;
    const auto root = tree();
    if (!root)
        return apps;
    forEachContainer(*root, [&](const QJsonObject& container) {
        const auto app = applicationForContainer(container);
        if (!app)
            return;
        const bool listed = std::any_of(apps.cbegin(), apps.cend(), [&](const RunningApplication& other) {
            return other.bundleIdentifier == app->bundleIdentifier;
        });
        if (!listed)
            apps.append(*app);
    });
    return apps;
}
