#include "KdePlatform.h"

#include "KWinApplicationSource.h"
#include "KdeKeyboardLayoutProvider.h"
#include "KxkbConfig.h"
#include "KxkbSwitchModeMonitor.h"

#include "platform/freedesktop/DesktopEntryIndex.h"
#include "platform/freedesktop/XkbRegistry.h"
#include "platform/wayland/WaylandDesktopCompositing.h"
#include "platform/wayland/WaylandLayerShellOverlay.h"

#include <QDBusConnectionInterface>
#include <QStandardPaths>

std::unique_ptr<KdePlatform> KdePlatform::create(QDBusConnection bus, NotificationService* notifications)
{
    if (!bus.isConnected() || !bus.interface()->isServiceRegistered(QStringLiteral("org.kde.KWin")).value())
        return nullptr;
    return std::unique_ptr<KdePlatform>(new KdePlatform(std::move(bus), notifications));
}

KdePlatform::KdePlatform(QDBusConnection bus, NotificationService* notifications)
    : FreedesktopPlatform(notifications)
    , m_bus(std::move(bus))
{
}

KdePlatform::~KdePlatform()
{
    releaseInputSources();
    m_overlay.reset();
    m_applications.reset();
    m_layouts.reset();
}

QString KdePlatform::scriptPath()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QStandardPaths::writableLocation(QStandardPaths::TempLocation);
    return folder + QStringLiteral("/com.kelvora.Tolvane.kwin-activation.js");
}

InputSourceProvider* KdePlatform::layoutProvider()
{
    if (!m_layouts)
        m_layouts = std::make_unique<KdeKeyboardLayoutProvider>(m_bus, XkbRegistry::system(), &KxkbConfig::load);
    return m_layouts.get();
}

ApplicationSource* KdePlatform::applicationSource()
{
    if (!m_applications) {
        m_applications = std::make_unique<KWinApplicationSource>(m_bus, DesktopEntryIndex::shared(), scriptPath());
        m_applications->start();
    }
    return m_applications.get();
}

DesktopConflictMonitor* KdePlatform::desktopConflictMonitor()
{
    if (!m_switchMode)
        m_switchMode = std::make_unique<KxkbSwitchModeMonitor>();
    return m_switchMode.get();
}

DesktopCompositing* KdePlatform::desktopCompositing()
{
    if (!m_compositing)
        m_compositing = std::make_unique<WaylandDesktopCompositing>();
    return m_compositing.get();
}

OverlayPresenter* KdePlatform::overlayPresenter()
{
    if (!m_overlayTried) {
        m_overlayTried = true;
        m_overlay = WaylandLayerShellOverlay::connect();
    }
    return m_overlay.get();
}
