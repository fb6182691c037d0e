#include "SignalCache.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace telemetrydeck {

SignalCache::SignalCache(std::optional<LogHandler> logHandler, QString cacheFilePath)
    : m_logHandler(std::move(logHandler))
    , m_cacheFilePath(std::move(cacheFilePath))
{
    loadFromDisk();
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

void SignalCache::appendSignals(const SignalPostBody& record)
{
    std::unique_lock locker(m_lock);
    m_cachedSignals.append(record);
}

void SignalCache::appendSignals(const QList<SignalPostBody>& records)
{
    std::unique_lock locker(m_lock);
    m_cachedSignals.append(records);
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

bool SignalCache::saveToDisk(const QList<SignalPostBody>& alsoSave)
{
    // Held for the whole save, so that nothing appended meanwhile is emptied away unsaved.
    std::unique_lock locker(m_lock);
    const QList<SignalPostBody> records = m_cachedSignals + alsoSave;

    // Encode record by record so that an oversized queue can keep its newest records within
    // the size the loader accepts, instead of writing a file that would be thrown away.
    QList<QByteArray> encoded;
    encoded.reserve(records.size());
    qint64 total = 2;
    qsizetype firstKept = records.size();
    for (qsizetype i = records.size() - 1; i >= 0; --i) {
        QByteArray json = records.at(i).cacheJson();
        if (total + json.size() + 1 > maximumCacheFileSize)
            break;
        total += json.size() + 1;
        encoded.prepend(std::move(json));
        firstKept = i;
    }
    if (firstKept > 0)
        log(LogLevel::error,
            QStringLiteral("Telemetry cache too large, dropping the %1 oldest signals").arg(firstKept));

    QByteArray data;
    data.reserve(total);
    data.append('[');
    for (qsizetype i = 0; i < encoded.size(); ++i) {
        if (i > 0)
            data.append(',');
        data.append(encoded.at(i));
    }
    data.append(']');

    QDir().mkpath(QFileInfo(m_cacheFilePath).absolutePath());
    QSaveFile file(m_cacheFilePath);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit()) {
        log(LogLevel::error, QStringLiteral("Error saving Telemetry cache"));
        return false;
    }
    log(LogLevel::info, QStringLiteral("Saved Telemetry cache %1 bytes of %2 signals").arg(data.size()).arg(encoded.size()));
    m_cachedSignals.clear();
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
    file.remove();
    if (data.isEmpty() || data.size() > maximumCacheFileSize)
        return;
    std::optional<QList<SignalPostBody>> records = SignalPostBody::decodeCache(data);
    if (!records)
        return;
    log(LogLevel::info, QStringLiteral("Loaded %1 signals").arg(records->size()));
    std::unique_lock locker(m_lock);
    m_cachedSignals = *records + m_cachedSignals;
}

} // namespace telemetrydeck
