#pragma once

#include <QObject>

class QWidget;

// Keeps the mouse wheel from changing a picker, slider or spin box the user
// has not chosen: such a control takes the focus only by click or Tab, and a
// wheel turned over it while it lacks the focus scrolls the page instead.
class WheelGuard : public QObject {
    Q_OBJECT
public:
    // Guards every such control inside `root` (created so far).
    static void protect(QWidget* root);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using QObject::QObject;
    static WheelGuard& shared();
};
