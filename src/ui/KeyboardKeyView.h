#pragma once

#include <QLabel>

// One key of a keyboard shortcut drawn as a small key cap.
class KeyboardKeyView : public QLabel {
    Q_OBJECT
public:
    explicit KeyboardKeyView(const QString& symbol, QWidget* parent = nullptr);

    QString symbol() const { return text(); }

protected:
    void paintEvent(QPaintEvent* event) override;
};
