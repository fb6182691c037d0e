#include "RulesExportManager.h"

#include "RulesDocument.h"

#include "base/AtomicFile.h"
#include "base/Logger.h"
#include "base/Tolvane.h"
#include "core/RuleEngine.h"

#include <QFile>
#include <QFileInfo>

RulesExportManager::RulesExportManager(RuleEngine& engine, QObject* parent)
    : QObject(parent)
    , m_engine(engine)
{
}

bool RulesExportManager::exportRules(const QUrl& location, QString* reason)
{
    const QByteArray contents = RulesDocument{m_engine.rules()}.fileContents();
    const QString path = location.toLocalFile();
    QString error;
    if (path.isEmpty()) {
        error = QStringLiteral("“%1” is not a local file").arg(location.toString());
        if (reason)
            *reason = Tolvane::tr("Only files on this computer can be written.");
    } else if (const auto failure = AtomicFile::write(path, contents)) {
        error = QStringLiteral("“%1”: %2").arg(path, *failure);
        if (reason)
            *reason = *failure;
    }
    if (!error.isEmpty()) {
        exportFailed(error);
        return false;
    }
    exportCompleted(location);
    return true;
}

void RulesExportManager::exportCompleted(const QUrl& location)
{
    Logger::shared().info(QStringLiteral("Exported rules to ") + location.toString());
}

void RulesExportManager::exportFailed(const QString& error)
{
    Logger::shared().error(QStringLiteral("Export failed: ") + error);
}

RulesExportManager::ImportResult RulesExportManager::importRules(const QUrl& from)
{
    ImportResult result;
    const QString path = from.toLocalFile();
    const QString unreadable = Tolvane::tr("The file is not a valid Tolvane rules backup.");
    auto fail = [&](const QString& error, const QString& localized) {
        result.error = error;
        result.localizedError = localized;
        return result;
    };
    if (path.isEmpty())
        return fail(QStringLiteral("“%1” is not a local file").arg(from.toString()), unreadable);

    QFile file(path);
    const QFileInfo info(file);
    if (!info.exists())
        return fail(QStringLiteral("“%1” does not exist").arg(path), unreadable);
    if (!info.isFile())
        return fail(QStringLiteral("“%1” is not a regular file").arg(path), unreadable);
    // Checked before reading, so a wrong or hostile choice cannot exhaust memory.
    if (info.size() > maximumImportFileSize) {
        return fail(
            QStringLiteral("“%1” is too large (%2 bytes)").arg(path).arg(info.size()),
            Tolvane::tr("The file is too large to import (over %1 MB).").arg(maximumImportFileSize / (1024 * 1024)));
    }
    if (!file.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("“%1”: %2").arg(path, file.errorString()), file.errorString());
    // The file may have grown since it was measured.
    const QByteArray contents = file.read(maximumImportFileSize + 1);
    if (contents.size() > maximumImportFileSize) {
        return fail(
            QStringLiteral("“%1” is too large").arg(path),
            Tolvane::tr("The file is too large to import (over %1 MB).").arg(maximumImportFileSize / (1024 * 1024)));
    }

    QString error;
    const auto document = RulesDocument::fromFileContents(contents, &error);
    if (!document)
        return fail(QStringLiteral("“%1”: %2").arg(path, error), unreadable);

    // Everything is decoded before the first rule is handed on, so a bad
    // file leaves the list unchanged. One batch: one change notice, one save.
    result.count = m_engine.addRules(document->rules);
    return result;
}

std::optional<QString> RulesExportManager::importCompleted(const QList<QUrl>& locations)
{
    if (locations.isEmpty())
        return std::nullopt;
    const ImportResult result = importRules(locations.first());
    if (result.count)
        return Tolvane::tr("Successfully imported %1 rules").arg(*result.count);
    Logger::shared().error(QStringLiteral("Failed to import rules: ") + result.error);
    return importFailed(result.localizedError);
}

QString RulesExportManager::importFailed(const QString& localizedError)
{
    return Tolvane::tr("Import failed: %1").arg(localizedError);
}
