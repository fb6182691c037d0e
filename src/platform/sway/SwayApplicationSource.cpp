#include "SwayApplicationSource.h"

#include "SwayIpcSocket.h"
#include "platform/freedesktop/DesktopEntryIndex.h"

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
}

void SwayApplicationSource::handleEvent(quint32 type, const QByteArray& payload)
{
    if (type != SwayIpcSocket::WindowEvent)
        return;
    const QJsonObject event = QJsonDocument::fromJson(payload).object();
    if (event.value(QLatin1String("change")).toString() != QLatin1String("focus"))
        return;
    if (const auto app = applicationForContainer(event.value(QLatin1String("container")).toObject()))
        Q_EMIT applicationActivated(*app);
}

std::optional<RunningApplication> SwayApplicationSource::applicationForContainer(const QJsonObject& container)
{
    if (!isClientWindow(container))
        return std::nullopt;
    const QString appId = container.value(QLatin1String("app_id")).toString().trimmed();
    const QJsonObject x11 = container.value(QLatin1String("window_properties")).toObject();
    const QString className = x11.value(QLatin1String("class")).toString().trimmed();
    const QString instanceName = x11.value(QLatin1String("instance")).toString().trimmed();
    if (appId.isEmpty() && className.isEmpty())
        return std::nullopt;

    RunningApplication app;
    app.processIdentifier = container.value(QLatin1String("pid")).toInteger();
    app.processKey = app.processIdentifier > 0
        ? QStringLiteral("pid:%1").arg(app.processIdentifier)
        : QStringLiteral("con:%1").arg(container.value(QLatin1String("id")).toInteger());

    std::optional<DesktopEntry> entry;
    if (!appId.isEmpty()) {
        entry = m_desktopEntries.entry(appId);
        if (entry)
            app.bundleIdentifier = appId;
        else
            entry = m_desktopEntries.entryForWindowClass(appId, appId);
    } else {
        entry = m_desktopEntries.entryForWindowClass(instanceName, className);
    }
    if (!app.bundleIdentifier)
        app.bundleIdentifier = entry ? entry->id : (appId.isEmpty() ? className : appId);
    for (const QString& name : {entry ? entry->id : QString(), appId, className}) {
        if (!name.isEmpty() && app.bundleIdentifier != name && !app.alternativeIdentifiers.contains(name))
            app.alternativeIdentifiers.append(name);
    }
    app.localizedName = entry && !entry->name.isEmpty() ? entry->name : (appId.isEmpty() ? className : appId);
    if (entry)
        app.iconName = entry->icon;
    return app;
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
