#pragma once

#include "DesktopSession.h"
#include "PlatformBackend.h"

#include <QList>
#include <QString>

// Backends, and the choice among them for a session. Platform::instance()
// chooses among those of this build, which registerPlatformBackends() adds
// (see docs/ARCHITECTURE.md, "Adding a backend").
class PlatformRegistry {
public:
    struct Choice {
        // Null when no backend serves this session.
        const PlatformBackend* backend = nullptr;
        // Why, in words for the log.
        QString reason;
        // A Wayland session whose compositor no backend drives: Tolvane must
        // not fall back to X11 there (Xwayland neither reports the focused
        // Wayland window nor switches the compositor's layout).
        bool unsupportedDesktop = false;
    };

    void add(PlatformBackend backend);
    const PlatformBackend* find(const QString& name) const;
    // The names, joined by ", ".
    QString names() const;

    // TOLVANE_PLATFORM when it names a backend; otherwise the first usable
    // backend for the session's kind, in registration order.
    Choice choose(const DesktopSession& session) const;

private:
    QList<PlatformBackend> m_backends;
};

// Defined by the build: calls every enabled backend's registration function.
void registerPlatformBackends(PlatformRegistry& registry);
