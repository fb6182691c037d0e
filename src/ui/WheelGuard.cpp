#include "WheelGuard.h"

#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QEvent>
#include <QWidget>

WheelGuard& WheelGuard::shared()
{
    static auto* guard = new WheelGuard;
    return *guard;
}

void WheelGuard::protect(QWidget* root)
{
    const auto guard = [](QWidget* control) {
        control->setFocusPolicy(Qt::StrongFocus);
        control->removeEventFilter(&shared());
        control->installEventFilter(&shared());
    };
    for (auto* control : root->findChildren<QComboBox*>())
        guard(control);
    for (auto* control : root->findChildren<QAbstractSlider*>()) {
        // A scroll bar is how the page scrolls; only value controls are guarded.
        if (control->inherits("QScrollBar"))
            continue;
        guard(control);
    }
    for (auto* control : root->findChildren<QAbstractSpinBox*>())
        guard(control);
}

bool WheelGuard::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::Wheel)
        return false;
    auto* control = static_cast<QWidget*>(watched);
    if (control->hasFocus())
        return false;
    // Ignored and filtered: Qt hands the wheel on to the parents, up to the
    // scroll area that holds the page.
    event->ignore();
    return true;
}
