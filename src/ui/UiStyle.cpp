#include "UiStyle.h"

#include <QLabel>
#include <QWidget>

namespace UiStyle {

QColor secondaryColor(const QPalette& palette)
{
    QColor color = palette.color(QPalette::WindowText);
    color.setAlphaF(0.62);
    return color;
}

QColor destructiveColor(const QPalette& palette)
{
    const bool dark = palette.color(QPalette::Window).lightness() < 128;
    return dark ? QColor(0xff, 0x6b, 0x61) : QColor(0xc8, 0x22, 0x1a);
}

QFont captionFont(const QFont& base)
{
    QFont font = base;
    font.setPointSizeF(base.pointSizeF() * 0.85);
    return font;
}

QFont headlineFont(const QFont& base)
{
    QFont font = base;
    font.setBold(true);
    return font;
}

QFont titleFont(const QFont& base, qreal scale)
{
    QFont font = base;
    font.setPointSizeF(base.pointSizeF() * scale);
    font.setBold(true);
    return font;
}

void makeSecondary(QWidget* widget)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, secondaryColor(widget->palette()));
    widget->setPalette(palette);
}

void makeDescription(QLabel* label)
{
    label->setFont(captionFont(label->font()));
    label->setWordWrap(true);
    makeSecondary(label);
}

void name(QWidget* widget, const QString& accessibleName)
{
    widget->setAccessibleName(accessibleName);
}

} // namespace UiStyle
