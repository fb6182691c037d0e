#include "HyprlandPlatform.h"

#include "HyprlandApplicationSource.h"
#include "HyprlandInputSourceProvider.h"
#include "HyprlandIpc.h"
#include "base/Logger.h"
#include "platform/freedesktop/DBusNotificationService.h"
#include "platform/freedesktop/DesktopEntryIndex.h"
#include "platform/freedesktop/XdgAutostartLoginItem.h"
#include "platform/freedesktop/XkbRegistry.h"
#include "platform/inputmethods/InputSourceProviderChooser.h"
#include "platform/qtmultimedia/QtSoundPlayer.h"
#include "platform/wayland/WaylandDesktopCompositing.h"

std::unique_ptr<HyprlandPlatform> HyprlandPlatform::create(const QString& instanceDirectory,
                                                           NotificationService* notifications)
{
    const QString directory = instanceDirectory.isEmpty() ? HyprlandIpc::instanceDirectoryFromEnvironment()
                                                          : instanceDirectory;
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
    : m_ipc(std::move(ipc))
    , m_notifications(notifications)
{
    QObject::connect(m_ipc.get(), &HyprlandIpc::disconnected, m_ipc.get(), [] {
        Logger::shared().error(
            QStringLiteral("Lost the connection to Hyprland; applications and layouts are no longer followed"));
    });
}

HyprlandPlatform::~HyprlandPlatform()
{
    m_chosenInputSources.reset();
    m_applications.reset();
    m_layouts.reset();
}

InputSourceProvider* HyprlandPlatform::inputSourceProvider()
{
    if (!m_layouts)
        m_layouts = std::make_unique<HyprlandInputSourceProvider>(*m_ipc, XkbRegistry::system());
    // fcitx5 or IBus, when one runs, manages the layouts itself.
    if (!m_chosenInputSources)
        m_chosenInputSources = InputSourceProviderChooser::withInputMethodFrameworks(m_layouts.get());
    return m_chosenInputSources.get();
}

ApplicationSource* HyprlandPlatform::applicationSource()
{
    if (!m_applications)
        m_applications = std::make_unique<HyprlandApplicationSource>(*m_ipc, DesktopEntryIndex::shared());
    return m_applications.get();
}

LoginItemService* HyprlandPlatform::loginItemService()
{
    if (!m_loginItem)
        m_loginItem = std::make_unique<XdgAutostartLoginItem>();
    return m_loginItem.get();
}

NotificationService* HyprlandPlatform::notificationService()
{
    if (m_notifications)
        return m_notifications;
    if (!m_ownNotifications)
        m_ownNotifications = std::make_unique<DBusNotificationService>();
    return m_ownNotifications.get();
}

SoundPlayer* HyprlandPlatform::soundPlayer()
{
    if (!m_soundPlayer)
        m_soundPlayer = std::make_unique<QtSoundPlayer>();
    return m_soundPlayer.get();
}

DesktopCompositing* HyprlandPlatform::desktopCompositing()
{
    if (!m_compositing)
        m_compositing = std::make_unique<WaylandDesktopCompositing>();
    return m_compositing.get();
}
