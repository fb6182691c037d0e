#pragma once

#include "platform/RunningApplication.h"

class DesktopEntryIndex;

// Names a Wayland compositor's window as an application. A Wayland client
// says who it is with its app_id; an Xwayland client with its X class (and
// instance). The app_id plays the bundle identifier when a desktop entry has it
// as its id; otherwise the entry it matches as a window class does, and without
// an entry the app_id or class itself. The other names go along as
// alternative identifiers, so a rule made under any of them matches.
class WaylandApplicationIdentity {
public:
    struct Window {
        QString appId; // empty for X clients
        QString className; // X clients: WM_CLASS class
        QString instanceName; // X clients: WM_CLASS instance
        qint64 pid = 0;
        QString fallbackKey; // identifies the process when the pid is unknown
    };

    // nullopt for a window that names itself in no way.
    static std::optional<RunningApplication> application(const Window& window, DesktopEntryIndex& desktopEntries);
};
