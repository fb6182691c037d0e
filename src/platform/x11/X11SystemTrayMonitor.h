#pragma once

#include "platform/SystemTrayMonitor.h"

class StatusNotifierTrayMonitor;
class X11Connection;

// A tray is there when a StatusNotifierWatcher with a host is on the session
// bus, or when some client owns the XEmbed tray's manager selection
// (_NET_SYSTEM_TRAY_S<screen>). Both are followed as they appear: the watcher's
// name on the bus, and the MANAGER message a new tray owner sends to the root.
class X11SystemTrayMonitor : public SystemTrayMonitor {
    Q_OBJECT
public:
    explicit X11SystemTrayMonitor(X11Connection& connection, QObject* parent = nullptr);

    bool isAvailable() const override;

private:
    void handleEvent(const union _XEvent& event);
    void checkXEmbedTray();
    void update(bool xembedTray);

    X11Connection& m_connection;
    unsigned long m_selection = 0;
    bool m_xembedTray = false;
    StatusNotifierTrayMonitor* m_statusNotifier;
    bool m_wasAvailable = false;
};
