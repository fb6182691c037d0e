#pragma once

// Whether the desktop composites windows, so that translucent windows blend
// with what lies behind them instead of showing black.
class DesktopCompositing {
public:
    virtual ~DesktopCompositing() = default;
    virtual bool isActive() = 0;
};
