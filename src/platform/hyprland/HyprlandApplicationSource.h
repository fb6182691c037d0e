#pragma once

#include "platform/ApplicationSource.h"

#include <QHash>
#include <QJsonObject>

class DesktopEntryIndex;
class HyprlandIpc;

// Follows Hyprland's "activewindowv2>>ADDRESS" events. What identifies a
// window (its class, which is the app_id of a Wayland client and the X class
// of an Xwayland one, and its pid) is read once per window, from the client
// list at start or "j/activewindow" when a window is first seen, so most
// activations cost no request. Focus on nothing (an empty workspace, a layer
// surface) names no address and is no activation.
class HyprlandApplicationSource : public ApplicationSource {
    Q_OBJECT
public:
    HyprlandApplicationSource(HyprlandIpc& ipc, DesktopEntryIndex& desktopEntries, QObject* parent = nullptr);

    std::optional<RunningApplication> frontmostApplication() override;
    QList<RunningApplication> runningApplications() override;
    std::optional<QRect> activeWindowFrame() override;

    // The application of one client of "j/clients" or "j/activewindow".
    std::optional<RunningApplication> applicationForClient(const QJsonObject& client);
    // "0x55d2e4a3c1f0" and "55d2e4a3c1f0" are the same window.
    static QString normalizedAddress(const QString& address);

private:
    void handleEvent(const QByteArray& name, const QByteArray& data);
    void learnClients();
    std::optional<QJsonObject> activeWindow();

    HyprlandIpc& m_ipc;
    DesktopEntryIndex& m_desktopEntries;
    QHash<QString, QJsonObject> m_clients;
};
