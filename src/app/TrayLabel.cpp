#include "TrayLabel.h"

#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>

namespace {
QFont flagFont()
{
    QFont font(QStringLiteral("Noto Color Emoji"));
    // Points to pixels at the 96 dpi the label's logical pixels stand for.
    font.setPixelSize(qRound(TrayLabel::kFlagPointSize * 96.0 / 72.0));
    return font;
}
} // namespace

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

QImage TrayLabel::image(bool paused, const std::optional<QString>& flag, const QColor& color, qreal devicePixelRatio)
{
    const QFont font = flagFont();
    qreal width = kHeight;
    qreal flagWidth = 0;
    if (flag) {
        flagWidth = QFontMetricsF(font).horizontalAdvance(*flag);
        width += kSpacing + flagWidth;
    }

    QImage image(QSize(qCeil(width * devicePixelRatio), qCeil(kHeight * devicePixelRatio)),
                 QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(Qt::transparent);

    // The panel behind a tray icon may be dark or light whatever the palette
    // says, so the symbol gets a thin halo of the opposite lightness.
    const QColor haloColor = color.lightness() < 128 ? QColor(255, 255, 255, 150) : QColor(0, 0, 0, 150);
    auto symbol = [&](const QColor& symbolColor) {
        QImage layer(image.size(), QImage::Format_ARGB32_Premultiplied);
        layer.setDevicePixelRatio(devicePixelRatio);
        layer.fill(Qt::transparent);
        QPainter layerPainter(&layer);
        drawKeyboard(layerPainter, QRectF(0, 0, kHeight, kHeight), symbolColor, paused);
        return layer;
    };
    const QImage halo = symbol(haloColor);

    QPainter painter(&image);
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy)
            if (dx != 0 || dy != 0)
                painter.drawImage(QPointF(dx * 0.75, dy * 0.75), halo);
    painter.drawImage(QPointF(0, 0), symbol(color));
    if (flag) {
        painter.setFont(font);
        painter.setPen(color);
        painter.drawText(QRectF(kHeight + kSpacing, 0, flagWidth + 1, kHeight), Qt::AlignVCenter | Qt::AlignLeft,
                         *flag);
    }
    painter.end();
    return image;
}

QIcon TrayLabel::icon(bool paused, const std::optional<QString>& flag)
{
    const QColor color = QGuiApplication::palette().color(QPalette::WindowText);
    QIcon icon;
    for (qreal ratio : {1.0, 2.0})
        icon.addPixmap(QPixmap::fromImage(image(paused, flag, color, ratio)));
    return icon;
}
