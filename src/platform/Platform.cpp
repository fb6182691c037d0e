#include "Platform.h"

#include "PlatformRegistry.h"
#include "freedesktop/SessionWithoutBackend.h"

#include "base/Logger.h"

namespace {

std::unique_ptr<Platform>& current()
{
    static std::unique_ptr<Platform> platform;
    return platform;
}

const PlatformRegistry& backendsOfThisBuild()
{
    static const PlatformRegistry registry = [] {
        PlatformRegistry all;
        registerPlatformBackends(all);
        return all;
    }();
    return registry;
}

std::unique_ptr<Platform> createDefaultPlatform()
{
    const PlatformRegistry::Choice choice = backendsOfThisBuild().choose(DesktopSession::fromEnvironment());
    if (!choice.backend) {
        const QString consequence = choice.unsupportedDesktop
            ? QStringLiteral("switching is not available on this desktop yet")
            : QStringLiteral("input sources cannot be switched");
        Logger::shared().error(QStringLiteral("No platform backend: %1; %2").arg(choice.reason, consequence));
        return std::make_unique<SessionWithoutBackend>();
    }
    if (auto platform = choice.backend->create()) {
        Logger::shared().info(
            QStringLiteral("Platform backend: %1, for the %2").arg(choice.backend->name, choice.reason));
        return platform;
    }
    Logger::shared().error(QStringLiteral("Platform backend %1 was chosen (%2) but could not start; "
                                          "input sources cannot be switched")
                               .arg(choice.backend->name, choice.reason));
    return std::make_unique<SessionWithoutBackend>();
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
