#pragma once

#include "ApplicationCatalogue.h"
#include "ApplicationSource.h"
#include "DesktopCompositing.h"
#include "DesktopConflictMonitor.h"
#include "GlobalKeyMonitor.h"
#include "InputSourceProvider.h"
#include "LoginItemService.h"
#include "NotificationService.h"
#include "OverlayPresenter.h"
#include "PanelMenuPresenter.h"
#include "SoundPlayer.h"
#include "SystemTrayMonitor.h"

#include <QString>

#include <memory>

// The narrow interfaces to the operating system, one backend per platform.
// Core code reaches the OS only through these.
class Platform {
public:
    virtual ~Platform() = default;

    // The backend for this session, created on first use: the one
    // PlatformRegistry chooses for the session, or one that switches nothing.
    static Platform& instance();
    // Replaces the backend; for tests and for start-up code that picks one itself.
    static void setInstance(std::unique_ptr<Platform> platform);

    virtual QString name() const = 0;
    // False when this desktop has no backend: nothing is followed or switched,
    // and the settings window says so.
    virtual bool switchingAvailable() const { return true; }
    virtual InputSourceProvider* inputSourceProvider() = 0;
    virtual ApplicationSource* applicationSource() = 0;
    // May be null when the desktop has no notification service.
    virtual NotificationService* notificationService() = 0;
    // Plays short sounds; null when the desktop has no audio output.
    virtual SoundPlayer* soundPlayer() = 0;
    // Whether translucent windows blend; null when that cannot be known.
    virtual DesktopCompositing* desktopCompositing() = 0;
    // Observes key presses desktop-wide; null when the desktop cannot.
    virtual GlobalKeyMonitor* globalKeyMonitor() = 0;
    // Starts the application at login; null when the desktop has no such mechanism.
    virtual LoginItemService* loginItemService() = 0;
    // The applications the settings window offers for rules; null when the
    // desktop has no such list.
    virtual ApplicationCatalogue* applicationCatalogue() { return nullptr; }
    // Follows whether the desktop has a tray; null when that cannot be known.
    virtual SystemTrayMonitor* systemTrayMonitor() { return nullptr; }
    // Where no client may watch the keyboard but the compositor binds keys
    // itself: the line of its configuration that makes Ctrl+Alt+P run
    // `tolvane --toggle-pause`. Empty elsewhere.
    virtual QString pauseKeyBinding() const { return {}; }
    // Where the desktop binds keys for Tolvane in its own way: what the
    // settings page says about it (above pauseKeyBinding() when that is not
    // empty), marked QT_TRANSLATE_NOOP("Tolvane", …). Null elsewhere.
    virtual const char* pauseKeyBindingHint() const { return nullptr; }
    // Where Tolvane cannot place its own windows: what shows the floating
    // indicator instead. Null where ordinary windows do.
    virtual OverlayPresenter* overlayPresenter() { return nullptr; }
    // Where the desktop has no tray but a panel of its own: what shows the
    // tray menu there. Null elsewhere.
    virtual PanelMenuPresenter* panelMenuPresenter() { return nullptr; }
    // What about the desktop works against Tolvane; null when the backend knows of nothing.
    virtual DesktopConflictMonitor* desktopConflictMonitor() { return nullptr; }
};
