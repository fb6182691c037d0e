#pragma once

#include "platform/Platform.h"

#include <QDBusConnection>

#include <memory>

class KdeKeyboardLayoutProvider;
class KWinApplicationSource;
class KxkbSwitchModeMonitor;
class XdgAutostartLoginItem;

// KDE Plasma on Wayland: the application in front from a KWin script, the
// layouts from KWin's org.kde.keyboard service. There is no global key monitor
// on Wayland.
class KdePlatform : public Platform {
public:
    // Null when KWin does not answer on the session bus.
    static std::unique_ptr<KdePlatform> create(QDBusConnection bus = QDBusConnection::sessionBus());
    ~KdePlatform() override;

    // Where the KWin script is written: Tolvane's runtime folder.
    static QString scriptPath();

    QString name() const override { return QStringLiteral("kde"); }
    InputSourceProvider* inputSourceProvider() override;
    ApplicationSource* applicationSource() override;
    NotificationService* notificationService() override;
    SoundPlayer* soundPlayer() override;
    DesktopCompositing* desktopCompositing() override;
    GlobalKeyMonitor* globalKeyMonitor() override { return nullptr; }
    LoginItemService* loginItemService() override;
    DesktopConflictMonitor* desktopConflictMonitor() override;

private:
    explicit KdePlatform(QDBusConnection bus);

    QDBusConnection m_bus;
    std::unique_ptr<KdeKeyboardLayoutProvider> m_layouts;
    std::unique_ptr<InputSourceProvider> m_chosenInputSources;
    std::unique_ptr<KWinApplicationSource> m_applications;
    std::unique_ptr<KxkbSwitchModeMonitor> m_switchMode;
    std::unique_ptr<NotificationService> m_notifications;
    std::unique_ptr<SoundPlayer> m_soundPlayer;
    std::unique_ptr<DesktopCompositing> m_compositing;
    std::unique_ptr<XdgAutostartLoginItem> m_loginItem;
};
