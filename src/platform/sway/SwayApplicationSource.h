#pragma once

#include "SwayWindowEventReader.h"
#include "platform/ApplicationSource.h"

#include <QHash>
#include <QJsonObject>

class DesktopEntryIndex;
class SwayIpcSocket;

// Follows sway's "window" events: each change of focus names the container in
// front. A Wayland window says who it is with its app_id, an Xwayland window
// with its X class (its app_id is null), and both carry the client's pid;
// WaylandApplicationIdentity makes an application of them.
//
// Focus on an empty workspace or on a layer-shell surface (a launcher, a bar)
// sends no window event: it is not an application's activation.
class SwayApplicationSource : public ApplicationSource {
    Q_OBJECT
public:
    // `events` must be subscribed to "window" events; `commands` answers get_tree.
    SwayApplicationSource(SwayIpcSocket& commands, SwayIpcSocket& events, DesktopEntryIndex& desktopEntries,
                          QObject* parent = nullptr);

    std::optional<RunningApplication> frontmostApplication() override;
    QList<RunningApplication> runningApplications() override;
    std::optional<QRect> activeWindowFrame() override;

    // The application of a container of sway's tree or of a window event;
    // nullopt for workspaces, outputs and other containers without a client.
    std::optional<RunningApplication> applicationForContainer(const QJsonObject& container);

    // The same from a window event as SwayWindowEventReader reads it.
    std::optional<RunningApplication> applicationForEvent(const SwayWindowEventReader::Event& event);

    // What each window seen so far is, by SwayWindowEventReader::windowKey
    // (nullopt: not an application's window).
    const QHash<QString, std::optional<RunningApplication>>& knownWindows() const { return m_known; }
    // Learns every window open now; the key of the one in front (empty: none).
    QString learnOpenWindows();

Q_SIGNALS:
    void knownWindowsChanged();

private:
    void handleEvent(quint32 type, const QByteArray& payload);
    std::optional<QJsonObject> tree();

    SwayIpcSocket& m_commands;
    DesktopEntryIndex& m_desktopEntries;
    // What each window focused so far is, by what its events say: focus moves
    // among a few windows, and the layout switch waits for the answer.
    QHash<QString, std::optional<RunningApplication>> m_known;
};
