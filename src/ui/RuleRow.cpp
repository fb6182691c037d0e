#include "RuleRow.h"

#include "RuleListModel.h"
#include "SymbolIcon.h"
#include "UiStyle.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace {

constexpr int kVerticalPadding = 4;
constexpr int kLeadingPadding = 6;
constexpr int kTrailingPadding = 10;
constexpr int kSpacing = 8;
constexpr int kArrowSize = 14;
constexpr int kCapsuleHorizontalPadding = 8;
constexpr int kCapsuleVerticalPadding = 4;

int namesHeight(const QFont& font)
{
    return QFontMetrics(UiStyle::headlineFont(font)).height() + QFontMetrics(UiStyle::captionFont(font)).height();
}

} // namespace

RuleRow::RuleRow(QObject* parent)
    : QStyledItemDelegate(parent)
{
}

RuleRow::Layout RuleRow::layout(const QRect& rect, int targetWidth, const QFont& font)
{
    const QRect inner = rect.adjusted(kLeadingPadding, kVerticalPadding, -kTrailingPadding, -kVerticalPadding);
    const int middle = inner.center().y();
    Layout parts;
    parts.icon = QRect(inner.left(), middle - iconSize / 2, iconSize, iconSize);
    const int capsuleHeight = QFontMetrics(font).height() + 2 * kCapsuleVerticalPadding;
    // A very long name of the target gets at most two fifths of the row.
    const int capsuleWidth = qMin(targetWidth + 2 * kCapsuleHorizontalPadding, inner.width() * 2 / 5);
    parts.capsule = QRect(inner.right() - capsuleWidth + 1, middle - capsuleHeight / 2, capsuleWidth, capsuleHeight);
    parts.arrow = QRect(parts.capsule.left() - kSpacing - kArrowSize, middle - kArrowSize / 2, kArrowSize, kArrowSize);
    const int namesLeft = parts.icon.right() + 1 + kSpacing;
    const int height = namesHeight(font);
    parts.names = QRect(namesLeft, middle - height / 2, qMax(0, parts.arrow.left() - kSpacing - namesLeft), height);
    return parts;
}

QSize RuleRow::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const
{
    const int capsule = QFontMetrics(option.font).height() + 2 * kCapsuleVerticalPadding;
    const int content = std::max({iconSize, namesHeight(option.font), capsule});
    return QSize(option.rect.width() > 0 ? option.rect.width() : 400, content + 2 * kVerticalPadding);
}

const QPixmap& RuleRow::symbol(const QString& name, const QColor& color, int size, qreal ratio) const
{
    const QString key = QStringLiteral("%1/%2/%3/%4").arg(name, color.name(QColor::HexArgb)).arg(size).arg(ratio);
    auto cached = m_symbols.find(key);
    if (cached == m_symbols.end())
        cached = m_symbols.insert(key, SymbolIcon::pixmap(name, color, size, ratio));
    return *cached;
}

void RuleRow::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem background = option;
    background.text.clear();
    background.icon = QIcon();
    background.features &= ~QStyleOptionViewItem::HasDisplay & ~QStyleOptionViewItem::HasDecoration;
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &background, painter, widget);

    const bool selected = option.state & QStyle::State_Selected;
    const QPalette::ColorGroup group = option.state & QStyle::State_Active ? QPalette::Active : QPalette::Inactive;
    const QColor text = option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text);
    const QColor secondary = selected ? text : UiStyle::secondaryColor(option.palette);
    const qreal ratio = widget ? widget->devicePixelRatioF() : 1.0;

    const QString target = index.data(RuleListModel::TargetNameRole).toString();
    const QFontMetrics metrics(option.font);
    const Layout parts = layout(option.rect, metrics.horizontalAdvance(target), option.font);

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setRenderHint(QPainter::SmoothPixmapTransform);

    const QIcon icon = index.data(Qt::DecorationRole).value<QIcon>();
    if (!icon.isNull())
        icon.paint(painter, parts.icon);
    else
        painter->drawPixmap(parts.icon, symbol(QStringLiteral("app.fill"), QColor(Qt::gray), iconSize, ratio));

    const QFont headline = UiStyle::headlineFont(option.font);
    const QFont caption = UiStyle::captionFont(option.font);
    const int headlineHeight = QFontMetrics(headline).height();
    painter->setFont(headline);
    painter->setPen(text);
    painter->drawText(
        QRect(parts.names.left(), parts.names.top(), parts.names.width(), headlineHeight),
        Qt::AlignLeft | Qt::AlignVCenter,
        QFontMetrics(headline).elidedText(index.data(Qt::DisplayRole).toString(), Qt::ElideRight, parts.names.width()));
    painter->setFont(caption);
    painter->setPen(secondary);
    painter->drawText(QRect(parts.names.left(), parts.names.top() + headlineHeight, parts.names.width(),
                            parts.names.height() - headlineHeight),
                      Qt::AlignLeft | Qt::AlignVCenter,
                      QFontMetrics(caption).elidedText(index.data(RuleListModel::BundleIDRole).toString(),
                                                       Qt::ElideRight, parts.names.width()));

    painter->drawPixmap(parts.arrow, symbol(QStringLiteral("arrow.right"), secondary, kArrowSize, ratio));

    QPainterPath capsule;
    capsule.addRoundedRect(parts.capsule, parts.capsule.height() / 2.0, parts.capsule.height() / 2.0);
    painter->fillPath(capsule, QColor(128, 128, 128, 51));
    painter->setFont(option.font);
    painter->setPen(text);
    // Elided only when the capsule had to be narrowed; elidedText would also
    // cut a name that fits to the pixel.
    const int room = parts.capsule.width() - 2 * kCapsuleHorizontalPadding;
    painter->drawText(parts.capsule, Qt::AlignCenter,
                      metrics.horizontalAdvance(target) <= room ? target
                                                                : metrics.elidedText(target, Qt::ElideRight, room));
    painter->restore();
}
