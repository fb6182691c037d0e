#pragma once

#include "platform/freedesktop/FreedesktopPlatform.h"

#include <QCoreApplication>
#include <QDBusConnection>

#include <memory>

class KdeKeyboardLayoutProvider;
class KWinApplicationSource;
class KxkbSwitchModeMonitor;
class WaylandLayerShellOverlay;

// KDE Plasma on Wayland: the application in front from a KWin script, the
// layouts from KWin's org.kde.keyboard service, and KDE's own switching policy
// watched for a setting that undoes Tolvane's switches. No client may watch
// the keyboard on Wayland, so there is no global key monitor.
class KdePlatform : public FreedesktopPlatform {
public:
    // Null when KWin does not answer on the bus.
    static std::unique_ptr<KdePlatform> create(QDBusConnection bus = QDBusConnection::sessionBus(),
                                               NotificationService* notifications = nullptr);
    ~KdePlatform() override;

    // Where the KWin script is written: Tolvane's runtime folder.
    static QString scriptPath();

    QString name() const override { return QStringLiteral("kde"); }
    ApplicationSource* applicationSource() override;
    DesktopCompositing* desktopCompositing() override;
    GlobalKeyMonitor* globalKeyMonitor() override { return nullptr; }
    // KWin binds the pause key: the activation script gives it the shortcut.
    const char* pauseKeyBindingHint() const override { return kPauseKeyBindingHint; }
    static constexpr const char* kPauseKeyBindingHint = QT_TRANSLATE_NOOP(
        "Tolvane",
        "On Wayland no application may watch the keyboard, so KWin pauses and resumes switching for "
        "Tolvane: Ctrl+Alt+P unless you change it in System Settings › Shortcuts › KWin (“Tolvane: Pause or "
        "Resume Switching”). The tray menu does the same.");
    DesktopConflictMonitor* desktopConflictMonitor() override;
    // KWin offers the layer shell, as sway does.
    OverlayPresenter* overlayPresenter() override;

protected:
    InputSourceProvider* layoutProvider() override;

private:
    KdePlatform(QDBusConnection bus, NotificationService* notifications);

    QDBusConnection m_bus;
    std::unique_ptr<KdeKeyboardLayoutProvider> m_layouts;
    std::unique_ptr<KWinApplicationSource> m_applications;
    std::unique_ptr<KxkbSwitchModeMonitor> m_switchMode;
    std::unique_ptr<DesktopCompositing> m_compositing;
    std::unique_ptr<WaylandLayerShellOverlay> m_overlay;
    bool m_overlayTried = false;
};
