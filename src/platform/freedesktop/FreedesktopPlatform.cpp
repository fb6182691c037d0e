#include "FreedesktopPlatform.h"

#include "DBusNotificationService.h"
#include "DesktopEntryCatalogue.h"
#include "DesktopEntryIndex.h"
#include "StatusNotifierTrayMonitor.h"
#include "XdgAutostartLoginItem.h"
#include "platform/inputmethods/InputSourceProviderChooser.h"
#include "platform/qtmultimedia/QtSoundPlayer.h"

FreedesktopPlatform::FreedesktopPlatform(NotificationService* notifications)
    : m_notifications(notifications)
{
}

FreedesktopPlatform::~FreedesktopPlatform() = default;

void FreedesktopPlatform::releaseInputSources()
{
    m_inputSources.reset();
}

InputSourceProvider* FreedesktopPlatform::inputSourceProvider()
{
    if (desktopDrivesInputMethods())
        return layoutProvider();
    if (!m_inputSources)
        m_inputSources = InputSourceProviderChooser::withInputMethodFrameworks(layoutProvider());
    return m_inputSources.get();
}

NotificationService* FreedesktopPlatform::notificationService()
{
    if (m_notifications)
        return m_notifications;
    if (!m_ownNotifications)
        m_ownNotifications = std::make_unique<DBusNotificationService>();
    return m_ownNotifications.get();
}

SoundPlayer* FreedesktopPlatform::soundPlayer()
{
    if (!m_soundPlayer)
        m_soundPlayer = std::make_unique<QtSoundPlayer>();
    return m_soundPlayer.get();
}

ApplicationCatalogue* FreedesktopPlatform::applicationCatalogue()
{
    if (!m_catalogue)
        m_catalogue = std::make_unique<DesktopEntryCatalogue>(DesktopEntryIndex::shared());
    return m_catalogue.get();
}

LoginItemService* FreedesktopPlatform::loginItemService()
{
    if (!m_loginItem)
        m_loginItem = std::make_unique<XdgAutostartLoginItem>();
    return m_loginItem.get();
}

SystemTrayMonitor* FreedesktopPlatform::systemTrayMonitor()
{
    if (!m_trayMonitor)
        m_trayMonitor = std::make_unique<StatusNotifierTrayMonitor>();
    return m_trayMonitor.get();
}
