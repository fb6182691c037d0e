#include "WaylandApplicationIdentity.h"

#include "platform/freedesktop/DesktopEntryIndex.h"

std::optional<RunningApplication> WaylandApplicationIdentity::application(const Window& window,
                                                                          DesktopEntryIndex& desktopEntries)
{
    const QString appId = window.appId.trimmed();
    const QString className = window.className.trimmed();
    const QString instanceName = window.instanceName.trimmed();
    if (appId.isEmpty() && className.isEmpty())
        return std::nullopt;

    RunningApplication app;
    app.processIdentifier = window.pid;
    app.processKey = window.pid > 0 ? QStringLiteral("pid:%1").arg(window.pid) : window.fallbackKey;

    std::optional<DesktopEntry> entry;
    if (!appId.isEmpty()) {
        entry = desktopEntries.entry(appId);
        if (entry)
            app.bundleIdentifier = appId;
        else
            entry = desktopEntries.entryForWindowClass(appId, appId);
    } else {
        entry = desktopEntries.entryForWindowClass(instanceName, className);
    }
    const QString ownName = appId.isEmpty() ? className : appId;
    if (!app.bundleIdentifier)
        app.bundleIdentifier = entry ? entry->id : ownName;
    for (const QString& name : {entry ? entry->id : QString(), appId, className}) {
        if (!name.isEmpty() && app.bundleIdentifier != name && !app.alternativeIdentifiers.contains(name))
            app.alternativeIdentifiers.append(name);
    }
    app.localizedName = entry && !entry->name.isEmpty() ? entry->name : ownName;
    if (entry)
        app.iconName = entry->icon;
    return app;
}
