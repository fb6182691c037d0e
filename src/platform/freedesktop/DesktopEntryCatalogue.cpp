#include "DesktopEntryCatalogue.h"

#include "DesktopEntryIndex.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace {
const QString kDesktopSuffix = QStringLiteral("desktop");
// An entry is a few kilobytes; more is not one.
constexpr qint64 kMaximumEntrySize = 1024 * 1024;

ApplicationCatalogue::Application describe(const DesktopEntry& entry, const QString& id, const QString& languageTag)
{
    const QString name = entry.localizedName(languageTag).trimmed();
    return {id, name.isEmpty() ? id : name, entry.icon};
}
} // namespace

DesktopEntryCatalogue::DesktopEntryCatalogue(DesktopEntryIndex& index)
    : m_index(index)
{
}

QString DesktopEntryCatalogue::iconName(const QString& id)
{
    const auto entry = m_index.entry(id);
    return entry ? entry->icon : QString();
}

QList<ApplicationCatalogue::Application> DesktopEntryCatalogue::applications(const QString& languageTag)
{
    QList<Application> applications;
    for (const DesktopEntry& entry : m_index.menuApplications())
        applications.append(describe(entry, entry.id, languageTag));
    return applications;
}

ApplicationCatalogue::FileAnswer DesktopEntryCatalogue::describedBy(const QString& path, const QString& languageTag)
{
    const QFileInfo file(path);
    if (file.suffix() != kDesktopSuffix)
        return {std::nullopt, FileProblem::WrongKind};
    QFile contents(file.filePath());
    if (!contents.open(QIODevice::ReadOnly))
        return {std::nullopt, FileProblem::Unreadable};
    const QString id = file.fileName().chopped(kDesktopSuffix.size() + 1);
    const std::optional<DesktopEntry> entry = DesktopEntry::parse(contents.read(kMaximumEntrySize));
    if (!entry || !entry->isApplication() || id.isEmpty())
        return {std::nullopt, FileProblem::NotAnApplication};
    // The name as the file gives it, empty or not: the caller decides what stands in.
    return {Application{id, entry->localizedName(languageTag).trimmed(), entry->icon}, FileProblem::NotAnApplication};
}

QString DesktopEntryCatalogue::applicationFolder()
{
    for (const QString& folder : DesktopEntryIndex::defaultApplicationDirectories()) {
        if (QFileInfo(folder).isDir())
            return folder;
    }
    return QString();
}
