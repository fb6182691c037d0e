#include "HyprlandPlatform.h"

#include "platform/PlatformRegistry.h"

void registerHyprlandBackend(PlatformRegistry& registry)
{
    registry.add({QStringLiteral("hyprland"), PlatformBackend::Session::Wayland,
                  [](const DesktopSession& session) { return !session.hyprlandSignature.isEmpty(); },
                  [] { return std::unique_ptr<Platform>(HyprlandPlatform::create()); }});
}
