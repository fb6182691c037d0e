#include "X11Platform.h"

#include "platform/PlatformRegistry.h"

void registerX11Backend(PlatformRegistry& registry)
{
    registry.add({QStringLiteral("x11"), PlatformBackend::Session::X11,
                  [](const DesktopSession& session) { return !session.xDisplay.isEmpty(); },
                  [] { return std::unique_ptr<Platform>(X11Platform::create()); }});
}
