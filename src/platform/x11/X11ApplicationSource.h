#pragma once

#include "platform/ApplicationSource.h"

#include <QHash>
#include <QImage>
#include <QList>
#include <QString>

#include <utility>

class DesktopEntryIndex;
class X11Connection;

// Follows the root window's _NET_ACTIVE_WINDOW, which the window manager keeps.
// A burst of changes is reported once, with the window active at the end of
// it: the newest activation goes first and stale ones are never looked up.
//
// The application id plays the bundle identifier: the desktop-entry id when the
// window names one (_GTK_APPLICATION_ID, _KDE_NET_WM_DESKTOP_FILE) or its
// WM_CLASS matches an installed entry, otherwise the WM_CLASS class. The other
// names (the class, the announced id) go along as alternative identifiers. A
// window without WM_CLASS is an application without an id.
//
// What identifies a window is read once, when the window manager lists it
// (or when it is first seen) and kept until the window goes or changes those
// properties, so an activation costs one request to the server: reading which
// window is active.
class X11ApplicationSource : public ApplicationSource {
    Q_OBJECT
public:
    X11ApplicationSource(X11Connection& connection, DesktopEntryIndex& desktopEntries, QObject* parent = nullptr);

    std::optional<RunningApplication> frontmostApplication() override;
    QList<RunningApplication> runningApplications() override;
    std::optional<QRect> activeWindowFrame() override;

    // Without the window's own icon: reading it is a large request, and an
    // activation needs none. The running applications carry it.
    std::optional<RunningApplication> applicationForWindow(unsigned long window);

    // Every window whose identity has been read, with its application
    // (without icons). Costs no request.
    QList<std::pair<unsigned long, RunningApplication>> knownWindows();

Q_SIGNALS:
    // A window's identity was read or forgotten, or the desktop entries that
    // name applications changed.
    void knownWindowsChanged();

private:
    // The window's identifying properties, as read from the server.
    struct WindowFacts {
        QString processKey;
        qint64 processIdentifier = 0;
        QString announcedId; // _GTK_APPLICATION_ID or _KDE_NET_WM_DESKTOP_FILE, without ".desktop"
        QString instanceName;
        QString className;
    };

    void handleEvent(const union _XEvent& event);
    void reportActivation();
    std::optional<unsigned long> activeWindow();
    bool isOrdinaryWindow(unsigned long window);
    // The window's own icon (_NET_WM_ICON) at the size nearest above 32
    // pixels; null when it has none.
    QImage windowIcon(unsigned long window);
    QString processKey(unsigned long window);
    const WindowFacts* factsFor(unsigned long window);
    void forget(unsigned long window);
    std::optional<WindowFacts> readFacts(unsigned long window);
    void learnClientList();
    bool identifiesWindow(unsigned long atom);
    RunningApplication application(const WindowFacts& facts);

    X11Connection& m_connection;
    DesktopEntryIndex& m_desktopEntries;
    bool m_activationPending = false;
    QHash<unsigned long, WindowFacts> m_windows;
};
