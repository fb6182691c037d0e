#pragma once

#include "platform/DesktopConflictMonitor.h"

#include <QStringList>

class QFileSystemWatcher;

// Tells when KDE's own switching policy (kxkbrc, [Layout] SwitchMode) is per
// application or per window: KDE then restores each window's last layout by
// itself, right after Tolvane switched. The advice is logged once per change
// of the setting; kxkbrc is followed while Tolvane runs.
class KxkbSwitchModeMonitor : public DesktopConflictMonitor {
    Q_OBJECT
public:
    static constexpr const char* kConflictKey = "kde.kxkbrc.SwitchMode";

    // `configFolders` are watched for kxkbrc being written (KDE replaces the file).
    explicit KxkbSwitchModeMonitor(QStringList configFolders = defaultConfigFolders(), QObject* parent = nullptr);

    static QStringList defaultConfigFolders();

    QList<DesktopConflict> conflicts() const override { return m_conflicts; }
    // Reads kxkbrc again; also done whenever it changes.
    void refresh();

private:
    QFileSystemWatcher* m_watcher;
    QStringList m_folders;
    QList<DesktopConflict> m_conflicts;
};
