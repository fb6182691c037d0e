#pragma once

#include "Platform.h"
#include "freedesktop/XdgAutostartLoginItem.h"

// A desktop Tolvane cannot talk to: no input sources, no applications.
class NullPlatform : public Platform {
public:
    QString name() const override { return QStringLiteral("none"); }
    InputSourceProvider* inputSourceProvider() override { return nullptr; }
    ApplicationSource* applicationSource() override { return nullptr; }
    NotificationService* notificationService() override { return nullptr; }
    SoundPlayer* soundPlayer() override { return nullptr; }
    DesktopCompositing* desktopCompositing() override { return nullptr; }
    GlobalKeyMonitor* globalKeyMonitor() override { return nullptr; }
    // Autostart entries need no display.
    LoginItemService* loginItemService() override { return &m_loginItem; }

private:
    XdgAutostartLoginItem m_loginItem;
};
