#pragma once

#include "platform/Platform.h"

#include <memory>

class X11Connection;
class XkbInputSourceProvider;
class X11ApplicationSource;
class X11DesktopCompositing;
class X11RecordKeyMonitor;
class X11SystemTrayMonitor;
class XdgAutostartLoginItem;

// The X11 desktop: XKB layout groups and the EWMH active window.
class X11Platform : public Platform {
public:
    // Null when no X display can be opened.
    static std::unique_ptr<X11Platform> create(NotificationService* notifications = nullptr);
    ~X11Platform() override;

    QString name() const override { return QStringLiteral("x11"); }
    InputSourceProvider* inputSourceProvider() override;
    ApplicationSource* applicationSource() override;
    // The one given to create(), else the desktop's over D-Bus.
    NotificationService* notificationService() override;
    SoundPlayer* soundPlayer() override;
    DesktopCompositing* desktopCompositing() override;
    GlobalKeyMonitor* globalKeyMonitor() override;
    LoginItemService* loginItemService() override;
    SystemTrayMonitor* systemTrayMonitor() override;

    X11Connection& connection() { return *m_connection; }

private:
    explicit X11Platform(std::unique_ptr<X11Connection> connection, NotificationService* notifications);

    std::unique_ptr<X11Connection> m_connection;
    std::unique_ptr<XkbInputSourceProvider> m_inputSources;
    std::unique_ptr<InputSourceProvider> m_chosenInputSources;
    std::unique_ptr<X11ApplicationSource> m_applications;
    std::unique_ptr<X11RecordKeyMonitor> m_keyMonitor;
    std::unique_ptr<XdgAutostartLoginItem> m_loginItem;
    NotificationService* m_notifications;
    std::unique_ptr<NotificationService> m_ownNotifications;
    std::unique_ptr<SoundPlayer> m_soundPlayer;
    std::unique_ptr<X11DesktopCompositing> m_compositing;
    std::unique_ptr<X11SystemTrayMonitor> m_trayMonitor;
};
