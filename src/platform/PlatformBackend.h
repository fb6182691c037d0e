#pragma once

#include "DesktopSession.h"
#include "Platform.h"

#include <QString>

#include <functional>
#include <memory>

// One entry of the PlatformRegistry: a backend this build can run.
struct PlatformBackend {
    enum class Session { X11, Wayland };

    // Short and lower-case; what TOLVANE_PLATFORM names and the log reports.
    QString name;
    // The kind of session the backend serves; the other kind never chooses it.
    Session session = Session::X11;
    // Whether this session is one the backend can drive (its compositor runs).
    std::function<bool(const DesktopSession&)> usableHere;
    // The backend, or null when it cannot start after all (its display or
    // compositor does not answer).
    std::function<std::unique_ptr<Platform>()> create;
};
