#pragma once

#include "FreedesktopPlatform.h"

// A Linux session no backend of this build drives: notifications, autostart
// and sound work, but no application is followed and no layout switched.
class SessionWithoutBackend : public FreedesktopPlatform {
public:
    QString name() const override { return QStringLiteral("none"); }
    bool switchingAvailable() const override { return false; }
    ApplicationSource* applicationSource() override { return nullptr; }
    DesktopCompositing* desktopCompositing() override { return nullptr; }
    GlobalKeyMonitor* globalKeyMonitor() override { return nullptr; }

protected:
    InputSourceProvider* layoutProvider() override { return nullptr; }
};
