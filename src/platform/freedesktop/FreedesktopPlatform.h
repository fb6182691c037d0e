#pragma once

#include "platform/Platform.h"

#include <memory>

class InputSourceProviderChooser;

// What every Linux session shares, whatever draws its windows: desktop
// notifications over D-Bus, XDG autostart, sound through Qt Multimedia, and
// fcitx5 or IBus in charge of the input sources while one runs. A backend
// derives from it and supplies only what its display server decides: the
// application source, its own keyboard layouts, compositing and the key
// monitor (the last two may be null).
class FreedesktopPlatform : public Platform {
public:
    // `notifications` replaces the desktop's notification service (tests).
    explicit FreedesktopPlatform(NotificationService* notifications = nullptr);
    ~FreedesktopPlatform() override;

    // The running input-method framework, else layoutProvider().
    InputSourceProvider* inputSourceProvider() final;
    NotificationService* notificationService() override;
    SoundPlayer* soundPlayer() override;
    LoginItemService* loginItemService() override;
    // A StatusNotifierItem host (the tray of Wayland panels and of KDE).
    SystemTrayMonitor* systemTrayMonitor() override;
    // The installed desktop entries.
    ApplicationCatalogue* applicationCatalogue() override;

protected:
    // The display server's own keyboard layouts; null when it has none Tolvane can switch.
    virtual InputSourceProvider* layoutProvider() = 0;
    // Whether the desktop itself keeps the input methods among its sources and
    // follows only its own switches (GNOME Shell drives IBus): then
    // layoutProvider() lists and selects them all, and no framework is asked.
    virtual bool desktopDrivesInputMethods() const { return false; }
    // Lets go of the framework chooser; a backend calls it first in its
    // destructor, before the layout provider the chooser points at goes.
    void releaseInputSources();

private:
    std::unique_ptr<InputSourceProviderChooser> m_inputSources;
    NotificationService* m_notifications;
    std::unique_ptr<NotificationService> m_ownNotifications;
    std::unique_ptr<SoundPlayer> m_soundPlayer;
    std::unique_ptr<LoginItemService> m_loginItem;
    std::unique_ptr<SystemTrayMonitor> m_trayMonitor;
    std::unique_ptr<ApplicationCatalogue> m_catalogue;
};
