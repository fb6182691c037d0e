#include "DesktopEntryIndex.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QSet>
#include <QStandardPaths>
#include <QTimer>

DesktopEntryIndex& DesktopEntryIndex::shared()
{
    static auto* instance = [] {
        auto* index = new DesktopEntryIndex;
        index->startWatching();
        return index;
    }();
    return *instance;
}

DesktopEntryIndex::DesktopEntryIndex(QStringList applicationDirectories, QObject* parent)
    : QObject(parent)
    , m_directories(std::move(applicationDirectories))
{
}

QStringList DesktopEntryIndex::defaultApplicationDirectories()
{
    QStringList directories = QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation);
    // Flatpak exports its applications here; sessions started before Flatpak
    // was installed do not have these on $XDG_DATA_DIRS yet.
    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    for (const QString& exports : {dataHome + QStringLiteral("/flatpak/exports/share/applications"),
                                   QStringLiteral("/var/lib/flatpak/exports/share/applications")}) {
        if (!directories.contains(exports))
            directories.append(exports);
    }
    return directories;
}

void DesktopEntryIndex::startWatching(int settleTimeMs)
{
    if (m_watcher)
        return;
    m_watcher = new QFileSystemWatcher(this);
    m_settle = new QTimer(this);
    m_settle->setSingleShot(true);
    m_settle->setInterval(settleTimeMs);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, m_settle, qOverload<>(&QTimer::start));
    connect(m_settle, &QTimer::timeout, this, &DesktopEntryIndex::rebuild);
    updateWatchedPaths();
}

void DesktopEntryIndex::rebuild()
{
    // Folders may have appeared or gone with the change.
    updateWatchedPaths();
    m_loaded = false;
    ensureLoaded();
    Q_EMIT changed();
}

void DesktopEntryIndex::updateWatchedPaths()
{
    QSet<QString> wanted;
    for (const QString& directory : std::as_const(m_directories)) {
        if (QFileInfo(directory).isDir()) {
            wanted.insert(directory);
            QDirIterator it(directory, QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
            while (it.hasNext())
                wanted.insert(it.next());
            continue;
        }
        // Not there yet: its creation shows as a change of the nearest existing parent.
        QString parent = QFileInfo(directory).absolutePath();
        while (!QFileInfo(parent).isDir() && parent != QFileInfo(parent).absolutePath())
            parent = QFileInfo(parent).absolutePath();
        wanted.insert(parent);
    }
    const QStringList watched = m_watcher->directories();
    for (const QString& path : watched) {
        if (!wanted.contains(path))
            m_watcher->removePath(path);
    }
    for (const QString& path : std::as_const(wanted)) {
        if (!watched.contains(path))
            m_watcher->addPath(path);
    }
}

void DesktopEntryIndex::ensureLoaded()
{
    if (m_loaded)
        return;
    m_loaded = true;
    m_byId.clear();
    m_idByWMClass.clear();
    m_idByLowerId.clear();
    m_idByLowerWMClass.clear();
    for (const QString& directory : std::as_const(m_directories)) {
        const QDir base(directory);
        QDirIterator it(directory, {QStringLiteral("*.desktop")}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            // The desktop-file id: the path below the applications folder with '/' as '-'.
            QString id = base.relativeFilePath(path);
            id.chop(int(qstrlen(".desktop")));
            id.replace(QLatin1Char('/'), QLatin1Char('-'));
            if (m_byId.contains(id))
                continue;
            auto entry = DesktopEntry::load(path, id);
            if (!entry || !entry->isApplication() || entry->hidden)
                continue;
            if (!entry->startupWMClass.isEmpty() && !m_idByWMClass.contains(entry->startupWMClass))
                m_idByWMClass.insert(entry->startupWMClass, id);
            if (!entry->startupWMClass.isEmpty() && !m_idByLowerWMClass.contains(entry->startupWMClass.toLower()))
                m_idByLowerWMClass.insert(entry->startupWMClass.toLower(), id);
            m_idByLowerId.insert(id.toLower(), id);
            m_byId.insert(id, std::move(*entry));
        }
    }
}

QList<DesktopEntry> DesktopEntryIndex::menuApplications()
{
    ensureLoaded();
    QList<DesktopEntry> applications;
    for (const DesktopEntry& entry : std::as_const(m_byId)) {
        if (entry.isApplication() && !entry.noDisplay && !entry.hidden)
            applications.append(entry);
    }
    return applications;
}

std::optional<DesktopEntry> DesktopEntryIndex::entry(const QString& id)
{
    ensureLoaded();
    const auto it = m_byId.constFind(id);
    if (it == m_byId.constEnd())
        return std::nullopt;
    return *it;
}

std::optional<DesktopEntry> DesktopEntryIndex::entryForWindowClass(const QString& instanceName,
                                                                   const QString& className)
{
    ensureLoaded();
    for (const QString& wmClass : {className, instanceName}) {
        if (!wmClass.isEmpty())
            if (const auto it = m_idByWMClass.constFind(wmClass); it != m_idByWMClass.constEnd())
                return m_byId.value(*it);
    }
    for (const QString& name : {className, instanceName}) {
        if (!name.isEmpty())
            if (const auto it = m_idByLowerId.constFind(name.toLower()); it != m_idByLowerId.constEnd())
                return m_byId.value(*it);
    }
    // KWin hands out X11 classes in lower case.
    for (const QString& wmClass : {className, instanceName}) {
        if (!wmClass.isEmpty())
            if (const auto it = m_idByLowerWMClass.constFind(wmClass.toLower()); it != m_idByLowerWMClass.constEnd())
                return m_byId.value(*it);
    }
    return std::nullopt;
}
