#include "HyprlandPlatform.h"

#include "HyprlandApplicationSource.h"
#include "HyprlandInputSourceProvider.h"
#include "HyprlandIpc.h"
#include "base/Logger.h"
#include "platform/freedesktop/DesktopEntryIndex.h"
#include "platform/freedesktop/XkbRegistry.h"
#include "platform/wayland/WaylandDesktopCompositing.h"
#include "platform/wayland/WaylandLayerShellOverlay.h"

std::unique_ptr<HyprlandPlatform> HyprlandPlatform::create(const QString& instanceDirectory,
                                                           NotificationService* notifications)
{
    const QString directory =
        instanceDirectory.isEmpty() ? HyprlandIpc::instanceDirectoryFromEnvironment() : instanceDirectory;
    if (directory.isEmpty())
        return nullptr;
    auto ipc = std::make_unique<HyprlandIpc>(directory);
    if (!ipc->connectEvents()) {
        Logger::shared().error(QStringLiteral("Hyprland's event socket in ") + directory
                               + QStringLiteral(" cannot be reached"));
        return nullptr;
    }
    return std::unique_ptr<HyprlandPlatform>(new HyprlandPlatform(std::move(ipc), notifications));
}

HyprlandPlatform::HyprlandPlatform(std::unique_ptr<HyprlandIpc> ipc, NotificationService* notifications)
    : FreedesktopPlatform(notifications)
    , m_ipc(std::move(ipc))
{
    QObject::connect(m_ipc.get(), &HyprlandIpc::disconnected, m_ipc.get(), [] {
        Logger::shared().error(
            QStringLiteral("Lost the connection to Hyprland; applications and layouts are no longer followed"));
    });
}

HyprlandPlatform::~HyprlandPlatform()
{
    releaseInputSources();
    m_applications.reset();
    m_layouts.reset();
}

InputSourceProvider* HyprlandPlatform::layoutProvider()
{
    if (!m_layouts)
        m_layouts = std::make_unique<HyprlandInputSourceProvider>(*m_ipc, XkbRegistry::system());
    return m_layouts.get();
}

ApplicationSource* HyprlandPlatform::applicationSource()
{
    if (!m_applications)
        m_applications = std::make_unique<HyprlandApplicationSource>(*m_ipc, DesktopEntryIndex::shared());
    return m_applications.get();
}

DesktopCompositing* HyprlandPlatform::desktopCompositing()
{
    if (!m_compositing)
        m_compositing = std::make_unique<WaylandDesktopCompositing>();
    return m_compositing.get();
}

OverlayPresenter* HyprlandPlatform::overlayPresenter()
{
    if (!m_overlayTried) {
        m_overlayTried = true;
        m_overlay = WaylandLayerShellOverlay::connect();
    }
    return m_overlay.get();
}
