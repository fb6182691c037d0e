#include "KxkbSwitchModeMonitor.h"

#include "KxkbConfig.h"

#include "base/Logger.h"

#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QStandardPaths>

namespace {

const char* const kPerApplicationAdvice = QT_TRANSLATE_NOOP(
    "Tolvane",
    "KDE Plasma restores each application's last keyboard layout by itself and undoes Tolvane's switches. In System "
    "Settings, Input Devices → Keyboard → Layouts, set “Switching policy” to “Global”.");
const char* const kPerWindowAdvice = QT_TRANSLATE_NOOP(
    "Tolvane",
    "KDE Plasma restores each window's last keyboard layout by itself and undoes Tolvane's switches. In System "
    "Settings, Input Devices → Keyboard → Layouts, set “Switching policy” to “Global”.");

} // namespace

KxkbSwitchModeMonitor::KxkbSwitchModeMonitor(QStringList configFolders, QObject* parent)
    : DesktopConflictMonitor(parent)
    , m_watcher(new QFileSystemWatcher(this))
{
    for (const QString& folder : configFolders)
        m_watcher->addPath(folder);
    m_folders = configFolders;
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, &KxkbSwitchModeMonitor::refresh);
    connect(m_watcher, &QFileSystemWatcher::fileChanged, this, &KxkbSwitchModeMonitor::refresh);
    refresh();
}

QStringList KxkbSwitchModeMonitor::defaultConfigFolders()
{
    return {QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)};
}

void KxkbSwitchModeMonitor::refresh()
{
    // Written in place by some, replaced by others: the file is watched again
    // each time, the folder for its replacement.
    for (const QString& folder : std::as_const(m_folders)) {
        const QString file = folder + QStringLiteral("/kxkbrc");
        if (QFileInfo::exists(file) && !m_watcher->files().contains(file))
            m_watcher->addPath(file);
    }
    const KxkbConfig config = KxkbConfig::load();
    QList<DesktopConflict> conflicts;
    if (config.switchesPerWindow()) {
        const bool perWindow = config.switchMode.compare(QLatin1String("Window"), Qt::CaseInsensitive) == 0;
        DesktopConflict conflict;
        conflict.key = QString::fromLatin1(kConflictKey);
        conflict.text = perWindow ? kPerWindowAdvice : kPerApplicationAdvice;
        conflict.logMessage =
            QStringLiteral("KDE's keyboard switching policy is SwitchMode=%1 (kxkbrc): KDE restores "
                           "layouts per %2 and undoes Tolvane's switches. Set it to Global in System "
                           "Settings > Input Devices > Keyboard > Layouts > Switching policy, or "
                           "run: kwriteconfig5 --file kxkbrc --group Layout --key SwitchMode Global")
                .arg(config.switchMode, perWindow ? QStringLiteral("window") : QStringLiteral("application"));
        conflicts.append(conflict);
    }
    if (conflicts == m_conflicts)
        return;
    m_conflicts = conflicts;
    for (const DesktopConflict& conflict : std::as_const(m_conflicts))
        Logger::shared().error(conflict.logMessage);
    Q_EMIT conflictsChanged();
}
