#pragma once

#include "platform/DesktopCompositing.h"

// KWin on Wayland always composites.
class KWinCompositing : public DesktopCompositing {
public:
    bool isActive() override { return true; }
};
