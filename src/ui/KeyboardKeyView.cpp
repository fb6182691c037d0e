#include "KeyboardKeyView.h"

#include <QPainter>
#include <QPainterPath>

KeyboardKeyView::KeyboardKeyView(const QString& symbol, QWidget* parent)
    : QLabel(symbol, parent)
{
    QFont keyFont = font();
    keyFont.setPointSizeF(9); // 12 px at 96 dpi
    keyFont.setWeight(QFont::Medium);
    setFont(keyFont);
    setAlignment(Qt::AlignCenter);
    setContentsMargins(6, 4, 6, 4);
    setAccessibleName(symbol);
}

void KeyboardKeyView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor secondary = palette().color(QPalette::PlaceholderText);
    QPainterPath cap;
    cap.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
    QColor fill = secondary;
    fill.setAlphaF(0.2);
    painter.fillPath(cap, fill);
    QColor outline = secondary;
    outline.setAlphaF(0.3);
    painter.setPen(QPen(outline, 1));
    painter.drawPath(cap);
    painter.end();
    QLabel::paintEvent(event);
}
