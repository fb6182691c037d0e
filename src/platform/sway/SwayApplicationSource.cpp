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

bool isClientWindow(const QJsonObject& container)
{
    const QString type = container.value(QLatin1String("type")).toString();
    if (type != QLatin1String("con") && type != QLatin1String("floating_con"))
        return false;
    return container.value(QLatin1String("app_id")).isString()
        || container.value(QLatin1String("window_properties")).isObject();
}

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
    connect(&desktopEntries, &DesktopEntryIndex::changed, this, [this] { m_known.clear(); });
}

void SwayApplicationSource::handleEvent(quint32 type, const QByteArray& payload)
{
    if (type != SwayIpcSocket::WindowEvent)
        return;
    std::optional<RunningApplication> app;
    if (const auto read = SwayWindowEventReader::read(payload)) {
        if (read->change != QLatin1String("focus"))
            return;
        app = applicationForEvent(*read);
    } else {
        const QJsonObject event = QJsonDocument::fromJson(payload).object();
        if (event.value(QLatin1String("change")).toString() != QLatin1String("focus"))
            return;
        app = applicationForContainer(event.value(QLatin1String("container")).toObject());
    }
    if (app)
        Q_EMIT applicationActivated(*app);
}

std::optional<RunningApplication> SwayApplicationSource::applicationForEvent(const SwayWindowEventReader::Event& event)
{
    const bool isWindow = event.type == QLatin1String("con") || event.type == QLatin1String("floating_con");
    if (!isWindow || (!event.hasAppId && !event.hasWindowProperties))
        return std::nullopt;
    constexpr qsizetype kMaximumKnown = 512;
    const QString key = event.appId + QChar() + event.className + QChar() + event.instanceName + QChar()
        + QString::number(event.pid > 0 ? event.pid : -event.id);
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
    if (!isClientWindow(container))
        return std::nullopt;
    const QJsonObject x11 = container.value(QLatin1String("window_properties")).toObject();
    WaylandApplicationIdentity::Window window;
    window.appId = container.value(QLatin1String("app_id")).toString();
    window.className = x11.value(QLatin1String("class")).toString();
    window.instanceName = x11.value(QLatin1String("instance")).toString();
    window.pid = container.value(QLatin1String("pid")).toInteger();
    window.fallbackKey = QStringLiteral("con:%1").arg(container.value(QLatin1String("id")).toInteger());
    return WaylandApplicationIdentity::application(window, m_desktopEntries);
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
