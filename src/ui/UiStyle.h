#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>

class QLabel;
class QWidget;

// The few text styles of the settings window, derived from the widget's font
// and palette so they follow the desktop's theme.
namespace UiStyle {

QColor secondaryColor(const QPalette& palette);
// Red for destructive actions, lighter on dark backgrounds.
QColor destructiveColor(const QPalette& palette);
QFont captionFont(const QFont& base);
QFont headlineFont(const QFont& base);
QFont titleFont(const QFont& base, qreal scale);
// Caption font, secondary colour, wrapping.
void makeDescription(QLabel* label);
void makeSecondary(QWidget* widget);
// Sets both the accessible name and, for widgets without text of their own,
// the tooltip.
void name(QWidget* widget, const QString& accessibleName);

} // namespace UiStyle
