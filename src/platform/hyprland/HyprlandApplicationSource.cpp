#include "HyprlandApplicationSource.h"

#include "HyprlandIpc.h"
#include "platform/freedesktop/DesktopEntryIndex.h"
#include "platform/wayland/WaylandApplicationIdentity.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <algorithm>

HyprlandApplicationSource::HyprlandApplicationSource(HyprlandIpc& ipc, DesktopEntryIndex& desktopEntries,
                                                     QObject* parent)
    : ApplicationSource(parent)
    , m_ipc(ipc)
    , m_desktopEntries(desktopEntries)
{
    connect(&m_ipc, &HyprlandIpc::eventReceived, this, &HyprlandApplicationSource::handleEvent);
    learnClients();
}

QString HyprlandApplicationSource::normalizedAddress(const QString& address)
{
    QString plain = address.trimmed().toLower();
    if (plain.startsWith(QLatin1String("0x")))
        plain.remove(0, 2);
    return plain;
}

void HyprlandApplicationSource::learnClients()
{
    const QJsonArray clients = QJsonDocument::fromJson(m_ipc.request("j/clients").value_or(QByteArray())).array();
    for (const QJsonValue& value : clients) {
        const QJsonObject client = value.toObject();
        const QString address = normalizedAddress(client.value(QLatin1String("address")).toString());
        if (!address.isEmpty())
            m_clients.insert(address, client);
    }
}

void HyprlandApplicationSource::handleEvent(const QByteArray& name, const QByteArray& data)
{
    if (name == "closewindow" || name == "openwindow") {
        // "openwindow>>ADDRESS,WORKSPACE,CLASS,TITLE": read in full when first active.
        m_clients.remove(normalizedAddress(QString::fromUtf8(data.left(data.indexOf(',')))));
        return;
    }
    if (name != "activewindowv2")
        return;
    const QString address = normalizedAddress(QString::fromUtf8(data));
    if (address.isEmpty() || address == QLatin1String(","))
        return;
    auto known = m_clients.constFind(address);
    if (known == m_clients.constEnd()) {
        const auto active = activeWindow();
        if (!active || normalizedAddress(active->value(QLatin1String("address")).toString()) != address)
            return; // gone again before it could be read
        known = m_clients.insert(address, *active);
    }
    if (const auto app = applicationForClient(*known))
        Q_EMIT applicationActivated(*app);
}

std::optional<QJsonObject> HyprlandApplicationSource::activeWindow()
{
    const QJsonDocument document = QJsonDocument::fromJson(m_ipc.request("j/activewindow").value_or(QByteArray()));
    if (!document.isObject() || document.object().value(QLatin1String("address")).toString().isEmpty())
        return std::nullopt;
    return document.object();
}

std::optional<RunningApplication> HyprlandApplicationSource::applicationForClient(const QJsonObject& client)
{
    WaylandApplicationIdentity::Window window;
    QString className = client.value(QLatin1String("class")).toString();
    if (className.isEmpty())
        className = client.value(QLatin1String("initialClass")).toString();
    if (client.value(QLatin1String("xwayland")).toBool())
        window.className = className;
    else
        window.appId = className;
    window.pid = client.value(QLatin1String("pid")).toInteger();
    window.fallbackKey =
        QStringLiteral("window:") + normalizedAddress(client.value(QLatin1String("address")).toString());
    return WaylandApplicationIdentity::application(window, m_desktopEntries);
}

std::optional<RunningApplication> HyprlandApplicationSource::frontmostApplication()
{
    const auto active = activeWindow();
    return active ? applicationForClient(*active) : std::nullopt;
}

std::optional<QRect> HyprlandApplicationSource::activeWindowFrame()
{
    const auto active = activeWindow();
    if (!active)
        return std::nullopt;
    const QJsonArray at = active->value(QLatin1String("at")).toArray();
    const QJsonArray size = active->value(QLatin1String("size")).toArray();
    if (at.size() != 2 || size.size() != 2)
        return std::nullopt;
    return QRect(at.at(0).toInt(), at.at(1).toInt(), size.at(0).toInt(), size.at(1).toInt());
}

QList<RunningApplication> HyprlandApplicationSource::runningApplications()
{
    QList<RunningApplication> apps;
    const QJsonArray clients = QJsonDocument::fromJson(m_ipc.request("j/clients").value_or(QByteArray())).array();
    for (const QJsonValue& value : clients) {
        const QJsonObject client = value.toObject();
        if (client.contains(QLatin1String("mapped")) && !client.value(QLatin1String("mapped")).toBool())
            continue;
        const auto app = applicationForClient(client);
        if (!app)
            continue;
        const bool listed = std::any_of(apps.cbegin(), apps.cend(), [&](const RunningApplication& other) {
            return other.bundleIdentifier == app->bundleIdentifier;
        });
        if (!listed)
            apps.append(*app);
    }
    return apps;
}
