#include "TrayLabel.h"

#include <QFont>
#include <QGuiApplication>
#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>

void TrayLabel::drawKeyboard(QPainter& painter, const QRectF& area, const QColor& color, bool paused)
{
    // A keyboard seen from above: a rounded outline, two rows of keys and a
    // space bar, as wide as the square it sits in and two thirds as high.
    const qreal width = area.width() - 2.0;
    const qreal height = width * 0.62;
    const QRectF body(area.left() + 1.0, area.center().y() - height / 2.0, width, height);

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QPen pen(color, 1.5);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(body.adjusted(0.75, 0.75, -0.75, -0.75), 2.5, 2.5);

    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    const qreal key = width / 9.0;
    const qreal left = body.left() + key * 1.25;
    for (int row = 0; row < 2; ++row) {
        const qreal y = body.top() + key * (1.2 + row * 1.6);
        for (int column = 0; column < 5; ++column)
            painter.drawRect(QRectF(left + column * key * 1.4, y, key, key));
    }
    painter.drawRect(QRectF(left + key * 1.4, body.bottom() - key * 2.0, key * 4.2, key * 0.9));

    if (paused) {
        // The badge: a filled circle at the top right with an exclamation mark cut out.
        const qreal radius = area.width() * 0.26;
        const QPointF centre(area.right() - radius, area.top() + radius + 0.5);
        painter.setCompositionMode(QPainter::CompositionMode_Clear);
        painter.drawEllipse(centre, radius + 1.5, radius + 1.5);
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        painter.setBrush(color);
        painter.drawEllipse(centre, radius, radius);
        painter.setCompositionMode(QPainter::CompositionMode_Clear);
        const qreal stroke = radius * 0.34;
        painter.drawRoundedRect(QRectF(centre.x() - stroke / 2, centre.y() - radius * 0.62, stroke, radius * 0.8),
                                stroke / 2, stroke / 2);
        painter.drawEllipse(QPointF(centre.x(), centre.y() + radius * 0.52), stroke * 0.6, stroke * 0.6);
    }
    painter.restore();
}

QImage TrayLabel::flagArtwork(const QString& flag)
{
    static QHash<QString, QImage> drawn;
    if (const auto found = drawn.constFind(flag); found != drawn.constEnd())
        return *found;

    // The emoji font's flags are bitmaps of about 136 × 128 pixels: drawn at
    // that size, then cut to the pixels they cover.
    QFont font(QStringLiteral("Noto Color Emoji"));
    font.setPixelSize(109);
    QImage canvas(QSize(256, 192), QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    painter.setFont(font);
    painter.drawText(canvas.rect(), Qt::AlignCenter, flag);
    painter.end();

    QRect covered;
    for (int y = 0; y < canvas.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(canvas.constScanLine(y));
        for (int x = 0; x < canvas.width(); ++x) {
            if (qAlpha(line[x]) > 16)
                covered |= QRect(x, y, 1, 1);
        }
    }
    const QImage artwork = covered.isEmpty() ? QImage() : canvas.copy(covered);
    drawn.insert(flag, artwork);
    return artwork;
}

QImage TrayLabel::keyboardSymbol(bool paused, const QColor& color, int size)
{
    QImage image(QSize(size, size), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    // The panel behind a tray icon may be dark or light whatever the palette
    // says, so the symbol gets a thin halo of the opposite lightness.
    const QColor haloColor = color.lightness() < 128 ? QColor(255, 255, 255, 150) : QColor(0, 0, 0, 150);
    const QRectF area(1, 1, size - 2, size - 2);
    QImage halo(image.size(), QImage::Format_ARGB32_Premultiplied);
    halo.fill(Qt::transparent);
    {
        QPainter haloPainter(&halo);
        drawKeyboard(haloPainter, area, haloColor, paused);
    }
    QPainter painter(&image);
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy)
            if (dx != 0 || dy != 0)
                painter.drawImage(QPointF(dx * 0.75, dy * 0.75), halo);
    drawKeyboard(painter, area, color, paused);
    painter.end();
    return image;
}

QImage TrayLabel::image(bool paused, const std::optional<QString>& flag, const QColor& color, int size)
{
    const QImage artwork = !paused && flag ? flagArtwork(*flag) : QImage();
    if (artwork.isNull())
        return keyboardSymbol(paused, color, size);

    // The flag fills the square's width (flags are wider than high), centred.
    QImage image(QSize(size, size), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    const QImage scaled = artwork.scaled(QSize(size, size), Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QPainter painter(&image);
    painter.drawImage(QPoint((size - scaled.width()) / 2, (size - scaled.height()) / 2), scaled);
    painter.end();
    return image;
}

QIcon TrayLabel::icon(bool paused, const std::optional<QString>& flag)
{
    // Drawn once per look: scaling the flag to every size takes a few
    // milliseconds, on the main loop that also carries the next switch.
    static QHash<QString, QIcon> drawn;
    const QColor color = QGuiApplication::palette().color(QPalette::WindowText);
    const QString key = QString::number(color.rgba(), 16) + (paused ? u'p' : u'-') + flag.value_or(QString());
    if (const auto found = drawn.constFind(key); found != drawn.constEnd())
        return *found;
    QIcon icon;
    for (int size : kSizes)
        icon.addPixmap(QPixmap::fromImage(image(paused, flag, color, size)));
    // The looks in use are few (a flag per enabled source, the keyboard, paused);
    // a palette change starts afresh.
    if (drawn.size() >= 64)
        drawn.clear();
    drawn.insert(key, icon);
    return icon;
}
