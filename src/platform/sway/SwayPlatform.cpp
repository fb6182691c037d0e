#include "SwayPlatform.h"

#include "SwayApplicationSource.h"
#include "SwayConfigCheck.h"
#include "SwayInputSourceProvider.h"
#include "SwayIpcSocket.h"
#include "base/Logger.h"
#include "platform/freedesktop/DesktopEntryIndex.h"
#include "platform/freedesktop/XkbRegistry.h"
#include "platform/wayland/WaylandDesktopCompositing.h"
#include "platform/wayland/WaylandLayerShellOverlay.h"

#include <QJsonDocument>
#include <QJsonObject>

std::unique_ptr<SwayPlatform> SwayPlatform::create(const QString& socketPath, NotificationService* notifications)
{
    const QString path = socketPath.isEmpty() ? SwayIpcSocket::socketPathFromEnvironment() : socketPath;
    if (path.isEmpty())
        return nullptr;
    auto commands = std::make_unique<SwayIpcSocket>();
    auto events = std::make_unique<SwayIpcSocket>();
    if (!commands->connectTo(path) || !events->connectTo(path)) {
        Logger::shared().error(QStringLiteral("Sway IPC socket ") + path + QStringLiteral(" cannot be reached"));
        return nullptr;
    }
    const auto subscribed =
        events->request(SwayIpcSocket::Subscribe, QByteArrayLiteral(R"(["window","input","workspace","shutdown"])"));
    if (!subscribed || !QJsonDocument::fromJson(*subscribed).object().value(QLatin1String("success")).toBool()) {
        Logger::shared().error(QStringLiteral("Sway refused to report window and input events"));
        return nullptr;
    }
    auto platform =
        std::unique_ptr<SwayPlatform>(new SwayPlatform(std::move(commands), std::move(events), notifications));
    platform->warnAboutLayoutSwitchingRules();
    return platform;
}

SwayPlatform::SwayPlatform(std::unique_ptr<SwayIpcSocket> commands, std::unique_ptr<SwayIpcSocket> events,
                           NotificationService* notifications)
    : FreedesktopPlatform(notifications)
    , m_commands(std::move(commands))
    , m_events(std::move(events))
{
    QObject::connect(m_events.get(), &SwayIpcSocket::eventReceived, m_events.get(),
                     [](quint32 type, const QByteArray&) {
                         if (type == SwayIpcSocket::ShutdownEvent)
                             Logger::shared().info(QStringLiteral("Sway is shutting down"));
                     });
    QObject::connect(m_events.get(), &SwayIpcSocket::disconnected, m_events.get(), [] {
        Logger::shared().error(
            QStringLiteral("Lost the connection to sway; applications and layouts are no longer followed"));
    });
}

SwayPlatform::~SwayPlatform()
{
    releaseInputSources();
    m_applications.reset();
    m_layouts.reset();
}

void SwayPlatform::warnAboutLayoutSwitchingRules()
{
    if (m_warned)
        return;
    m_warned = true;
    const auto reply = m_commands->request(SwayIpcSocket::GetConfig);
    if (!reply)
        return;
    const QString config = QJsonDocument::fromJson(*reply).object().value(QLatin1String("config")).toString();
    for (const QString& rule : SwayConfigCheck::layoutSwitchingWindowRules(config)) {
        Logger::shared().error(QStringLiteral("The sway configuration switches layouts itself and will fight "
                                              "Tolvane's rules; remove it and make a Tolvane rule instead: ")
                               + rule);
    }
}

InputSourceProvider* SwayPlatform::layoutProvider()
{
    if (!m_layouts)
        m_layouts = std::make_unique<SwayInputSourceProvider>(*m_commands, *m_events, XkbRegistry::system());
    return m_layouts.get();
}

ApplicationSource* SwayPlatform::applicationSource()
{
    if (!m_applications)
        m_applications = std::make_unique<SwayApplicationSource>(*m_commands, *m_events, DesktopEntryIndex::shared());
    return m_applications.get();
}

DesktopCompositing* SwayPlatform::desktopCompositing()
{
    if (!m_compositing)
        m_compositing = std::make_unique<WaylandDesktopCompositing>();
    return m_compositing.get();
}

OverlayPresenter* SwayPlatform::overlayPresenter()
{
    if (!m_overlayTried) {
        m_overlayTried = true;
        m_overlay = WaylandLayerShellOverlay::connect();
    }
    return m_overlay.get();
}
