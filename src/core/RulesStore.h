#pragma once

#include "AppRule.h"

#include <QList>
#include <QString>

#include <optional>

// The rules file: where it lives, reading it with a size cap, and replacing it
// atomically. A file that was there but could not be read (undecodable, too
// large, unreadable) is never lost: before the first save replaces it, it is
// kept beside it as "rules.json.corrupt-<time>" (the newest three stay), and
// while that is impossible nothing replaces it. Something that is not a
// regular file (a FIFO, a device, a directory) is never replaced at all.
// The rule engine is given its store; tests of the engine give it one in memory.
class RulesStore {
public:
    // Larger files are not rule lists anyone made; refusing them keeps a stray
    // multi-gigabyte file from exhausting memory.
    static constexpr qint64 maximumFileSize = 32 * 1024 * 1024;
    static constexpr int keptUnreadableFiles = 3;

    // The per-user "Tolvane/rules.json"; creates its directory.
    static QString standardPath();

    explicit RulesStore(QString path = standardPath());
    virtual ~RulesStore() = default;

    QString path() const { return m_path; }

    struct LoadResult {
        std::optional<QList<AppRule>> rules; // absent when the file is missing or unreadable
        QString error; // why, when rules is absent
    };
    virtual LoadResult load();

    // nullopt once the rules are on disk, else why not; a failed save changes
    // nothing on disk, and the next save tries again.
    virtual std::optional<QString> save(const QList<AppRule>& rules);

private:
    std::optional<QString> keepUnreadableFile();
    void pruneKeptFiles() const;
    void makeDirectory() const;

    QString m_path;
    bool m_mustKeepFile = false;
};
