#pragma once

#include <QPixmap>
#include <QStyledItemDelegate>

// Draws one rule of the list: the application's icon (or the gray "app.fill"
// placeholder), its name above its identifier, an arrow, and the target input
// source's name on a capsule. Read only; nothing is built per row, so a long
// list costs only what is on screen.
class RuleRow : public QStyledItemDelegate {
    Q_OBJECT
public:
    static constexpr int iconSize = 32;

    explicit RuleRow(QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // Where the row's parts go inside `rect` for a target name of `targetWidth` pixels.
    struct Layout {
        QRect icon;
        QRect names;
        QRect arrow;
        QRect capsule;
    };
    static Layout layout(const QRect& rect, int targetWidth, const QFont& font);

private:
    const QPixmap& symbol(const QString& name, const QColor& color, int size, qreal ratio) const;

    mutable QHash<QString, QPixmap> m_symbols;
};
