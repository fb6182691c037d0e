#pragma once

#include <QWidget>

class QLabel;

// A yellow row with a warning sign and one sentence, above the pages of the
// settings window.
class NoticeBanner : public QWidget {
    Q_OBJECT
public:
    explicit NoticeBanner(QWidget* parent = nullptr);

    QString text() const;
    void setText(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QLabel* m_text;
};
