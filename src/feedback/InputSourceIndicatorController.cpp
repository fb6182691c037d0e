#include "InputSourceIndicatorController.h"

InputSourceIndicatorController& InputSourceIndicatorController::shared()
{
    static auto* instance = new InputSourceIndicatorController;
    return *instance;
}

void InputSourceIndicatorController::showInputSource(const QString& name, const QString& id)
{
    Q_UNUSED(name)
    Q_UNUSED(id)
}

void InputSourceIndicatorController::showMessage(const QString& text, const QString& icon)
{
    Q_UNUSED(text)
    Q_UNUSED(icon)
}
