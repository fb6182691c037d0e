#pragma once

#include "platform/ApplicationSource.h"

#include <QVariantMap>

class DesktopEntryIndex;
class GnomeShellExtension;

// The focused window as GNOME Shell reports it through Tolvane's extension.
//
// The application id plays the bundle identifier: the Shell's desktop-entry id
// for the window when it has one, else the entry the window's GTK application
// id, sandboxed app id or WM_CLASS names, else the first of those the window
// has. Every other name goes along as an alternative identifier, so a rule made
// under any of them matches. A focus change to no window, or to one without
// any name, reports nothing.
class GnomeApplicationSource : public ApplicationSource {
    Q_OBJECT
public:
    GnomeApplicationSource(GnomeShellExtension& extension, DesktopEntryIndex& desktopEntries,
                           QObject* parent = nullptr);

    std::optional<RunningApplication> frontmostApplication() override;
    QList<RunningApplication> runningApplications() override;
    std::optional<QRect> activeWindowFrame() override { return m_activeFrame; }

    // The application a window's ids (as the extension sends them) stand for.
    std::optional<RunningApplication> application(const QVariantMap& window);

private:
    void focusChanged(const QVariantMap& window);
    static std::optional<QRect> frame(const QVariantMap& window);

    GnomeShellExtension& m_extension;
    DesktopEntryIndex& m_desktopEntries;
    std::optional<QRect> m_activeFrame;
};
