#pragma once

#include <QObject>
#include <QString>

// The floating panel that shows the new input source after a switch.
class InputSourceIndicatorController : public QObject {
    Q_OBJECT
public:
    static InputSourceIndicatorController& shared();

    void showInputSource(const QString& name, const QString& id);
    void showMessage(const QString& text, const QString& icon);
};
