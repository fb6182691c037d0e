#pragma once

#include <QRect>
#include <QString>

#include <optional>

class DesktopEntryIndex;
struct RunningApplication;

// What KWin's scripting tells about one window.
//
// For a Wayland window `desktopFileName` is the application id; for an X11
// window it is usually empty and `resourceClass` is the WM_CLASS class in
// lower case.
struct KWinWindow {
    QString internalId;
    QString resourceClass;
    QString resourceName;
    QString desktopFileName;
    qint64 pid = 0;
    QRect frame;
    bool isOrdinary = true; // a normal window or a dialog, shown in the task bar

    // The application the window belongs to, with the desktop entry's id as its
    // id when one is installed for it.
    RunningApplication application(DesktopEntryIndex& desktopEntries) const;

    friend bool operator==(const KWinWindow&, const KWinWindow&) = default;
};
