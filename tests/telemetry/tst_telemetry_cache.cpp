// The queue's two encodings and the cache file: saving, loading across processes, and
// files that must not be trusted.
#include "TelemetryTestSupport.h"

#include "TelemetryDeck.h"

#include "support/TestMain.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <cmath>
#include <limits>

using namespace telemetrytest;

namespace {

SignalPostBody record(const QString& type, std::optional<double> value = std::nullopt)
{
    return SignalPostBody{QDateTime::fromMSecsSinceEpoch(1'700'000'000'123, Qt::UTC),
                          QStringLiteral("APP"),
                          QString(64, QLatin1Char('a')),
                          QStringLiteral("6C1D9D5E-0F7B-4D7E-9A33-0F3B2B0E8F11"),
                          type,
                          value,
                          {{QStringLiteral("key"), QStringLiteral("välue \"q\" \\ \t\x01 ☃")}},
                          QStringLiteral("false")};
}

void writeFile(const QString& path, const QByteArray& data)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(data), data.size());
}

} // namespace

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
        QTest::newRow("fraction dropped on upload") << qint64(978'307'261'750) << QByteArray("2001-01-01T00:01:01+0000")
                                                    << QByteArray("61.75");
        QTest::newRow("before the reference") << qint64(0) << QByteArray("1970-01-01T00:00:00+0000")
                                              << QByteArray("-978307200");
    }

    void encodings()
    {
        QFETCH(qint64, msecs);
        QFETCH(QByteArray, uploadDate);
        QFETCH(QByteArray, cacheDate);
        SignalPostBody body = record("t");
        body.receivedAt = QDateTime::fromMSecsSinceEpoch(msecs, Qt::UTC);
        QVERIFY(SignalPostBody::encodeForUpload({body}).startsWith("[{\"receivedAt\":\"" + uploadDate + "\",\"appID\""));
        QVERIFY(SignalPostBody::encodeForCache({body}).startsWith("[{\"receivedAt\":" + cacheDate + ",\"appID\""));
        const auto decoded = SignalPostBody::decodeCache(SignalPostBody::encodeForCache({body}));
        QVERIFY(decoded);
        QCOMPARE(decoded->constFirst(), body);
    }

    void floatValueKey()
    {
        const QList<SignalPostBody> records{record("none"), record("zero", 0.0), record("small", 1e-300),
                                            record("nan", std::numeric_limits<double>::quiet_NaN()),
                                            record("infinite", std::numeric_limits<double>::infinity())};
        const QByteArray upload = SignalPostBody::encodeForUpload(records);
        QJsonParseError error{};
        const QJsonArray array = QJsonDocument::fromJson(upload, &error).array();
        QCOMPARE(error.error, QJsonParseError::NoError); // never unencodable, whatever the value
        QVERIFY(!array.at(0).toObject().contains("floatValue"));
        QCOMPARE(array.at(1).toObject().value("floatValue").toDouble(), 0.0);
        QVERIFY(upload.contains("\"type\":\"zero\",\"floatValue\":0,"));
        QCOMPARE(array.at(2).toObject().value("floatValue").toDouble(), 1e-300);
        QVERIFY(!array.at(3).toObject().contains("floatValue"));
        QVERIFY(!array.at(4).toObject().contains("floatValue"));
        const auto decoded = SignalPostBody::decodeCache(SignalPostBody::encodeForCache(records.first(3)));
        QVERIFY(decoded);
        QCOMPARE(*decoded, records.first(3));
    }

    void saveThenLoad()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("telemetrysignalcache");
        LogCapture logs;
        const QList<SignalPostBody> records{record("a"), record("b", 0.0), record("c", 3.25)};
        {
            SignalCache cache(logs.handler(), path);
            cache.appendSignals(records);
            QVERIFY(cache.saveToDisk());
            QCOMPARE(cache.count(), 0);
        }
        const qint64 size = QFileInfo(path).size();
        QVERIFY(size > 0);
        QVERIFY(logs.contains(QStringLiteral("Saved Telemetry cache %1 bytes of 3 signals").arg(size), LogLevel::info));

        logs.clear();
        SignalCache loaded(logs.handler(), path);
        QCOMPARE(loaded.snapshot(), records);
        QVERIFY(!QFile::exists(path));
        QCOMPARE(logs.messages(LogLevel::info),
                 (QStringList{"Loading Telemetry cache from: " + path, "Loaded 3 signals"}));
    }

    void failedSaveKeepsTheRecords()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath("not-a-directory"), "x");
        LogCapture logs;
        SignalCache cache(logs.handler(), dir.filePath("not-a-directory/telemetrysignalcache"));
        cache.appendSignals(record("kept"));
        QVERIFY(!cache.saveToDisk());
        QCOMPARE(cache.count(), 1);
        QVERIFY(logs.contains("Error saving Telemetry cache", LogLevel::error));
    }

    void untrustworthyCacheFile_data()
    {
        QTest::addColumn<QByteArray>("content");
        const QByteArray valid = SignalPostBody::encodeForCache({record("x"), record("y")});
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("junk") << QByteArray("\x00\xff\xfejunk{[", 9);
        QTest::newRow("truncated") << valid.left(valid.size() / 2);
        QTest::newRow("50 MB") << ("[" + QByteArray(50 * 1024 * 1024, ' ') + "]");
        QTest::newRow("object, not a list") << QByteArray("{\"receivedAt\":1}");
        QTest::newRow("list of numbers") << QByteArray("[1,2,3]");
        QByteArray missing = valid;
        missing.replace("\"type\":\"y\",", "");
        QTest::newRow("record without a type") << missing;
        QByteArray numericPayload = valid;
        numericPayload.replace("\"key\":\"", "\"key\":12,\"other\":\"");
        QTest::newRow("payload value not a text") << numericPayload;
        QByteArray textDate = valid;
        textDate.replace("\"receivedAt\":", "\"receivedAt\":\"2001\",\"ignored\":");
        QTest::newRow("date as text") << textDate;
        QTest::newRow("huge date") << QByteArray(valid).replace("\"receivedAt\":", "\"receivedAt\":1e300,\"x\":");
    }

    void untrustworthyCacheFile()
    {
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        const QString path = dir.filePath("telemetrysignalcache");
        SignalCache cache(std::nullopt, path);
        const QList<SignalPostBody> queued{record("queued-1"), record("queued-2")};
        cache.appendSignals(queued);
        writeFile(path, content);
        cache.loadFromDisk();
        QVERIFY(!QFile::exists(path));
        QCOMPARE(cache.snapshot(), queued);
    }

    void loadedRecordsGoInFrontOfQueuedOnes()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("telemetrysignalcache");
        SignalCache cache(std::nullopt, path);
        cache.appendSignals(record("newer"));
        writeFile(path, SignalPostBody::encodeForCache({record("older")}));
        cache.loadFromDisk(); // nothing queued may be replaced away
        QCOMPARE(cache.count(), 2);
        QCOMPARE(cache.snapshot().at(0).type, QStringLiteral("older"));
        QCOMPARE(cache.snapshot().at(1).type, QStringLiteral("newer"));
    }

    void queueSurvivesTheProcess()
    {
        QProcess helper;
        helper.start(QStringLiteral(TELEMETRY_CACHE_HELPER), {QStringLiteral("signals"), QStringLiteral("3")});
        QVERIFY(helper.waitForFinished(15000));
        QCOMPARE(helper.exitStatus(), QProcess::NormalExit);
        QCOMPARE(helper.exitCode(), 0);
        QVERIFY(QFile::exists(SignalCache::cacheFileURL()));

        // The next start loads the records, deletes the file and sends them in its first flush.
        IngestionServer server;
        LogCapture logs;
        auto configuration = testConfiguration(server.baseUrl());
        configuration->setLogHandler(logs.handler());
        TelemetryManager::initialize(configuration);
        QVERIFY(logs.contains("Loaded 3 signals", LogLevel::info));
        QVERIFY(!QFile::exists(SignalCache::cacheFileURL()));
        QTRY_COMPARE(server.requests().size(), 1);
        const QJsonArray sent = QJsonDocument::fromJson(server.requests().constFirst().body).array();
        QCOMPARE(sent.size(), 3);
        for (int i = 0; i < 3; ++i) {
            const QJsonObject object = sent.at(i).toObject();
            QCOMPARE(object.value("type").toString(), QStringLiteral("helper-%1").arg(i));
            QCOMPARE(object.value("appID").toString(), QStringLiteral("HELPER-APP"));
            QCOMPARE(object.value("payload").toObject().value("index").toString(), QString::number(i));
        }
    }

    void launchLeavesItsSignalsForTheNextStart()
    {
        QProcess helper;
        helper.start(QStringLiteral(TELEMETRY_CACHE_HELPER), {QStringLiteral("launch")});
        QVERIFY(helper.waitForFinished(15000));
        QCOMPARE(helper.exitCode(), 0);
        QHash<QString, SignalPostBody> byType;
        for (const SignalPostBody& body : SignalCache(std::nullopt).snapshot())
            byType.insert(body.type, body);
        QVERIFY2(byType.contains("appLaunched"), qPrintable(byType.keys().join(',')));
        QVERIFY2(byType.contains("TelemetryDeck.Session.started"), qPrintable(byType.keys().join(',')));
        // The launch signal carries the initial session; the first real session replaces it.
        QVERIFY(byType["appLaunched"].sessionID != byType["TelemetryDeck.Session.started"].sessionID);
        QCOMPARE(byType["appLaunched"].appID, QStringLiteral("5V1I0D37-9A42-4R6O-8V21-3A7V9O04R6O2"));
    }
};

TOLVANE_TEST_GUILESS_MAIN(TelemetryCacheTest)
#include "tst_telemetry_cache.moc"
