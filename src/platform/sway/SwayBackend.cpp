#include "SwayPlatform.h"

#include "platform/PlatformRegistry.h"

void registerSwayBackend(PlatformRegistry& registry)
{
    registry.add({QStringLiteral("sway"), PlatformBackend::Session::Wayland,
                  [](const DesktopSession& session) { return !session.swaySocket.isEmpty(); },
                  [] { return std::unique_ptr<Platform>(SwayPlatform::create()); }});
}
