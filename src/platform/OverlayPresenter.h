#pragma once

#include <QImage>

// Shows an image above every window at a fixed place of the screen the user
// works on, never taking the keyboard focus or the pointer, on desktops where
// an application cannot place its own windows (Wayland).
class OverlayPresenter {
public:
    enum class Placement { Top, Center, Bottom };

    virtual ~OverlayPresenter() = default;

    // Replaces what is shown. `margin` is the distance from the screen's
    // edge for Top and Bottom. False when the compositor would not show it.
    virtual bool show(const QImage& image, Placement placement, int margin) = 0;
    // Shows the same image again with this opacity (0 to 1), for fading.
    virtual void setOpacity(qreal opacity) = 0;
    virtual void hide() = 0;
    virtual bool isShown() const = 0;
};
