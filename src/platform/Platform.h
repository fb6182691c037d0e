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
#include "RunningApplication.h"
#include "SoundPlayer.h"
#include "SystemTrayMonitor.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>

// The narrow interfaces to the operating system, one backend per platform.
// Core code reaches the OS only through these.
class Platform {
public:
    // What the engine selects when `app` comes to the front now: the input
    // source's identifier, or nullopt when it selects nothing (paused, no rule,
    // no remembered source and no default, no application id). The same
    // decision the engine makes on the main thread when it handles the
    // activation. Called on the main thread only.
    using ActivationPlanner = std::function<std::optional<QString>(const RunningApplication& app)>;

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

    // Switching ahead of the main loop. A backend that can runs a switching
    // thread with a connection of its own to the display server, blocked in a
    // read; on an activation it looks the window up in a table and selects the
    // planned source at once, before the main loop has woken up.
    //
    // The backend fills that table on the main thread, from `planner`, for
    // every window it knows (window -> application identity, planned source or
    // none), and refreshes it when windows come and go and when
    // activationPlanChanged() is called. What the table cannot answer (a
    // window seen for the first time, a source the thread cannot select) is
    // left to the main thread. The thread selects nothing while the table is
    // being rebuilt, and drops an activation of the same application (same
    // process and same application id) as the engine does.
    //
    // Everything else stays on the main thread, which handles every
    // activation as before: it logs, gives feedback exactly once, remembers
    // sources and selects (the backend makes a selection of the source the
    // thread put in effect change nothing). currentInputSource() of the backend's
    // provider, asked while the activation is handled and before anything is
    // selected, answers the source in effect when the activation happened,
    // also when the thread has switched since: what the application that left
    // the front used.
    //
    // ActivationPlanPublisher (core) installs the engine's planner and calls
    // activationPlanChanged(). An empty planner stops the thread. The default:
    // no switching thread.
    virtual void setActivationPlanner(ActivationPlanner planner) { Q_UNUSED(planner); }
    // The planner's answers may have changed: rules, the default source, the
    // remembered sources, pause or the enabled sources changed. Call it at
    // once, on the main thread: before this returns, the table is either
    // rebuilt or set aside (the main thread then decides until it is rebuilt,
    // on the next turn of the loop).
    virtual void activationPlanChanged() { }
};
