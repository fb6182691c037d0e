#pragma once

#include "DesktopEntry.h"

#include <QHash>
#include <QList>
#include <QStringList>

#include <optional>

// The installed application entries, found in the "applications" folder of
// $XDG_DATA_HOME and every $XDG_DATA_DIRS entry (Flatpak's exports included
// when they are on that path). Earlier folders win for the same id. Read on
// first use and again after `invalidate()`.
class DesktopEntryIndex {
public:
    static DesktopEntryIndex& shared();

    explicit DesktopEntryIndex(QStringList applicationDirectories = defaultApplicationDirectories());

    static QStringList defaultApplicationDirectories();

    std::optional<DesktopEntry> entry(const QString& id);
    // The entry a window with this WM_CLASS belongs to: StartupWMClass equal to
    // the class (then the instance), else an entry whose id equals the class or
    // the instance, ignoring case.
    std::optional<DesktopEntry> entryForWindowClass(const QString& instanceName, const QString& className);

    void invalidate() { m_loaded = false; }

private:
    void ensureLoaded();

    QStringList m_directories;
    bool m_loaded = false;
    QHash<QString, DesktopEntry> m_byId;
    QHash<QString, QString> m_idByWMClass;
    QHash<QString, QString> m_idByLowerId;
};
