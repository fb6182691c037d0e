#pragma once

#include "platform/freedesktop/FreedesktopPlatform.h"

#include <memory>

class X11Connection;
class XkbInputSourceProvider;
class X11ApplicationSource;
class X11DesktopCompositing;
class X11RecordKeyMonitor;
class X11SwitchPlanner;
class X11SystemTrayMonitor;

// The X11 desktop: XKB layout groups and the EWMH active window.
class X11Platform : public FreedesktopPlatform {
public:
    // Null when no X display can be opened.
    static std::unique_ptr<X11Platform> create(NotificationService* notifications = nullptr);
    ~X11Platform() override;

    QString name() const override { return QStringLiteral("x11"); }
    ApplicationSource* applicationSource() override;
    DesktopCompositing* desktopCompositing() override;
    GlobalKeyMonitor* globalKeyMonitor() override;
    SystemTrayMonitor* systemTrayMonitor() override;
    // A switching thread on a connection of its own (X11SwitchingThread).
    void setActivationPlanner(ActivationPlanner planner) override;
    void activationPlanChanged() override;

protected:
    InputSourceProvider* layoutProvider() override;

private:
    X11Platform(std::unique_ptr<X11Connection> connection, NotificationService* notifications);

    std::unique_ptr<X11Connection> m_connection;
    std::unique_ptr<XkbInputSourceProvider> m_inputSources;
    std::unique_ptr<X11ApplicationSource> m_applications;
    std::unique_ptr<X11RecordKeyMonitor> m_keyMonitor;
    std::unique_ptr<X11DesktopCompositing> m_compositing;
    std::unique_ptr<X11SystemTrayMonitor> m_trayMonitor;
    std::unique_ptr<X11SwitchPlanner> m_switchPlanner;
};
