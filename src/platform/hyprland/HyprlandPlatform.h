#pragma once

#include "platform/freedesktop/FreedesktopPlatform.h"

#include <memory>

class HyprlandIpc;
class HyprlandApplicationSource;
class HyprlandInputSourceProvider;
class WaylandDesktopCompositing;
class WaylandLayerShellOverlay;

// Hyprland: the active window and each keyboard's layouts through its request
// and event sockets. Built from Hyprland's documentation of those sockets and
// tested against a stand-in that replays its event lines; not yet tried on a
// real Hyprland. As on every Wayland desktop there is no global key monitor:
// the pause is in the tray menu and behind a Hyprland binding.
class HyprlandPlatform : public FreedesktopPlatform {
public:
    // Null when the event socket ($HYPRLAND_INSTANCE_SIGNATURE's unless a
    // directory is given) cannot be reached.
    static std::unique_ptr<HyprlandPlatform> create(const QString& instanceDirectory = {},
                                                    NotificationService* notifications = nullptr);
    ~HyprlandPlatform() override;

    QString name() const override { return QStringLiteral("hyprland"); }
    ApplicationSource* applicationSource() override;
    DesktopCompositing* desktopCompositing() override;
    GlobalKeyMonitor* globalKeyMonitor() override { return nullptr; }
    // The compositor's layer shell places the indicator; connected on first use.
    OverlayPresenter* overlayPresenter() override;
    QString pauseKeyBinding() const override
    {
        return QStringLiteral("bind = CTRL ALT, P, exec, tolvane --toggle-pause");
    }

protected:
    InputSourceProvider* layoutProvider() override;

private:
    HyprlandPlatform(std::unique_ptr<HyprlandIpc> ipc, NotificationService* notifications);

    std::unique_ptr<HyprlandIpc> m_ipc;
    std::unique_ptr<HyprlandInputSourceProvider> m_layouts;
    std::unique_ptr<HyprlandApplicationSource> m_applications;
    std::unique_ptr<WaylandDesktopCompositing> m_compositing;
    std::unique_ptr<WaylandLayerShellOverlay> m_overlay;
    bool m_overlayTried = false;
};
