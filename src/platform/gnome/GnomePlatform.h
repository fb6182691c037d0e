#pragma once

#include "platform/freedesktop/FreedesktopPlatform.h"

#include <QCoreApplication>

#include <memory>

class GnomeApplicationSource;
class GnomeDesktopConflictMonitor;
class GnomeInputSourceProvider;
class GnomeOverlayPresenter;
class GnomePanelMenuPresenter;
class GnomeShellExtension;
class WaylandDesktopCompositing;

// GNOME Shell. The Shell tells no other client which window has the focus and
// ignores switches it did not make, so everything goes through Tolvane's own
// Shell extension (data/gnome-shell-extension/): the focused window, the
// Shell's input sources (XKB layouts and IBus engines in one list) and their
// selection. Without the extension nothing is followed or switched, and the
// settings window says how to turn it on.
class GnomePlatform : public FreedesktopPlatform {
public:
    explicit GnomePlatform(NotificationService* notifications = nullptr);
    ~GnomePlatform() override;

    QString name() const override { return QStringLiteral("gnome"); }
    ApplicationSource* applicationSource() override;
    DesktopCompositing* desktopCompositing() override;
    // No client may watch the keyboard on GNOME's Wayland session.
    GlobalKeyMonitor* globalKeyMonitor() override { return nullptr; }
    // GNOME runs commands for keys the user adds in its settings.
    QString pauseKeyBinding() const override { return QStringLiteral("tolvane --toggle-pause"); }
    const char* pauseKeyBindingHint() const override { return kPauseKeyBindingHint; }
    static constexpr const char* kPauseKeyBindingHint = QT_TRANSLATE_NOOP(
        "Tolvane",
        "On GNOME no application may watch the keyboard. Pause and resume from Tolvane's menu in the top "
        "bar, or add a shortcut that runs this command in GNOME Settings › Keyboard › View and Customize "
        "Shortcuts › Custom Shortcuts:");
    DesktopConflictMonitor* desktopConflictMonitor() override;
    OverlayPresenter* overlayPresenter() override;
    PanelMenuPresenter* panelMenuPresenter() override;

    GnomeShellExtension& extension() { return *m_extension; }

protected:
    InputSourceProvider* layoutProvider() override;
    bool desktopDrivesInputMethods() const override { return true; }

private:
    std::unique_ptr<GnomeShellExtension> m_extension;
    std::unique_ptr<GnomeInputSourceProvider> m_inputSources;
    std::unique_ptr<GnomeApplicationSource> m_applications;
    std::unique_ptr<WaylandDesktopCompositing> m_compositing;
    std::unique_ptr<GnomeDesktopConflictMonitor> m_conflicts;
    std::unique_ptr<GnomeOverlayPresenter> m_overlay;
    std::unique_ptr<GnomePanelMenuPresenter> m_panelMenu;
};
