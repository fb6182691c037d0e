#include "KdePlatform.h"

#include "platform/PlatformRegistry.h"

void registerKdeBackend(PlatformRegistry& registry)
{
    registry.add({QStringLiteral("kde"), PlatformBackend::Session::Wayland,
                  [](const DesktopSession& session) { return session.runsDesktop(QStringLiteral("KDE")); },
                  [] { return std::unique_ptr<Platform>(KdePlatform::create()); }});
}
