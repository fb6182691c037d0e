#pragma once

#include <QColor>
#include <QIcon>
#include <QImage>
#include <QString>

#include <optional>

// Draws the tray item's label into one image: the keyboard symbol (with an
// exclamation badge while switching is paused) and, when given, the flag of the
// current input source beside it at 11 points in the colour emoji font, 4 points
// apart. A tray shows one image, so this stands for the row of symbol and text.
class TrayLabel {
public:
    // Logical height of the label in device-independent pixels.
    static constexpr int kHeight = 22;
    static constexpr int kSpacing = 4;
    static constexpr qreal kFlagPointSize = 11.0;

    static QImage image(bool paused, const std::optional<QString>& flag, const QColor& color,
                        qreal devicePixelRatio = 2.0);
    // Both pixel densities, in the palette's text colour.
    static QIcon icon(bool paused, const std::optional<QString>& flag);

private:
    static void drawKeyboard(class QPainter& painter, const QRectF& area, const QColor& color, bool paused);
};
