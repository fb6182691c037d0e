#pragma once

#include "platform/SystemTrayMonitor.h"

class QDBusServiceWatcher;

// A tray is there when a StatusNotifierWatcher with a registered host is on
// the session bus (waybar, the KDE panel, GNOME's AppIndicator extension).
// Followed as it appears and goes: the watcher's name on the bus and its
// StatusNotifierHostRegistered signal. The watcher is asked without blocking.
class StatusNotifierTrayMonitor : public SystemTrayMonitor {
    Q_OBJECT
public:
    explicit StatusNotifierTrayMonitor(QObject* parent = nullptr);

    bool isAvailable() const override { return m_available; }

private Q_SLOTS:
    void check();

private:
    void update(bool available);

    bool m_available = false;
    QDBusServiceWatcher* m_watcher = nullptr;
};
