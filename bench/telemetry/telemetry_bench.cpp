// Figures of the analytics client: one signal from TelemetryDeck::signal to the queued
// record (default payload rebuilt every time), saving and loading 10,000 records, and the
// memory a queued record takes. Runs offline against a closed loopback port, with HOME and
// the XDG directories in a temporary directory.
#include "DefaultSignalPayload.h"
#include "SignalCache.h"
#include "SignalManager.h"
#include "TelemetryDeck.h"
#include "TelemetryManager.h"
#include "TelemetryManagerConfiguration.h"
#include "UtilityQueue.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <unistd.h>

using namespace telemetrydeck;

namespace {

qint64 residentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.value(1).toLongLong() * sysconf(_SC_PAGESIZE);
}

std::shared_ptr<SignalManager> pipeline()
{
    return std::dynamic_pointer_cast<SignalManager>(TelemetryManager::shared()->signalManager());
}

bool waitForCount(int count)
{
    QElapsedTimer guard;
    guard.start();
    while (pipeline()->signalCache().count() < count) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (guard.elapsed() > 120'000)
            return false;
    }
    return true;
}

// CPU time of the calling thread, in milliseconds: unlike wall time it does not grow when
// other work shares the machine's cores.
double threadCpuMillis()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

QString loadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()) : QStringLiteral("unknown\n");
}

double processCpuMillis()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

double medianOf(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir home;
    const QByteArray root = home.path().toUtf8();
    qputenv("HOME", root);
    qputenv("XDG_CONFIG_HOME", root + "/config");
    qputenv("XDG_CACHE_HOME", root + "/cache");
    QCoreApplication app(argc, argv);

    auto configuration = std::make_shared<TelemetryManagerConfiguration>(QStringLiteral("BENCH-APP"), std::nullopt,
                                                                         QUrl(QStringLiteral("http://127.0.0.1:9/")));
    configuration->setSendTimerInterval(std::chrono::hours(1));
    configuration->setSendNewSessionBeganSignal(false);
    configuration->setSessionStatsEnabled(false);
    configuration->setLogHandler(std::nullopt);
    TelemetryManager::initialize(configuration);

    // Warm-up: first use of the suite, the session statistics, the host facts.
    for (int i = 0; i < 200; ++i)
        TelemetryDeck::signal(QStringLiteral("warmup"), {{QStringLiteral("i"), QString::number(i)}});
    waitForCount(200);
    pipeline()->signalCache().takeBatch();
    pipeline()->signalCache().takeBatch();

    // 1. One signal, end to end, and the main-thread share (default payload) alone.
    constexpr int signalCount = 10'000;
    const qint64 rssBefore = residentBytes();
    QElapsedTimer timer;
    timer.start();
    const double signalCpuStart = processCpuMillis();
    for (int i = 0; i < signalCount; ++i)
        TelemetryDeck::signal(QStringLiteral("benchmark"), {{QStringLiteral("index"), QString::number(i)}});
    if (!waitForCount(signalCount)) {
        std::fprintf(stderr, "records did not arrive\n");
        return 1;
    }
    const double perSignalMicros = static_cast<double>(timer.nsecsElapsed()) / 1000.0 / signalCount;
    const double perSignalCpuMicros = (processCpuMillis() - signalCpuStart) * 1000.0 / signalCount;
    UtilityQueue::waitForDone();
    const qint64 rssAfter = residentBytes();

    QList<double> payloadMicros;
    for (int round = 0; round < 5; ++round) {
        QElapsedTimer payloadTimer;
        payloadTimer.start();
        for (int i = 0; i < 1000; ++i)
            (void)DefaultSignalPayload::parameters();
        payloadMicros.append(static_cast<double>(payloadTimer.nsecsElapsed()) / 1000.0 / 1000);
    }

    // 2. Save and load of 10,000 records.
    const QList<SignalPostBody> records = pipeline()->signalCache().snapshot();
    const QString path = home.filePath(QStringLiteral("bench-cache"));
    QList<double> saveMillis;
    QList<double> loadMillis;
    QList<double> saveCpuMillis;
    QList<double> loadCpuMillis;
    qint64 fileSize = 0;
    for (int round = 0; round < 5; ++round) {
        SignalCache cache(std::nullopt, path);
        cache.appendSignals(records);
        QElapsedTimer saveTimer;
        saveTimer.start();
        const double saveCpuStart = threadCpuMillis();
        if (!cache.saveToDisk()) {
            std::fprintf(stderr, "save failed\n");
            return 1;
        }
        saveMillis.append(static_cast<double>(saveTimer.nsecsElapsed()) / 1e6);
        saveCpuMillis.append(threadCpuMillis() - saveCpuStart);
        fileSize = QFileInfo(path).size();
        QElapsedTimer loadTimer;
        loadTimer.start();
        const double loadCpuStart = threadCpuMillis();
        SignalCache loaded(std::nullopt, path);
        loadMillis.append(static_cast<double>(loadTimer.nsecsElapsed()) / 1e6);
        loadCpuMillis.append(threadCpuMillis() - loadCpuStart);
        if (loaded.count() != records.size()) {
            std::fprintf(stderr, "load lost records\n");
            return 1;
        }
    }

    std::printf("telemetry benchmark (%d records, %d payload entries each)\n", signalCount,
                static_cast<int>(records.constFirst().payload.size()));
    std::printf(
        "  signal() to queued record:        %8.1f us wall, %.1f us CPU (all threads) per signal   (target < 100 us)\n",
        perSignalMicros, perSignalCpuMicros);
    std::printf("    of which default payload build: %8.1f us (median of 5 x 1000)\n", medianOf(payloadMicros));
    std::printf("  save 10,000 records:              %8.1f ms wall, %.1f ms CPU (median of 5; %.1f MB file)   (target "
                "< 200 ms)\n",
                medianOf(saveMillis), medianOf(saveCpuMillis), static_cast<double>(fileSize) / 1e6);
    std::printf("  load 10,000 records:              %8.1f ms wall, %.1f ms CPU (median of 5)   (target < 200 ms)\n",
                medianOf(loadMillis), medianOf(loadCpuMillis));
    std::printf("  machine load average while running: %s", qPrintable(loadAverage()));
    std::printf("  memory per queued record:         %8.1f KiB resident (%.0f bytes in the cache file)\n",
                static_cast<double>(rssAfter - rssBefore) / 1024.0 / signalCount,
                static_cast<double>(fileSize) / signalCount);

    TelemetryManager::terminate();
    QFile::remove(SignalCache::cacheFileURL());
    return 0;
}
