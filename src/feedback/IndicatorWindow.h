#pragma once

#include <QImage>
#include <QWidget>

class QLabel;

// The floating panel itself: a frameless, click-through, never-focused,
// always-on-top window with an emoji on the left and one line of text on the
// right, on a rounded dark HUD background (translucent where the desktop
// composites, an opaque rounded panel where it does not).
class IndicatorWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int kHeight = 60;
    static constexpr int kInitialWidth = 250;
    static constexpr int kMinimumWidth = 150;
    static constexpr int kMaximumWidth = 300;
    static constexpr int kCornerRadius = 14;
    // The name label's width in a panel of the initial width.
    static constexpr int kNameLabelWidth = 170;

    IndicatorWindow(const QString& name, const QString& icon, bool translucent, QWidget* parent = nullptr);

    // The panel width for a name that measures `textWidth` in the name label's
    // font: min(w + 80, 300), then at least 150.
    static int panelWidth(qreal textWidth);

    QString name() const { return m_name; }
    QString icon() const;
    // The text the name label shows: the name, truncated at the tail only when
    // it is wider than the label in the widest panel.
    QString displayedName() const;
    QRect nameLabelGeometry() const;
    // The name's width in the name label's font, unbounded.
    qreal nameTextWidth() const;
    // The panel as it would appear on screen, without showing it.
    QImage renderedImage();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QString m_name;
    bool m_translucent;
    QLabel* m_iconLabel;
    QLabel* m_nameLabel;
};
