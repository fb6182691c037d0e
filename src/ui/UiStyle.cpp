#include "UiStyle.h"

#include <QGroupBox>
#include <QLabel>
#include <QStringList>
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

void setSectionTitle(QGroupBox* section, const QString& title)
{
    section->setTitle(QString(title).replace(QLatin1Char('&'), QLatin1String("&&")));
}

void reserveWidth(QLabel* label, const QStringList& samples)
{
    int widest = 0;
    for (const QString& sample : samples)
        widest = qMax(widest, label->fontMetrics().horizontalAdvance(sample));
    label->setMinimumWidth(widest + label->contentsMargins().left() + label->contentsMargins().right());
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

void name(QWidget* widget, const QString& accessibleName)
{
    widget->setAccessibleName(accessibleName);
}

} // namespace UiStyle
