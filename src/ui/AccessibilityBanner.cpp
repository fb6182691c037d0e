#include "AccessibilityBanner.h"

#include "base/Tolvane.h"

#include <QEvent>
#include <QPushButton>

AccessibilityBanner::AccessibilityBanner(QWidget* parent)
    : NoticeBanner(parent)
{
    m_grant = new QPushButton(this);
    m_grant->setDefault(true);
    connect(m_grant, &QPushButton::clicked, this, &AccessibilityBanner::grantAccessRequested);
    addTrailingButton(m_grant);
    retranslate();
}

void AccessibilityBanner::setCanGrant(bool canGrant)
{
    m_canGrant = canGrant;
    m_grant->setVisible(canGrant);
    retranslate();
}

void AccessibilityBanner::retranslate()
{
    setText(m_canGrant ? Tolvane::tr("Accessibility Permission Required")
                       : Tolvane::tr("The pause hotkey cannot work on this display: the X server does not "
                                     "offer the RECORD extension."));
    m_grant->setText(Tolvane::tr("Grant Access"));
}

void AccessibilityBanner::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    NoticeBanner::changeEvent(event);
}
