#pragma once

#include <QProcessEnvironment>
#include <QString>

// What the environment says about the desktop session Tolvane runs in: the
// facts a platform backend is chosen by.
struct DesktopSession {
    QString sessionType; // XDG_SESSION_TYPE: "x11", "wayland", "tty", …
    QString waylandDisplay; // WAYLAND_DISPLAY
    QString xDisplay; // DISPLAY
    QString swaySocket; // SWAYSOCK
    QString hyprlandSignature; // HYPRLAND_INSTANCE_SIGNATURE
    QString currentDesktop; // XDG_CURRENT_DESKTOP, e.g. "KDE" or "ubuntu:GNOME"
    QString requestedBackend; // TOLVANE_PLATFORM, a backend's name

    static DesktopSession
    fromEnvironment(const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());

    // A Wayland session: XDG_SESSION_TYPE says so, or it says neither x11 nor
    // wayland (a compositor started from a console) and WAYLAND_DISPLAY is set.
    bool isWayland() const;
    // Whether XDG_CURRENT_DESKTOP lists `desktop` (case-insensitive).
    bool runsDesktop(const QString& desktop) const;
    // The variables above that are set, as "NAME=value" joined by ", ".
    QString describe() const;
};
