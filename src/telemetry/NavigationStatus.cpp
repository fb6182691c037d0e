#include "NavigationStatus.h"

#include <mutex>

namespace telemetrydeck {

namespace {
std::mutex pathMutex;
std::optional<QString> previousPath;
} // namespace

std::optional<QString> NavigationStatus::previousNavigationPath()
{
    std::lock_guard lock(pathMutex);
    return previousPath;
}

void NavigationStatus::setPreviousNavigationPath(const std::optional<QString>& path)
{
    std::lock_guard lock(pathMutex);
    previousPath = path;
}

} // namespace telemetrydeck
