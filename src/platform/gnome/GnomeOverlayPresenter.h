#pragma once

#include "platform/OverlayPresenter.h"

class GnomeShellExtension;

// The floating indicator on GNOME, which offers applications no way to place
// a window above the others: Tolvane's Shell extension shows the image as an
// actor of the Shell's own UI group, on the focused window's monitor.
class GnomeOverlayPresenter : public OverlayPresenter {
public:
    explicit GnomeOverlayPresenter(GnomeShellExtension& extension);

    bool show(const QImage& image, Placement placement, int margin) override;
    void setOpacity(qreal opacity) override;
    void hide() override;
    bool isShown() const override { return m_shown; }

private:
    GnomeShellExtension& m_extension;
    bool m_shown = false;
};
