#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>

class QGroupBox;
class QLabel;
#include <QStringList>
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
// A section's title as written: a group box would read "&" as a mnemonic.
void setSectionTitle(QGroupBox* section, const QString& title);
// Keeps a label as wide as the widest of `samples`, so that the controls
// beside it stay put as its number changes.
void reserveWidth(QLabel* label, const QStringList& samples);
// Sets both the accessible name and, for widgets without text of their own,
// the tooltip.
void name(QWidget* widget, const QString& accessibleName);

} // namespace UiStyle
