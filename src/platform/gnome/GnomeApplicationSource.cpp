#include "GnomeApplicationSource.h"

#include "GnomeShellExtension.h"
#include "platform/freedesktop/DesktopEntryIndex.h"

#include <QDBusArgument>

namespace {

QString textOf(const QVariantMap& window, const char* key)
{
    return window.value(QString::fromLatin1(key)).toString().trimmed();
}

} // namespace

GnomeApplicationSource::GnomeApplicationSource(GnomeShellExtension& extension, DesktopEntryIndex& desktopEntries,
                                               QObject* parent)
    : ApplicationSource(parent)
    , m_extension(extension)
    , m_desktopEntries(desktopEntries)
{
    connect(&m_extension, &GnomeShellExtension::focusChanged, this, &GnomeApplicationSource::focusChanged);
}

void GnomeApplicationSource::focusChanged(const QVariantMap& window)
{
    m_activeFrame = frame(window);
    if (const auto app = application(window))
        Q_EMIT applicationActivated(*app);
}

std::optional<RunningApplication> GnomeApplicationSource::frontmostApplication()
{
    const auto window = m_extension.focusedWindow();
    if (!window)
        return std::nullopt;
    m_activeFrame = frame(*window);
    return application(*window);
}

QList<RunningApplication> GnomeApplicationSource::runningApplications()
{
    QList<RunningApplication> result;
    for (const QVariantMap& window : m_extension.windows().value_or(QList<QVariantMap>{})) {
        const auto app = application(window);
        if (app && !result.contains(*app))
            result.append(*app);
    }
    return result;
}

std::optional<QRect> GnomeApplicationSource::frame(const QVariantMap& window)
{
    const QVariant value = window.value(QStringLiteral("frame"));
    if (!value.canConvert<QDBusArgument>())
        return std::nullopt;
    const auto argument = value.value<QDBusArgument>();
    if (argument.currentSignature() != QLatin1String("(iiii)"))
        return std::nullopt;
    int x = 0, y = 0, width = 0, height = 0;
    argument.beginStructure();
    argument >> x >> y >> width >> height;
    argument.endStructure();
    return QRect(x, y, width, height);
}

std::optional<RunningApplication> GnomeApplicationSource::application(const QVariantMap& window)
{
    const QString shellId = textOf(window, "appId");
    const QString gtkId = textOf(window, "gtkApplicationId");
    const QString sandboxedId = textOf(window, "sandboxedAppId");
    const QString className = textOf(window, "wmClass");
    const QString instanceName = textOf(window, "wmClassInstance");
    if (shellId.isEmpty() && gtkId.isEmpty() && sandboxedId.isEmpty() && className.isEmpty())
        return std::nullopt;

    std::optional<DesktopEntry> entry;
    for (const QString& id : {shellId, gtkId, sandboxedId}) {
        if (!entry && !id.isEmpty())
            entry = m_desktopEntries.entry(id);
    }
    if (!entry && !className.isEmpty())
        entry = m_desktopEntries.entryForWindowClass(instanceName, className);

    RunningApplication app;
    const qint64 pid = window.value(QStringLiteral("pid")).toLongLong();
    app.processIdentifier = pid;
    app.processKey = pid > 0 ? QStringLiteral("pid:%1").arg(pid)
                             : QStringLiteral("window:%1").arg(window.value(QStringLiteral("windowId")).toULongLong());
    const QStringList names = {shellId, entry ? entry->id : QString(), gtkId, sandboxedId, className};
    for (const QString& name : names) {
        if (name.isEmpty())
            continue;
        if (!app.bundleIdentifier)
            app.bundleIdentifier = name;
        else if (app.bundleIdentifier != name && !app.alternativeIdentifiers.contains(name))
            app.alternativeIdentifiers.append(name);
    }
    const QString shellName = textOf(window, "appName");
    app.localizedName = entry && !entry->name.isEmpty() ? entry->name : !shellName.isEmpty() ? shellName : className;
    if (entry)
        app.iconName = entry->icon;
    return app;
}
