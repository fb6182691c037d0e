#pragma once

#include <QColor>
#include <QWidget>

class QLabel;
class QPushButton;

// A tinted row with a warning sign and one sentence, above the pages of the
// settings window; the banners that offer an action add their button at its end.
class NoticeBanner : public QWidget {
    Q_OBJECT
public:
    static inline const QColor kYellow{0xff, 0xcc, 0x00};

    explicit NoticeBanner(QWidget* parent = nullptr, const QColor& tint = kYellow);

    QString text() const;
    void setText(const QString& text);

protected:
    void addTrailingButton(QPushButton* button);
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_tint;
    QLabel* m_text;
};
