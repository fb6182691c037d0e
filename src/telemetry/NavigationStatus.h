#pragma once

#include <QString>

#include <optional>

namespace telemetrydeck {

// The destination of the last navigation signal of the process.
class NavigationStatus {
public:
    static std::optional<QString> previousNavigationPath();
    static void setPreviousNavigationPath(const std::optional<QString>& path);
};

} // namespace telemetrydeck
