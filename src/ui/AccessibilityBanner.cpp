#include "AccessibilityBanner.h"

#include "SymbolIcon.h"
#include "base/Tolvane.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

namespace {
const QColor kYellow(0xff, 0xcc, 0x00);
}

AccessibilityBanner::AccessibilityBanner(QWidget* parent)
    : QWidget(parent)
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(16, 10, 16, 10);
    auto* symbol = new QLabel(this);
    symbol->setPixmap(SymbolIcon::pixmap(QStringLiteral("exclamationmark.triangle.fill"), kYellow.darker(110), 18,
                                         devicePixelRatioF()));
    row->addWidget(symbol);
    m_text = new QLabel(this);
    QFont medium = m_text->font();
    medium.setWeight(QFont::Medium);
    m_text->setFont(medium);
    m_text->setWordWrap(true);
    row->addWidget(m_text, 1);
    m_grant = new QPushButton(this);
    m_grant->setDefault(true);
    connect(m_grant, &QPushButton::clicked, this, &AccessibilityBanner::grantAccessRequested);
    row->addWidget(m_grant);
    retranslate();
}

QString AccessibilityBanner::text() const
{
    return m_text->text();
}

void AccessibilityBanner::setCanGrant(bool canGrant)
{
    m_canGrant = canGrant;
    m_grant->setVisible(canGrant);
    retranslate();
}

void AccessibilityBanner::retranslate()
{
    m_text->setText(m_canGrant ? Tolvane::tr("Accessibility Permission Required")
                               : Tolvane::tr("The pause hotkey cannot work on this display: the X server does not "
                                             "offer the RECORD extension."));
    m_grant->setText(Tolvane::tr("Grant Access"));
}

void AccessibilityBanner::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}

void AccessibilityBanner::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QColor fill = kYellow;
    fill.setAlphaF(0.2);
    painter.fillRect(rect(), fill);
    QColor line = kYellow;
    line.setAlphaF(0.4);
    painter.fillRect(QRect(0, height() - 1, width(), 1), line);
}
