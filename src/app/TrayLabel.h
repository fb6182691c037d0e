#pragma once

#include <QColor>
#include <QIcon>
#include <QImage>
#include <QString>

#include <array>
#include <optional>

// Draws the tray item's icon. Trays give each item a square slot, so the icon
// is square and shows one thing: the flag of the current input source when one
// is given, else the keyboard symbol; while switching is paused, the keyboard
// symbol with an exclamation badge (the only sign of the pause in the tray).
class TrayLabel {
public:
    // The pixel sizes the icon is drawn at; trays ask for one of these or scale
    // the nearest (XEmbed trays from 16 to 48, StatusNotifier hosts pick from the list).
    static constexpr std::array<int, 7> kSizes{16, 20, 22, 24, 32, 48, 64};

    // The icon at `size` × `size` pixels. `flag` is a flag emoji, or none for
    // the keyboard symbol.
    static QImage image(bool paused, const std::optional<QString>& flag, const QColor& color, int size);
    // Every size of kSizes, the symbols in the palette's text colour.
    static QIcon icon(bool paused, const std::optional<QString>& flag);

private:
    // The flag as the colour emoji font draws it, cut to its own outline; drawn
    // once per flag and kept.
    static QImage flagArtwork(const QString& flag);
    static QImage keyboardSymbol(bool paused, const QColor& color, int size);
    static void drawKeyboard(class QPainter& painter, const QRectF& area, const QColor& color, bool paused);
};
