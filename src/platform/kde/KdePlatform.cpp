#include "KdePlatform.h"

#include "KWinApplicationSource.h"
#include "KdeKeyboardLayoutProvider.h"
#include "KxkbConfig.h"
#include "KxkbSwitchModeMonitor.h"

#include "platform/freedesktop/DBusNotificationService.h"
#include "platform/freedesktop/DesktopEntryIndex.h"
#include "platform/freedesktop/XdgAutostartLoginItem.h"
#include "platform/freedesktop/XkbRegistry.h"
#include "platform/inputmethods/InputSourceProviderChooser.h"
#include "platform/qtmultimedia/QtSoundPlayer.h"
#include "platform/wayland/WaylandDesktopCompositing.h"

#include <QDBusConnectionInterface>
#include <QStandardPaths>

std::unique_ptr<KdePlatform> KdePlatform::create(QDBusConnection bus)
{
    if (!bus.isConnected() || !bus.interface()->isServiceRegistered(QStringLiteral("org.kde.KWin")).value())
        return nullptr;
    return std::unique_ptr<KdePlatform>(new KdePlatform(std::move(bus)));
}

KdePlatform::KdePlatform(QDBusConnection bus)
    : m_bus(std::move(bus))
{
}

KdePlatform::~KdePlatform()
{
    m_applications.reset();
    m_chosenInputSources.reset();
    m_layouts.reset();
}

QString KdePlatform::scriptPath()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QStandardPaths::writableLocation(QStandardPaths::TempLocation);
    return folder + QStringLiteral("/com.kelvora.Tolvane.kwin-activation.js");
}

InputSourceProvider* KdePlatform::inputSourceProvider()
{
    if (!m_layouts)
        m_layouts = std::make_unique<KdeKeyboardLayoutProvider>(m_bus, XkbRegistry::system(), &KxkbConfig::load);
    // fcitx5 or IBus, when one runs, manages the layouts itself.
    if (!m_chosenInputSources)
        m_chosenInputSources = InputSourceProviderChooser::withInputMethodFrameworks(m_layouts.get());
    return m_chosenInputSources.get();
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

NotificationService* KdePlatform::notificationService()
{
    if (!m_notifications)
        m_notifications = std::make_unique<DBusNotificationService>();
    return m_notifications.get();
}

SoundPlayer* KdePlatform::soundPlayer()
{
    if (!m_soundPlayer)
        m_soundPlayer = std::make_unique<QtSoundPlayer>();
    return m_soundPlayer.get();
}

DesktopCompositing* KdePlatform::desktopCompositing()
{
    if (!m_compositing)
        m_compositing = std::make_unique<WaylandDesktopCompositing>();
    return m_compositing.get();
}

LoginItemService* KdePlatform::loginItemService()
{
    if (!m_loginItem)
        m_loginItem = std::make_unique<XdgAutostartLoginItem>();
    return m_loginItem.get();
}
