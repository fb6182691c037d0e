#include "DesktopEntryIndex.h"

#include <QDir>
#include <QDirIterator>
#include <QStandardPaths>

DesktopEntryIndex& DesktopEntryIndex::shared()
{
    static DesktopEntryIndex instance;
    return instance;
}

DesktopEntryIndex::DesktopEntryIndex(QStringList applicationDirectories)
    : m_directories(std::move(applicationDirectories))
{
}

QStringList DesktopEntryIndex::defaultApplicationDirectories()
{
    return QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation);
}

void DesktopEntryIndex::ensureLoaded()
{
    if (m_loaded)
        return;
    m_loaded = true;
    m_byId.clear();
    m_idByWMClass.clear();
    m_idByLowerId.clear();
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
            m_idByLowerId.insert(id.toLower(), id);
            m_byId.insert(id, std::move(*entry));
        }
    }
}

std::optional<DesktopEntry> DesktopEntryIndex::entry(const QString& id)
{
    ensureLoaded();
    const auto it = m_byId.constFind(id);
    if (it == m_byId.constEnd())
        return std::nullopt;
    return *it;
}

std::optional<DesktopEntry> DesktopEntryIndex::entryForWindowClass(const QString& instanceName, const QString& className)
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
    return std::nullopt;
}
