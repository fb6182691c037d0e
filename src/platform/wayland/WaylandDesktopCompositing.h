#pragma once

#include "platform/DesktopCompositing.h"

// A Wayland compositor composites every surface: translucency always blends.
class WaylandDesktopCompositing : public DesktopCompositing {
public:
    bool isActive() override { return true; }
};
