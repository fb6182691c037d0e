// The queue's two encodings and the cache file: saving, loading, and files that must not
// be trusted. The real binary saving its queue at quit and loading it at the next start is
// in app_process.
#include "TelemetryTestSupport.h"

#include "support/TestFiles.h"
#include "support/TestMain.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <atomic>
#include <limits>
#include <thread>

using namespace telemetrytest;

using tolvane::test::writeFile;

class TelemetryCacheTest : public QObject {
    Q_OBJECT

private slots:
    void init() { resetClient(); }
    void cleanup() { resetClient(); }

    void encodings_data()
    {
        QTest::addColumn<qint64>("msecs");
        QTest::addColumn<QByteArray>("uploadDate");
        QTest::addColumn<QByteArray>("cacheDate");
        QTest::newRow("reference date") << qint64(978'307'200'000) << QByteArray("2001-01-01T00:00:00+0000")
                                        << QByteArray("0");
        QTest::newRow("fraction dropped on upload")
            << qint64(978'307'261'750) << QByteArray("2001-01-01T00:01:01+0000") << QByteArray("61.75");
        QTest::newRow("before the reference")
            << qint64(0) << QByteArray("1970-01-01T00:00:00+0000") << QByteArray("-978307200");
    }

    void encodings()
    {
        QFETCH(qint64, msecs);
        QFETCH(QByteArray, uploadDate);
        QFETCH(QByteArray, cacheDate);
        SignalPostBody body = makeRecord("t");
        body.receivedAt = QDateTime::fromMSecsSinceEpoch(msecs, Qt::UTC);
        QVERIFY(
            SignalPostBody::encodeForUpload({body}).startsWith("[{\"receivedAt\":\"" + uploadDate + "\",\"appID\""));
        QVERIFY(SignalPostBody::encodeForCache({body}).startsWith("[{\"receivedAt\":" + cacheDate + ",\"appID\""));
        const auto decoded = SignalPostBody::decodeCache(SignalPostBody::encodeForCache({body}));
        QVERIFY(decoded);
        QCOMPARE(decoded->constFirst(), body);
    }

    void floatValueKey()
    {
        const QList<SignalPostBody> records{makeRecord("none"), makeRecord("zero", 0.0), makeRecord("small", 1e-300),
                                            makeRecord("nan", std::numeric_limits<double>::quiet_NaN()),
                                            makeRecord("infinite", std::numeric_limits<double>::infinity())};
        QJsonParseError error{};
        const QJsonArray array = QJsonDocument::fromJson(SignalPostBody::encodeForUpload(records), &error).array();
        QCOMPARE(error.error, QJsonParseError::NoError); // never unencodable, whatever the value
        const QList<QJsonValue> expected{QJsonValue::Undefined, 0.0, 1e-300, QJsonValue::Undefined,
                                         QJsonValue::Undefined};
        for (int i = 0; i < records.size(); ++i)
            QCOMPARE(array.at(i).toObject().value("floatValue"), expected.at(i));
        const auto decoded = SignalPostBody::decodeCache(SignalPostBody::encodeForCache(records.first(3)));
        QVERIFY(decoded);
        QCOMPARE(*decoded, records.first(3));
    }

    // A loaded file keeps what is not yet delivered, so that a process killed before it could
    // save loses nothing: each delivered batch leaves it, a failed one stays.
    void loadedFileKeepsWhatIsNotDelivered_data()
    {
        QTest::addColumn<QList<bool>>("deliveries"); // one per batch taken, in order
        QTest::addColumn<int>("left"); // records the file still holds; -1: no file
        QTest::newRow("none finished") << QList<bool>{} << 250;
        QTest::newRow("first delivered") << QList<bool>{true} << 150;
        QTest::newRow("first failed") << QList<bool>{false} << 250;
        QTest::newRow("all delivered") << QList<bool>{true, true, true} << -1;
        QTest::newRow("failed, then all delivered") << QList<bool>{false, true, true, true} << -1;
    }

    void loadedFileKeepsWhatIsNotDelivered()
    {
        QFETCH(QList<bool>, deliveries);
        QFETCH(int, left);
        QTemporaryDir dir;
        const QString path = dir.filePath("telemetrysignalcache");
        QList<SignalPostBody> records;
        for (int i = 0; i < 250; ++i)
            records.append(makeRecord(QString::number(i)));
        QVERIFY(writeFile(path, SignalPostBody::encodeForCache(records)));

        SignalCache cache(std::nullopt, path);
        for (const bool delivered : deliveries) {
            const SignalCache::Batch batch = cache.takeBatchForUpload();
            QVERIFY(!batch.records.isEmpty());
            cache.finishBatch(batch.id, delivered);
        }
        if (left < 0) {
            QVERIFY(!QFile::exists(path));
            return;
        }
        const std::optional<QList<SignalPostBody>> kept = SignalPostBody::decodeCache(tolvane::test::readFile(path));
        QVERIFY(kept);
        QCOMPARE(kept->size(), left);
        QCOMPARE(kept->constLast(), records.constLast());
    }

    void saveLosesNothingAppendedMeanwhile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("telemetrysignalcache");
        SignalCache cache(std::nullopt, path);
        std::atomic<bool> saved = false;
        int appended = 0;
        std::thread appender([&] { // goes on until the save is over
            for (; !saved || appended < 200; ++appended)
                cache.appendSignals(makeRecord(QString::number(appended)));
        });
        while (cache.count() < 100)
            std::this_thread::yield();
        const bool written = cache.saveToDisk();
        saved = true;
        appender.join();
        QVERIFY(written);
        const QList<SignalPostBody> all = SignalCache(std::nullopt, path).snapshot() + cache.snapshot();
        QCOMPARE(all.size(), appended);
        for (int i = 0; i < all.size(); ++i)
            QCOMPARE(all.at(i).type, QString::number(i));
    }

    void failedSaveKeepsTheRecords()
    {
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath("not-a-directory"), "x"));
        LogCapture logs;
        SignalCache cache(logs.handler(), dir.filePath("not-a-directory/telemetrysignalcache"));
        cache.appendSignals(makeRecord("kept"));
        QVERIFY(!cache.saveToDisk());
        QCOMPARE(cache.count(), 1);
        QVERIFY(logs.contains("Error saving Telemetry cache", LogLevel::error));
    }

    void loadingKeepsTheQueue_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("usable");
        const QByteArray valid = SignalPostBody::encodeForCache({makeRecord("x"), makeRecord("y")});
        // Loaded records are older than anything queued meanwhile and go in front of it.
        QTest::newRow("valid") << valid << true;
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("junk") << QByteArray("\x00\xff\xfejunk{[", 9) << false;
        QTest::newRow("truncated") << valid.left(valid.size() / 2) << false;
        QTest::newRow("50 MB") << ("[" + QByteArray(50 * 1024 * 1024, ' ') + "]") << false;
        QTest::newRow("object, not a list") << QByteArray("{\"receivedAt\":1}") << false;
        QTest::newRow("list of numbers") << QByteArray("[1,2,3]") << false;
        QTest::newRow("record without a type") << QByteArray(valid).replace("\"type\":\"y\",", "") << false;
        QTest::newRow("payload value not a text")
            << QByteArray(valid).replace("\"key\":\"", "\"key\":12,\"other\":\"") << false;
        QTest::newRow("date as text") << QByteArray(valid).replace("\"receivedAt\":",
                                                                   "\"receivedAt\":\"2001\",\"ignored\":")
                                      << false;
        QTest::newRow("huge date") << QByteArray(valid).replace("\"receivedAt\":", "\"receivedAt\":1e300,\"x\":")
                                   << false;
    }

    void loadingKeepsTheQueue()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, usable);
        QTemporaryDir dir;
        const QString path = dir.filePath("telemetrysignalcache");
        SignalCache cache(std::nullopt, path);
        const QList<SignalPostBody> queued{makeRecord("queued-1"), makeRecord("queued-2")};
        cache.appendSignals(queued);
        QVERIFY(writeFile(path, content));
        cache.loadFromDisk();
        QCOMPARE(QFile::exists(path), usable); // an unusable file is deleted
        QCOMPARE(cache.snapshot(), usable ? *SignalPostBody::decodeCache(content) + queued : queued);
    }
};

TOLVANE_TEST_GUILESS_MAIN(TelemetryCacheTest)
#include "tst_telemetry_cache.moc"
