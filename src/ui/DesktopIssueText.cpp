#include "DesktopIssueText.h"

#include "base/Tolvane.h"

QString DesktopIssueText::message(const DesktopIssue& issue)
{
    switch (issue.kind) {
    case DesktopIssue::Kind::shellExtensionNotInstalled:
        return Tolvane::tr("Tolvane's GNOME Shell extension is not installed, so Tolvane can neither see which "
                           "application is in front nor switch input sources. Install Tolvane again, log out and "
                           "back in, then run: gnome-extensions enable %1")
            .arg(issue.detail);
    case DesktopIssue::Kind::shellExtensionNotLoaded:
        return Tolvane::tr("GNOME Shell has not loaded Tolvane's extension yet, so nothing is switched. On Wayland, "
                           "GNOME Shell loads a newly installed extension only after you log out and back in. Then "
                           "run: gnome-extensions enable %1")
            .arg(issue.detail);
    case DesktopIssue::Kind::shellExtensionDisabled:
        return Tolvane::tr("Tolvane's GNOME Shell extension is turned off, so nothing is switched. Turn it on with: "
                           "gnome-extensions enable %1")
            .arg(issue.detail);
    case DesktopIssue::Kind::shellExtensionFailed:
        return Tolvane::tr("Tolvane's GNOME Shell extension could not start, so nothing is switched: %1")
            .arg(issue.detail);
    case DesktopIssue::Kind::perWindowInputSources:
        return Tolvane::tr("GNOME keeps a separate input source for each window, which undoes Tolvane's switches. "
                           "Turn off “Switch input sources individually for each window” in Settings › Keyboard, "
                           "or run: gsettings set org.gnome.desktop.input-sources per-window false");
    }
    return {};
}
