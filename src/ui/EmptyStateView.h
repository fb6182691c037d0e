#pragma once

#include <QWidget>

#include <functional>

class QLabel;
class QPushButton;

// Stands in for the rule list while there are no rules; its button runs `onAdd`.
class EmptyStateView : public QWidget {
    Q_OBJECT
public:
    explicit EmptyStateView(std::function<void()> onAdd, QWidget* parent = nullptr);

    QPushButton* createButton() const { return m_create; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();

    std::function<void()> m_onAdd;
    QLabel* m_title;
    QLabel* m_message;
    QPushButton* m_create;
};
