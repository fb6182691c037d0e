#include "PlatformRegistry.h"

#include <QStringList>

void PlatformRegistry::add(PlatformBackend backend)
{
    m_backends.append(std::move(backend));
}

const PlatformBackend* PlatformRegistry::find(const QString& name) const
{
    for (const PlatformBackend& backend : m_backends) {
        if (backend.name == name)
            return &backend;
    }
    return nullptr;
}

QString PlatformRegistry::names() const
{
    QStringList names;
    for (const PlatformBackend& backend : m_backends)
        names.append(backend.name);
    return names.isEmpty() ? QStringLiteral("none") : names.join(QStringLiteral(", "));
}

PlatformRegistry::Choice PlatformRegistry::choose(const DesktopSession& session) const
{
    QString overrideNote;
    if (!session.requestedBackend.isEmpty()) {
        if (const PlatformBackend* requested = find(session.requestedBackend))
            return {requested, QStringLiteral("TOLVANE_PLATFORM=%1 override").arg(session.requestedBackend), false};
        overrideNote = QStringLiteral("; TOLVANE_PLATFORM=%1 names no backend of this build (%2)")
                           .arg(session.requestedBackend, names());
    }
    const bool wayland = session.isWayland();
    const PlatformBackend::Session kind = wayland ? PlatformBackend::Session::Wayland : PlatformBackend::Session::X11;
    const QString facts = session.describe();
    for (const PlatformBackend& backend : m_backends) {
        if (backend.session == kind && backend.usableHere && backend.usableHere(session))
            return {&backend,
                    QStringLiteral("%1 session (%2)")
                            .arg(wayland ? QStringLiteral("Wayland") : QStringLiteral("X11"), facts)
                        + overrideNote,
                    false};
    }
    if (wayland)
        return {nullptr,
                QStringLiteral("Wayland session (%1) whose compositor no backend of this build drives; "
                               "X11 is not used, since Xwayland neither sees the focused window "
                               "nor switches the compositor's layout")
                        .arg(facts)
                    + overrideNote,
                true};
    return {nullptr, QStringLiteral("no X display and no Wayland session (%1)").arg(facts) + overrideNote, false};
}
