#pragma once

#include "DesktopEntry.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QStringList>

#include <optional>

class QFileSystemWatcher;
class QTimer;

// The installed application entries, found in the "applications" folder of
// $XDG_DATA_HOME and every $XDG_DATA_DIRS entry, and in Flatpak's export
// folders. Earlier folders win for the same id. Read on first use, again after
// `invalidate()`, and, once watching, whenever an applications folder changes
// (an application installed or removed while Tolvane runs).
class DesktopEntryIndex : public QObject {
    Q_OBJECT
public:
    static DesktopEntryIndex& shared();

    explicit DesktopEntryIndex(QStringList applicationDirectories = defaultApplicationDirectories(),
                               QObject* parent = nullptr);

    static QStringList defaultApplicationDirectories();

    std::optional<DesktopEntry> entry(const QString& id);
    // The applications a menu would list: entries of type Application that
    // are neither NoDisplay nor Hidden, in no particular order.
    QList<DesktopEntry> menuApplications();
    // The entry a window with this WM_CLASS belongs to: StartupWMClass equal to
    // the class (then the instance), else an entry whose id equals the class or
    // the instance, ignoring case, else StartupWMClass equal to either ignoring case.
    std::optional<DesktopEntry> entryForWindowClass(const QString& instanceName, const QString& className);

    void invalidate() { m_loaded = false; }

    // Follows the folders (and, for folders that do not exist yet, the nearest
    // folder above them) without polling; a burst of changes, as a package
    // installation makes, rebuilds the index once, `settleTimeMs` after the last.
    void startWatching(int settleTimeMs = 300);

Q_SIGNALS:
    // The index was rebuilt after its folders changed.
    void changed();

private:
    void ensureLoaded();
    void rebuild();
    void updateWatchedPaths();

    QStringList m_directories;
    bool m_loaded = false;
    QHash<QString, DesktopEntry> m_byId;
    QHash<QString, QString> m_idByWMClass;
    QHash<QString, QString> m_idByLowerId;
    QHash<QString, QString> m_idByLowerWMClass;
    QFileSystemWatcher* m_watcher = nullptr;
    QTimer* m_settle = nullptr;
};
