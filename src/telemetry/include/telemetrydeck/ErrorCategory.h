#pragma once

#include <QString>

namespace telemetrydeck {

enum class ErrorCategory { thrownException, userInput, appState };

// "thrown-exception", "user-input", "app-state".
inline QString errorCategoryRawValue(ErrorCategory category)
{
    switch (category) {
    case ErrorCategory::thrownException:
        return QStringLiteral("thrown-exception");
    case ErrorCategory::userInput:
        return QStringLiteral("user-input");
    case ErrorCategory::appState:
        return QStringLiteral("app-state");
    }
    return {};
}

} // namespace telemetrydeck
