#include "X11Platform.h"

#include "X11ApplicationSource.h"
#include "X11Connection.h"
#include "X11DesktopCompositing.h"
#include "X11RecordKeyMonitor.h"
#include "X11SystemTrayMonitor.h"
#include "XkbInputSourceProvider.h"
#include "platform/inputmethods/InputSourceProviderChooser.h"
#include "platform/freedesktop/DBusNotificationService.h"
#include "platform/freedesktop/DesktopEntryIndex.h"
#include "platform/qtmultimedia/QtSoundPlayer.h"
#include "platform/freedesktop/XdgAutostartLoginItem.h"

std::unique_ptr<X11Platform> X11Platform::create(NotificationService* notifications)
{
    auto connection = X11Connection::open();
    if (!connection)
        return nullptr;
    return std::unique_ptr<X11Platform>(new X11Platform(std::move(connection), notifications));
}

X11Platform::X11Platform(std::unique_ptr<X11Connection> connection, NotificationService* notifications)
    : m_connection(std::move(connection))
    , m_notifications(notifications)
{
}

X11Platform::~X11Platform()
{
    m_trayMonitor.reset();
    m_keyMonitor.reset();
    m_compositing.reset();
    m_applications.reset();
    m_inputSources.reset();
}

InputSourceProvider* X11Platform::inputSourceProvider()
{
    if (!m_inputSources)
        m_inputSources = std::make_unique<XkbInputSourceProvider>(*m_connection);
    // fcitx5 or IBus, when one runs, manages the layouts itself; XKB groups otherwise.
    if (!m_chosenInputSources)
        m_chosenInputSources = InputSourceProviderChooser::withInputMethodFrameworks(m_inputSources.get());
    return m_chosenInputSources.get();
}

ApplicationSource* X11Platform::applicationSource()
{
    if (!m_applications)
        m_applications = std::make_unique<X11ApplicationSource>(*m_connection, DesktopEntryIndex::shared());
    return m_applications.get();
}

SystemTrayMonitor* X11Platform::systemTrayMonitor()
{
    if (!m_trayMonitor)
        m_trayMonitor = std::make_unique<X11SystemTrayMonitor>(*m_connection);
    return m_trayMonitor.get();
}

GlobalKeyMonitor* X11Platform::globalKeyMonitor()
{
    if (!m_keyMonitor)
        m_keyMonitor = std::make_unique<X11RecordKeyMonitor>(*m_connection);
    return m_keyMonitor.get();
}

LoginItemService* X11Platform::loginItemService()
{
    if (!m_loginItem)
        m_loginItem = std::make_unique<XdgAutostartLoginItem>();
    return m_loginItem.get();
}

NotificationService* X11Platform::notificationService()
{
    if (m_notifications)
        return m_notifications;
    if (!m_ownNotifications)
        m_ownNotifications = std::make_unique<DBusNotificationService>();
    return m_ownNotifications.get();
}

SoundPlayer* X11Platform::soundPlayer()
{
    if (!m_soundPlayer)
        m_soundPlayer = std::make_unique<QtSoundPlayer>();
    return m_soundPlayer.get();
}

DesktopCompositing* X11Platform::desktopCompositing()
{
    if (!m_compositing)
        m_compositing = std::make_unique<X11DesktopCompositing>(*m_connection);
    return m_compositing.get();
}
