#include "RulesStore.h"

#include "RulesCodec.h"
#include "base/AtomicFile.h"

#include "base/Logger.h"
#include "platform/RegularFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

QString RulesStore::standardPath()
{
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const QString directory = base + QStringLiteral("/Tolvane");
    QDir().mkpath(directory);
    return directory + QStringLiteral("/rules.json");
}

RulesStore::RulesStore(QString path)
    : m_path(std::move(path))
{
}

void RulesStore::makeDirectory() const
{
    QDir().mkpath(QFileInfo(m_path).path());
}

RulesStore::LoadResult RulesStore::load()
{
    makeDirectory();
    LoadResult result;
    const auto file = RegularFile::read(m_path, maximumFileSize);
    m_mustKeepFile = file.kind != RegularFile::Kind::Missing;
    if (!file.contents) {
        result.error = QStringLiteral("The file “%1” couldn’t be read. %2").arg(m_path, file.error);
        return result;
    }
    auto decoded = RulesCodec::decode(*file.contents);
    if (!decoded.rules) {
        result.error = QStringLiteral("The data in “%1” couldn’t be read because it isn’t in the correct format: %2")
                           .arg(m_path, decoded.error);
        return result;
    }
    m_mustKeepFile = false;
    result.rules = std::move(decoded.rules);
    return result;
}

std::optional<QString> RulesStore::save(const QList<AppRule>& rules)
{
    makeDirectory();
    if (m_mustKeepFile) {
        if (const auto error = keepUnreadableFile())
            return QStringLiteral("“%1” was not replaced: %2").arg(m_path, *error);
        m_mustKeepFile = false;
    }
    if (const auto error = AtomicFile::write(m_path, RulesCodec::encode(rules)))
        return QStringLiteral("“%1”: %2").arg(m_path, *error);
    // A replaced file takes over the old one's permissions; one we could not
    // read must not make the new one unreadable too.
    const auto permissions = QFile::permissions(m_path);
    if (!(permissions & QFile::ReadOwner))
        QFile::setPermissions(m_path, permissions | QFile::ReadOwner | QFile::WriteOwner);
    return std::nullopt;
}

std::optional<QString> RulesStore::keepUnreadableFile()
{
    switch (RegularFile::kindOf(m_path)) {
    case RegularFile::Kind::Missing:
        return std::nullopt; // gone meanwhile: nothing left to keep
    case RegularFile::Kind::Other:
        return QStringLiteral("it is not a regular file, so it is left as it is");
    case RegularFile::Kind::Regular:
        break;
    }
    const QString stamp = QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString keptPath = m_path + QStringLiteral(".corrupt-") + stamp;
    for (int n = 2; QFileInfo::exists(keptPath) || QFileInfo(keptPath).isSymLink(); ++n)
        keptPath = m_path + QStringLiteral(".corrupt-") + stamp + QLatin1Char('-') + QString::number(n);
    if (const auto error = RegularFile::keepAside(m_path, keptPath)) {
        Logger::shared().error(QStringLiteral("Could not keep the unreadable rules file as ") + keptPath
                               + QStringLiteral(": ") + *error);
        return QStringLiteral("the unreadable file could not be kept as “%1” (%2)").arg(keptPath, *error);
    }
    Logger::shared().info(QStringLiteral("Kept the unreadable rules file as ") + keptPath);
    pruneKeptFiles();
    return std::nullopt;
}

void RulesStore::pruneKeptFiles() const
{
    const QFileInfo file(m_path);
    QDir directory = file.dir();
    const QStringList kept =
        directory.entryList({file.fileName() + QStringLiteral(".corrupt-*")}, QDir::Files | QDir::System | QDir::Hidden,
                            QDir::Name | QDir::Reversed);
    for (qsizetype i = keptUnreadableFiles; i < kept.size(); ++i)
        directory.remove(kept.at(i));
}
