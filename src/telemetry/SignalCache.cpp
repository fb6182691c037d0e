#include "SignalCache.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace telemetrydeck {

SignalCache::SignalCache(std::optional<LogHandler> logHandler, QString cacheFilePath, bool loadSavedRecords)
    : m_logHandler(std::move(logHandler))
    , m_cacheFilePath(std::move(cacheFilePath))
{
    if (loadSavedRecords)
        loadFromDisk();
    else
        QFile::remove(m_cacheFilePath);
}

QString SignalCache::cacheFileURL()
{
    QString directory = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (directory.isEmpty())
        directory = QDir::homePath() + QStringLiteral("/.cache");
    return directory + QStringLiteral("/telemetrysignalcache");
}

void SignalCache::log(LogLevel level, const QString& message) const
{
    if (m_logHandler)
        m_logHandler->log(level, message);
}

void SignalCache::setRecordsAppendedHandler(std::function<void()> handler)
{
    std::unique_lock locker(m_lock);
    m_recordsAppended = std::move(handler);
}

void SignalCache::notifyAppended() const
{
    std::function<void()> handler;
    {
        std::shared_lock locker(m_lock);
        handler = m_recordsAppended;
    }
    if (handler)
        handler();
}

void SignalCache::appendSignals(const SignalPostBody& record)
{
    {
        std::unique_lock locker(m_lock);
        m_cachedSignals.append(record);
    }
    notifyAppended();
}

void SignalCache::appendSignals(const QList<SignalPostBody>& records)
{
    {
        std::unique_lock locker(m_lock);
        m_cachedSignals.append(records);
    }
    notifyAppended();
}

QList<SignalPostBody> SignalCache::takeBatch()
{
    std::unique_lock locker(m_lock);
    const qsizetype n = std::min<qsizetype>(m_cachedSignals.size(), maximumNumberOfSignalsToPopAtOnce);
    QList<SignalPostBody> batch = m_cachedSignals.first(n);
    m_cachedSignals.remove(0, n);
    return batch;
}

int SignalCache::count() const
{
    std::shared_lock locker(m_lock);
    return static_cast<int>(m_cachedSignals.size());
}

QList<SignalPostBody> SignalCache::snapshot() const
{
    std::shared_lock locker(m_lock);
    // Element by element: the queue's own array is never shared with another thread.
    QList<SignalPostBody> copy;
    copy.reserve(m_cachedSignals.size());
    for (const SignalPostBody& record : m_cachedSignals)
        copy.append(record);
    return copy;
}

SignalCache::Batch SignalCache::takeBatchForUpload()
{
    std::unique_lock locker(m_lock);
    const qsizetype n = std::min<qsizetype>(m_cachedSignals.size(), maximumNumberOfSignalsToPopAtOnce);
    if (n == 0)
        return {};
    Batch batch{m_nextBatchID++, m_cachedSignals.first(n)};
    m_cachedSignals.remove(0, n);
    m_inFlight.emplace(batch.id, batch.records);
    return batch;
}

void SignalCache::finishBatch(quint64 id, bool delivered)
{
    std::unique_lock locker(m_lock);
    const auto it = m_inFlight.find(id);
    if (it == m_inFlight.end())
        return; // already written to the cache file at termination
    if (!delivered) {
        m_cachedSignals.append(it->second);
        m_inFlight.erase(it);
        m_batchFinished.notify_all();
        locker.unlock();
        notifyAppended();
        return;
    }
    m_inFlight.erase(it);
    if (m_fileHoldsRecords) {
        // The file must not hand the delivered records out a second time.
        const QList<SignalPostBody> unsent = unsentRecords();
        if (unsent.isEmpty()) {
            QFile::remove(m_cacheFilePath);
            m_fileHoldsRecords = false;
        } else {
            writeFile(unsent);
        }
    }
    m_batchFinished.notify_all();
}

int SignalCache::batchesInFlight() const
{
    std::shared_lock locker(m_lock);
    return static_cast<int>(m_inFlight.size());
}

bool SignalCache::waitForBatchesInFlight(std::chrono::milliseconds timeout)
{
    std::unique_lock locker(m_lock);
    return m_batchFinished.wait_for(locker, timeout, [this] { return m_inFlight.empty(); });
}

QList<SignalPostBody> SignalCache::unsentRecords() const
{
    // Batches in flight were taken from the front of the queue, so they are the older ones.
    QList<SignalPostBody> records;
    for (const auto& [id, batch] : m_inFlight)
        records += batch;
    records += m_cachedSignals;
    return records;
}

bool SignalCache::saveToDisk()
{
    // Held for the whole save, so that nothing appended meanwhile is emptied away unsaved.
    std::unique_lock locker(m_lock);
    const QList<SignalPostBody> records = unsentRecords();
    if (records.isEmpty()) {
        QFile::remove(m_cacheFilePath);
        m_fileHoldsRecords = false;
        return true;
    }
    if (!writeFile(records))
        return false;
    m_cachedSignals.clear();
    m_inFlight.clear(); // their late completions are ignored
    m_batchFinished.notify_all();
    return true;
}

bool SignalCache::writeFile(const QList<SignalPostBody>& records)
{
    const qsizetype recordCount = records.size();
    // One buffer "[r0,r1,...]", remembering where each record starts, so that an oversized
    // queue can keep its newest records within the size the loader accepts instead of
    // writing a file that would be thrown away.
    QByteArray data;
    data.reserve(recordCount * 2700 + 2);
    data.append('[');
    QList<qsizetype> starts;
    starts.reserve(recordCount);
    for (qsizetype i = 0; i < recordCount; ++i) {
        if (i > 0)
            data.append(',');
        starts.append(data.size());
        data.append(records.at(i).cacheJson());
    }
    data.append(']');

    qsizetype firstKept = 0;
    while (firstKept < recordCount && data.size() - starts.at(firstKept) + 1 > maximumCacheFileSize)
        ++firstKept;
    if (firstKept > 0)
        log(LogLevel::error,
            QStringLiteral("Telemetry cache too large, dropping the %1 oldest signals").arg(firstKept));
    const QByteArrayView kept = firstKept == 0 ? QByteArrayView(data)
        : firstKept == recordCount             ? QByteArrayView("[]")
                                               : QByteArrayView(data).sliced(starts.at(firstKept));
    const qint64 size = kept.size() + (firstKept > 0 && firstKept < recordCount ? 1 : 0);

    // Written beside the old file and renamed over it: a crash leaves the old or the new.
    QDir().mkpath(QFileInfo(m_cacheFilePath).absolutePath());
    QSaveFile file(m_cacheFilePath);
    bool written = file.open(QIODevice::WriteOnly);
    if (written && firstKept > 0 && firstKept < recordCount)
        written = file.write("[", 1) == 1;
    written = written && file.write(kept.data(), kept.size()) == kept.size() && file.commit();
    if (!written) {
        log(LogLevel::error, QStringLiteral("Error saving Telemetry cache"));
        return false;
    }
    log(LogLevel::info,
        QStringLiteral("Saved Telemetry cache %1 bytes of %2 signals").arg(size).arg(recordCount - firstKept));
    m_fileHoldsRecords = true;
    return true;
}

void SignalCache::loadFromDisk()
{
    log(LogLevel::info, QStringLiteral("Loading Telemetry cache from: ") + m_cacheFilePath);
    QFile file(m_cacheFilePath);
    if (!file.exists())
        return;
    QByteArray data;
    if (file.size() > maximumCacheFileSize) {
        log(LogLevel::error, QStringLiteral("Discarding Telemetry cache of %1 bytes").arg(file.size()));
    } else if (file.open(QIODevice::ReadOnly)) {
        data = file.read(maximumCacheFileSize + 1);
        file.close();
    } else {
        return; // unreadable: left in place, as it may become readable again
    }
    std::optional<QList<SignalPostBody>> records;
    if (!data.isEmpty() && data.size() <= maximumCacheFileSize)
        records = SignalPostBody::decodeCache(data);
    if (!records) {
        file.remove();
        return;
    }
    log(LogLevel::info, QStringLiteral("Loaded %1 signals").arg(records->size()));
    std::unique_lock locker(m_lock);
    m_cachedSignals = *records + m_cachedSignals;
    m_fileHoldsRecords = !records->isEmpty();
    if (records->isEmpty())
        file.remove();
}

void SignalCache::discardAll()
{
    std::unique_lock locker(m_lock);
    m_cachedSignals.clear();
    m_inFlight.clear();
    QFile::remove(m_cacheFilePath);
    m_fileHoldsRecords = false;
    m_batchFinished.notify_all();
}

} // namespace telemetrydeck
