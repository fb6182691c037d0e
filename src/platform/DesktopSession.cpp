#include "DesktopSession.h"

#include <QStringList>

DesktopSession DesktopSession::fromEnvironment(const QProcessEnvironment& environment)
{
    DesktopSession session;
    session.sessionType = environment.value(QStringLiteral("XDG_SESSION_TYPE"));
    session.waylandDisplay = environment.value(QStringLiteral("WAYLAND_DISPLAY"));
    session.xDisplay = environment.value(QStringLiteral("DISPLAY"));
    session.swaySocket = environment.value(QStringLiteral("SWAYSOCK"));
    session.hyprlandSignature = environment.value(QStringLiteral("HYPRLAND_INSTANCE_SIGNATURE"));
    session.currentDesktop = environment.value(QStringLiteral("XDG_CURRENT_DESKTOP"));
    session.requestedBackend = environment.value(QStringLiteral("TOLVANE_PLATFORM")).trimmed().toLower();
    return session;
}

bool DesktopSession::isWayland() const
{
    const QString type = sessionType.toLower();
    if (type == QLatin1String("wayland"))
        return true;
    if (type == QLatin1String("x11"))
        return false;
    return !waylandDisplay.isEmpty();
}

bool DesktopSession::runsDesktop(const QString& desktop) const
{
    const QStringList desktops = currentDesktop.split(QLatin1Char(':'), Qt::SkipEmptyParts);
    return std::any_of(desktops.begin(), desktops.end(),
                       [&desktop](const QString& name) { return name.compare(desktop, Qt::CaseInsensitive) == 0; });
}

QString DesktopSession::describe() const
{
    const std::pair<const char*, const QString*> variables[] = {
        {"XDG_SESSION_TYPE", &sessionType},
        {"WAYLAND_DISPLAY", &waylandDisplay},
        {"DISPLAY", &xDisplay},
        {"SWAYSOCK", &swaySocket},
        {"HYPRLAND_INSTANCE_SIGNATURE", &hyprlandSignature},
        {"XDG_CURRENT_DESKTOP", &currentDesktop},
    };
    QStringList set;
    for (const auto& [name, value] : variables) {
        if (!value->isEmpty())
            set.append(QLatin1String(name) + QLatin1Char('=') + *value);
    }
    return set.isEmpty() ? QStringLiteral("no session variables set") : set.join(QStringLiteral(", "));
}
