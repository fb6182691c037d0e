#include "KWinWindow.h"

#include "platform/RunningApplication.h"
#include "platform/freedesktop/DesktopEntryIndex.h"

namespace {

QString withoutDesktopSuffix(QString id)
{
    id = id.trimmed();
    if (id.endsWith(QLatin1String(".desktop")))
        id.chop(8);
    return id;
}

} // namespace

RunningApplication KWinWindow::application(DesktopEntryIndex& desktopEntries) const
{
    RunningApplication app;
    // KWin hands out no client-machine name; the pid alone tells the process.
    app.processKey = pid > 0 ? QStringLiteral("pid:%1").arg(pid) : QStringLiteral("kwin:") + internalId;
    app.processIdentifier = pid;

    const QString announcedId = withoutDesktopSuffix(desktopFileName);
    std::optional<DesktopEntry> entry;
    if (!announcedId.isEmpty())
        entry = desktopEntries.entry(announcedId);
    else if (!resourceClass.isEmpty())
        entry = desktopEntries.entryForWindowClass(resourceName, resourceClass);

    if (!announcedId.isEmpty())
        app.bundleIdentifier = announcedId;
    else if (entry)
        app.bundleIdentifier = entry->id;
    else if (!resourceClass.isEmpty())
        app.bundleIdentifier = resourceClass;

    for (const QString& name : {entry ? entry->id : QString(), announcedId, resourceClass}) {
        if (!name.isEmpty() && app.bundleIdentifier != name && !app.alternativeIdentifiers.contains(name))
            app.alternativeIdentifiers.append(name);
    }
    app.localizedName = entry && !entry->name.isEmpty() ? entry->name
        : !announcedId.isEmpty()                        ? announcedId
                                                        : resourceClass;
    if (entry)
        app.iconName = entry->icon;
    return app;
}
