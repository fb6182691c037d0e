#pragma once

#include "Platform.h"

// A desktop Tolvane cannot talk to: no input sources, no applications, no
// services.
class NullPlatform : public Platform {
public:
    QString name() const override { return QStringLiteral("none"); }
    bool switchingAvailable() const override { return false; }
    InputSourceProvider* inputSourceProvider() override { return nullptr; }
    ApplicationSource* applicationSource() override { return nullptr; }
    NotificationService* notificationService() override { return nullptr; }
    SoundPlayer* soundPlayer() override { return nullptr; }
    DesktopCompositing* desktopCompositing() override { return nullptr; }
    GlobalKeyMonitor* globalKeyMonitor() override { return nullptr; }
    LoginItemService* loginItemService() override { return nullptr; }
};
