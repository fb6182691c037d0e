#include "GnomePlatform.h"

#include "platform/PlatformRegistry.h"

void registerGnomeBackend(PlatformRegistry& registry)
{
    registry.add({QStringLiteral("gnome"), PlatformBackend::Session::Wayland,
                  [](const DesktopSession& session) { return session.runsDesktop(QStringLiteral("GNOME")); },
                  [] { return std::unique_ptr<Platform>(std::make_unique<GnomePlatform>()); }});
}
