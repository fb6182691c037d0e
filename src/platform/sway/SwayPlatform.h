#pragma once

#include "platform/freedesktop/FreedesktopPlatform.h"

#include <memory>

class SwayIpcSocket;
class SwaySwitchingThread;
class SwayApplicationSource;
class SwayInputSourceProvider;
class WaylandDesktopCompositing;
class WaylandLayerShellOverlay;

// Sway and other compositors that speak i3's IPC: the focused container and
// each keyboard's layouts, over two connections to the compositor's socket
// (one for requests, one for events). No client can observe the keyboard on
// Wayland, so there is no global key monitor: the pause is in the tray menu and
// behind a compositor binding that runs `tolvane --toggle-pause`.
//
// A switching thread (SwaySwitchingThread) selects the source planned for the
// window that gets the focus as soon as sway reports it; its table of windows
// and the command for each is made here, on the main thread, from the planner.
class SwayPlatform : public FreedesktopPlatform {
public:
    // Null when the socket ($SWAYSOCK unless given) cannot be reached.
    static std::unique_ptr<SwayPlatform> create(const QString& socketPath = {},
                                                NotificationService* notifications = nullptr);
    ~SwayPlatform() override;

    QString name() const override { return QStringLiteral("sway"); }
    ApplicationSource* applicationSource() override;
    DesktopCompositing* desktopCompositing() override;
    GlobalKeyMonitor* globalKeyMonitor() override { return nullptr; }
    // The compositor's layer shell places the indicator; connected on first use.
    OverlayPresenter* overlayPresenter() override;
    QString pauseKeyBinding() const override
    {
        return QStringLiteral("bindsym Ctrl+Alt+p exec tolvane --toggle-pause");
    }

    // The switching thread's table holds every window seen so far (from the
    // tree, "new" and focus events) with the command for its planned source,
    // while sway's own layouts are in charge (not an input-method framework).
    // A change of plan makes it anew at once, before this returns.
    void setActivationPlanner(ActivationPlanner planner) override;
    void activationPlanChanged() override;

    // Sway's own configuration switching layouts per window fights Tolvane;
    // logs each such rule, once per run.
    void warnAboutLayoutSwitchingRules();

protected:
    InputSourceProvider* layoutProvider() override;

private:
    SwayPlatform(std::unique_ptr<SwaySwitchingThread> thread, std::unique_ptr<SwayIpcSocket> commands,
                 std::unique_ptr<SwayIpcSocket> events, NotificationService* notifications);
    void handleEvent(quint32 type, const QByteArray& payload);
    void refreshSwitchingTable();

    std::unique_ptr<SwaySwitchingThread> m_thread;
    ActivationPlanner m_planner;
    std::unique_ptr<SwayIpcSocket> m_commands;
    std::unique_ptr<SwayIpcSocket> m_events;
    std::unique_ptr<SwayInputSourceProvider> m_layouts;
    std::unique_ptr<SwayApplicationSource> m_applications;
    std::unique_ptr<WaylandDesktopCompositing> m_compositing;
    std::unique_ptr<WaylandLayerShellOverlay> m_overlay;
    bool m_overlayTried = false;
    bool m_warned = false;
};
