#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QString>

// Icons for the settings window, named like the symbols they stand for
// ("gear", "plus", ...). The desktop's icon theme supplies a symbol where it
// has a matching icon; otherwise Tolvane's own SVG from ":/ui/<name>.svg".
namespace SymbolIcon {

// The theme's icon for the symbol, else Tolvane's own one.
QIcon icon(const QString& symbol);
// Tolvane's own drawing of the symbol, filled with `color` (the theme is not
// asked, so the colour is always the one given).
QIcon tinted(const QString& symbol, const QColor& color);
QPixmap pixmap(const QString& symbol, const QColor& color, int size, qreal devicePixelRatio = 1.0);
// The icon theme name that stands for a symbol, or an empty string.
QString themeName(const QString& symbol);

} // namespace SymbolIcon
