#pragma once

#include "LogHandler.h"
#include "SignalPostBody.h"

#include <QList>
#include <QString>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <optional>
#include <shared_mutex>

namespace telemetrydeck {

// The ordered queue of records waiting for upload, oldest first, kept across process runs
// in the cache file, and the batches taken from it whose upload has not finished. Safe to
// use from any thread: reads share the lock, changes take it exclusively.
//
// The cache file, once loaded, stays until its records are delivered or saved again, so
// that a process killed before it could save loses nothing it had loaded.
class SignalCache {
public:
    // With `loadSavedRecords`, loads what an earlier process saved (see loadFromDisk);
    // without, deletes it unread.
    explicit SignalCache(std::optional<LogHandler> logHandler, QString cacheFilePath = cacheFileURL(),
                         bool loadSavedRecords = true);

    static constexpr int maximumNumberOfSignalsToPopAtOnce = 100;
    // A cache file above this size is not read (and is deleted); saving never writes more.
    static constexpr qint64 maximumCacheFileSize = 48ll * 1024 * 1024;

    // "telemetrysignalcache" in the user's cache directory.
    static QString cacheFileURL();
    QString cacheFilePath() const { return m_cacheFilePath; }

    // Called, outside the lock, after records were appended (also when a failed batch
    // comes back).
    void setRecordsAppendedHandler(std::function<void()> handler);

    void appendSignals(const SignalPostBody& record);
    void appendSignals(const QList<SignalPostBody>& records);
    // The oldest min(count, 100) records, removed from the queue.
    QList<SignalPostBody> takeBatch();
    int count() const;
    // A copy of the queue, for inspection.
    QList<SignalPostBody> snapshot() const;

    // A batch on its way to the server: taken from the queue and registered as in flight in
    // one step, so that no moment exists at which its records are in neither place.
    struct Batch {
        quint64 id = 0;
        QList<SignalPostBody> records;
    };
    Batch takeBatchForUpload();
    // Ends a batch's flight. A failed batch goes back to the end of the queue; a delivered one
    // is gone, and the cache file forgets it too. A batch already saved to disk is ignored.
    void finishBatch(quint64 id, bool delivered);
    int batchesInFlight() const;
    // Waits until no batch is in flight or the time is up; true when none is left.
    bool waitForBatchesInFlight(std::chrono::milliseconds timeout);

    // Writes every queued record, and after them the batches still in flight, to the cache
    // file atomically (or deletes the file when there is nothing to keep); on success the
    // queue and the in-flight table are emptied. False when nothing was written.
    bool saveToDisk();
    // Reads the cache file and puts its records in front of the queue; the file stays until
    // they are delivered or saved again. A file that cannot be decoded is deleted and the
    // queue is left as it was.
    void loadFromDisk();
    // Forgets every record, queued or in flight, and deletes the cache file.
    void discardAll();

private:
    void log(LogLevel level, const QString& message) const;
    // With the lock held.
    QList<SignalPostBody> unsentRecords() const;
    bool writeFile(const QList<SignalPostBody>& records);
    void notifyAppended() const;

    const std::optional<LogHandler> m_logHandler;
    const QString m_cacheFilePath;
    mutable std::shared_mutex m_lock;
    std::condition_variable_any m_batchFinished;
    std::function<void()> m_recordsAppended;
    QList<SignalPostBody> m_cachedSignals;
    std::map<quint64, QList<SignalPostBody>> m_inFlight;
    quint64 m_nextBatchID = 1;
    // The cache file holds records not yet delivered.
    bool m_fileHoldsRecords = false;
};

} // namespace telemetrydeck
