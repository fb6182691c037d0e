#pragma once

#include "LogHandler.h"
#include "SignalPostBody.h"

#include <QList>
#include <mutex>
#include <shared_mutex>
#include <QString>

#include <optional>

namespace telemetrydeck {

// The ordered queue of records waiting for upload, oldest first, kept across process runs
// in the cache file. Safe to use from any thread: reads share the lock, changes take it
// exclusively.
class SignalCache {
public:
    // Loads what an earlier process saved (see loadFromDisk).
    explicit SignalCache(std::optional<LogHandler> logHandler, QString cacheFilePath = cacheFileURL());

    static constexpr int maximumNumberOfSignalsToPopAtOnce = 100;
    // A cache file above this size is not read (and is deleted); saving never writes more.
    static constexpr qint64 maximumCacheFileSize = 48ll * 1024 * 1024;

    // "telemetrysignalcache" in the user's cache directory.
    static QString cacheFileURL();
    QString cacheFilePath() const { return m_cacheFilePath; }

    void appendSignals(const SignalPostBody& record);
    void appendSignals(const QList<SignalPostBody>& records);
    // The oldest min(count, 100) records, removed from the queue.
    QList<SignalPostBody> takeBatch();
    int count() const;
    // A copy of the queue, for inspection.
    QList<SignalPostBody> snapshot() const;

    // Writes every queued record (and `alsoSave`, records held elsewhere, after them) to the
    // cache file atomically; on success the queue is emptied. False when nothing was written.
    bool saveToDisk(const QList<SignalPostBody>& alsoSave = {});
    // Reads and deletes the cache file and puts its records in front of the queue. A file
    // that cannot be read or decoded is deleted and the queue is left as it was.
    void loadFromDisk();

private:
    void log(LogLevel level, const QString& message) const;

    const std::optional<LogHandler> m_logHandler;
    const QString m_cacheFilePath;
    mutable std::shared_mutex m_lock;
    QList<SignalPostBody> m_cachedSignals;
};

} // namespace telemetrydeck
