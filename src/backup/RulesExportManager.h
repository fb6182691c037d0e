#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>

#include <optional>

class RuleEngine;

// Writes the rule list to a backup file and merges backups back into it, in
// file order with the engine's addRule semantics (a rule for an application
// that already has one replaces it in place; others are appended), as one batch.
class RulesExportManager : public QObject {
    Q_OBJECT
public:
    // Files larger than this are refused before anything is read.
    static constexpr qint64 maximumImportFileSize = 4 * 1024 * 1024;

    struct ImportResult {
        std::optional<int> count; // the rules handed on; absent on failure
        QString error; // for the log, when count is absent
        QString localizedError; // for the user, when count is absent
    };

    static RulesExportManager& shared();

    explicit RulesExportManager(RuleEngine& engine, QObject* parent = nullptr);

    // Writes the engine's rules to `location` (atomically) and reports the
    // result through exportCompleted / exportFailed. Returns whether it worked;
    // on failure `reason` receives the system's description of what went wrong.
    bool exportRules(const QUrl& location, QString* reason = nullptr);
    void exportCompleted(const QUrl& location);
    void exportFailed(const QString& error);

    // Reads and decodes the whole file, then adds every rule in file order.
    // On any failure no rule has been handed on.
    ImportResult importRules(const QUrl& from);

    // The result text for the import alert, translated; nullopt when there is
    // nothing to show (an empty selection).
    std::optional<QString> importCompleted(const QList<QUrl>& locations);
    QString importFailed(const QString& localizedError);

private:
    RuleEngine& m_engine;
};
