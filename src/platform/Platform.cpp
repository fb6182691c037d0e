#include "Platform.h"

#include "NullPlatform.h"
#include "x11/X11Platform.h"

#include "app/Logger.h"

namespace {

std::unique_ptr<Platform>& current()
{
    static std::unique_ptr<Platform> platform;
    return platform;
}

std::unique_ptr<Platform> createDefaultPlatform()
{
    if (auto x11 = X11Platform::create())
        return x11;
    Logger::shared().error(QStringLiteral("No X display could be opened; input sources cannot be switched"));
    return std::make_unique<NullPlatform>();
}

} // namespace

Platform& Platform::instance()
{
    if (!current())
        current() = createDefaultPlatform();
    return *current();
}

void Platform::setInstance(std::unique_ptr<Platform> platform)
{
    current() = std::move(platform);
}
