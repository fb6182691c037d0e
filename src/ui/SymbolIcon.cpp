#include "SymbolIcon.h"

#include <QHash>
#include <QPainter>
#include <QSvgRenderer>

namespace SymbolIcon {

QString themeName(const QString& symbol)
{
    static const QHash<QString, QString> names{
        {QStringLiteral("plus"), QStringLiteral("list-add")},
        {QStringLiteral("minus"), QStringLiteral("list-remove")},
        {QStringLiteral("gear"), QStringLiteral("preferences-system")},
        {QStringLiteral("info.circle"), QStringLiteral("help-about")},
        {QStringLiteral("exclamationmark.triangle.fill"), QStringLiteral("dialog-warning")},
        {QStringLiteral("arrow.clockwise"), QStringLiteral("view-refresh")},
        {QStringLiteral("square.and.arrow.up"), QStringLiteral("document-save-as")},
        {QStringLiteral("square.and.arrow.down"), QStringLiteral("document-open")},
        {QStringLiteral("play.circle"), QStringLiteral("media-playback-start")},
        {QStringLiteral("envelope"), QStringLiteral("mail-message-new")},
        {QStringLiteral("globe"), QStringLiteral("web-browser")},
        {QStringLiteral("keyboard"), QStringLiteral("input-keyboard")},
    };
    return names.value(symbol);
}

QPixmap pixmap(const QString& symbol, const QColor& color, int size, qreal devicePixelRatio)
{
    const int side = qMax(1, qRound(size * devicePixelRatio));
    QPixmap image(side, side);
    image.fill(Qt::transparent);
    QSvgRenderer renderer(QStringLiteral(":/ui/%1.svg").arg(symbol));
    if (renderer.isValid()) {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter, QRectF(0, 0, side, side));
        if (color.isValid()) {
            painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
            painter.fillRect(image.rect(), color);
        }
    }
    image.setDevicePixelRatio(devicePixelRatio);
    return image;
}

QIcon tinted(const QString& symbol, const QColor& color)
{
    QIcon icon;
    for (int size : {16, 24, 32, 64})
        icon.addPixmap(pixmap(symbol, color, size));
    return icon;
}

QIcon icon(const QString& symbol)
{
    const QString theme = themeName(symbol);
    if (!theme.isEmpty() && QIcon::hasThemeIcon(theme))
        return QIcon::fromTheme(theme);
    return tinted(symbol, QColor());
}

} // namespace SymbolIcon
