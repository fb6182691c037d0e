#include "GnomeOverlayPresenter.h"

#include "GnomeShellExtension.h"

GnomeOverlayPresenter::GnomeOverlayPresenter(GnomeShellExtension& extension)
    : m_extension(extension)
{
}

bool GnomeOverlayPresenter::show(const QImage& image, Placement placement, int margin)
{
    const QString where = placement == Placement::Center ? QStringLiteral("center")
        : placement == Placement::Bottom                 ? QStringLiteral("bottom")
                                                         : QStringLiteral("top");
    m_shown = m_extension.showOverlay(image, where, margin);
    return m_shown;
}

void GnomeOverlayPresenter::setOpacity(qreal opacity)
{
    if (m_shown)
        m_extension.setOverlayOpacity(opacity);
}

void GnomeOverlayPresenter::hide()
{
    if (m_shown)
        m_extension.hideOverlay();
    m_shown = false;
}
