// Upload path: batching, endpoint, wire format checked by a loopback ingestion stand-in,
// and what happens to a batch when the server fails.
#include "TelemetryTestSupport.h"

#include "Sha256.h"
#include "TelemetryClock.h"
#include "TelemetryDeck.h"

#include "support/TestMain.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

using namespace telemetrytest;

namespace {

SignalPostBody makeRecord(int index)
{
    return SignalPostBody{QDateTime::currentDateTimeUtc(),
                          QStringLiteral("TEST-APP"),
                          Sha256::hex(QStringLiteral("user")),
                          QStringLiteral("6C1D9D5E-0F7B-4D7E-9A33-0F3B2B0E8F11"),
                          QStringLiteral("record-%1").arg(index),
                          std::nullopt,
                          {{QStringLiteral("index"), QString::number(index)}},
                          QStringLiteral("false")};
}

// Starts the client against `base`, logging into `logs`, and returns its pipeline.
std::shared_ptr<SignalManager> startClient(const QUrl& base, LogCapture& logs,
                                           const std::optional<QString>& ns = std::nullopt)
{
    auto configuration = testConfiguration(base, QStringLiteral("TEST-APP"), ns);
    configuration->setLogHandler(logs.handler());
    TelemetryManager::initialize(configuration);
    return currentPipeline();
}

QJsonArray bodyArray(const QByteArray& body)
{
    const QJsonDocument document = QJsonDocument::fromJson(body);
    return document.array();
}

} // namespace

class TelemetryPipelineTest : public QObject {
    Q_OBJECT

private slots:
    void init() { resetClient(); }
    void cleanup()
    {
        TelemetryClock::setNowProvider({});
        resetClient();
    }

    void batchesLeaveInHundreds()
    {
        IngestionServer server;
        LogCapture logs;
        auto pipeline = startClient(server.baseUrl(), logs);
        QList<SignalPostBody> records;
        for (int i = 0; i < 250; ++i)
            records.append(makeRecord(i));
        pipeline->signalCache().appendSignals(records);

        const QList<int> expectedSizes{100, 100, 50};
        int next = 0;
        for (int tick = 0; tick < 3; ++tick) {
            pipeline->flushBatch();
            QTRY_COMPARE(server.requests().size(), tick + 1);
            const QJsonArray batch = bodyArray(server.requests().at(tick).body);
            QCOMPARE(batch.size(), expectedSizes.at(tick));
            for (const QJsonValue& record : batch) // order kept within and across batches
                QCOMPARE(record.toObject().value("type").toString(), QStringLiteral("record-%1").arg(next++));
        }
        QVERIFY(logs.contains("Sending 100 signals leaving a cache of 150 signals", LogLevel::info));
        QVERIFY(logs.contains("Sending 50 signals leaving a cache of 0 signals", LogLevel::info));
        QTRY_COMPARE(pipeline->batchesInFlight(), 0);
        QCOMPARE(pipeline->signalCache().count(), 0);

        // An empty queue sends nothing and only reports its count.
        logs.clear();
        pipeline->flushBatch();
        QTest::qWait(100);
        QCOMPARE(server.requests().size(), 3);
        QCOMPARE(logs.messages(), QStringList{"Current signal cache count: 0"});
    }

    void endpointPath_data()
    {
        QTest::addColumn<QString>("base");
        QTest::addColumn<QString>("ns");
        QTest::addColumn<bool>("hasNamespace");
        QTest::addColumn<QString>("expected");

        QTest::newRow("plain") << "https://nom.telemetrydeck.com/" << "" << false << "https://nom.telemetrydeck.com/v2/";
        QTest::newRow("empty namespace") << "https://nom.telemetrydeck.com/" << "" << true << "https://nom.telemetrydeck.com/v2/";
        QTest::newRow("namespace") << "https://nom.telemetrydeck.com/" << "abc" << true
                                   << "https://nom.telemetrydeck.com/v2/namespace/abc/";
        QTest::newRow("base with path") << "https://example.org/api/x" << "abc" << true
                                        << "https://example.org/v2/namespace/abc/";
        QTest::newRow("namespace cannot climb") << "https://example.org/" << "a/../../b" << true
                                                << "https://example.org/v2/namespace/a%2F..%2F..%2Fb/";
        QTest::newRow("loopback http") << "http://127.0.0.1:8080/" << "" << false << "http://127.0.0.1:8080/v2/";
        QTest::newRow("remote plain http") << "http://example.org/" << "" << false << "";
        QTest::newRow("other scheme") << "ftp://example.org/" << "" << false << "";
        QTest::newRow("relative") << "just words" << "" << false << "";
    }

    void endpointPath()
    {
        QFETCH(QString, base);
        QFETCH(QString, ns);
        QFETCH(bool, hasNamespace);
        QFETCH(QString, expected);
        const TelemetryManagerConfiguration configuration(QStringLiteral("app"), std::nullopt, QUrl(base),
                                                          hasNamespace ? std::optional<QString>(ns) : std::nullopt);
        const std::optional<QUrl> url = SignalManager::signalEndpointURL(configuration);
        QCOMPARE(url ? url->toString(QUrl::FullyEncoded) : QString(), expected);
    }

    void uploadCarriesEveryFieldOfEveryRecord()
    {
        IngestionServer server;
        auto configuration = std::make_shared<TelemetryManagerConfiguration>(
            QStringLiteral("APP-42"), QStringLiteral("pepper"), server.baseUrl(), QStringLiteral("abc"));
        configuration->setSendNewSessionBeganSignal(false);
        configuration->setSessionStatsEnabled(false);
        configuration->setSendTimerInterval(std::chrono::hours(1));
        configuration->setDefaultUser(QStringLiteral("user-1"));
        configuration->setTestMode(true);
        TelemetryManager::initialize(configuration);
        auto pipeline = currentPipeline();
        const QString sessionID = configuration->sessionID().toString(QUuid::WithoutBraces).toUpper();

        TelemetryDeck::signal("pressed", {{"button", "ok \"quoted\"\n"}});
        TelemetryDeck::signal("zero", {}, 0.0);
        TelemetryDeck::signal("custom", {{"TelemetryDeck.Device.platform", "Overridden"}}, 2.5, QStringLiteral("someone"));
        QVERIFY(waitForCount(pipeline->signalCache(), 3));
        const QDateTime before = QDateTime::currentDateTimeUtc().addSecs(-60);
        pipeline->flushBatch();
        QTRY_COMPARE(server.requests().size(), 1);

        const IngestionServer::Request& request = server.requests().constFirst();
        QCOMPARE(request.method, "POST");
        QCOMPARE(request.path, "/v2/namespace/abc/");
        QCOMPARE(request.contentType, "application/json");
        // Fields in record order, no whitespace between them.
        QVERIFY(request.body.startsWith("[{\"receivedAt\":\""));
        QVERIFY(request.body.contains("\",\"appID\":\"APP-42\",\"clientUser\":\""));
        QVERIFY(request.body.contains("\"type\":\"zero\",\"floatValue\":0,\"payload\":{"));

        const QJsonArray records = bodyArray(request.body);
        QCOMPARE(records.size(), 3);
        const QRegularExpression datePattern(QStringLiteral("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\+0000$"));
        const QRegularExpression hashPattern(QStringLiteral("^[0-9a-f]{64}$"));
        const QStringList expectedUsers{Sha256::hex("user-1", "pepper"), Sha256::hex("user-1", "pepper"),
                                        Sha256::hex("someone", "pepper")};
        const QStringList expectedTypes{"pressed", "zero", "custom"};
        for (int i = 0; i < 3; ++i) {
            const QJsonObject record = records.at(i).toObject();
            const QStringList keys = record.keys();
            QCOMPARE(keys.contains("floatValue"), i != 0);
            QCOMPARE(keys.size(), i == 0 ? 7 : 8);
            const QString date = record.value("receivedAt").toString();
            QVERIFY2(datePattern.match(date).hasMatch(), qPrintable(date));
            const QDateTime parsed = QDateTime::fromString(date.left(19) + "Z", Qt::ISODate);
            QVERIFY(parsed >= before && parsed <= QDateTime::currentDateTimeUtc().addSecs(60));
            QCOMPARE(record.value("appID").toString(), QStringLiteral("APP-42"));
            const QString user = record.value("clientUser").toString();
            QVERIFY(hashPattern.match(user).hasMatch());
            QCOMPARE(user, expectedUsers.at(i));
            QCOMPARE(record.value("sessionID").toString(), sessionID);
            QCOMPARE(record.value("type").toString(), expectedTypes.at(i));
            QCOMPARE(record.value("isTestMode").toString(), QStringLiteral("true"));
            const QJsonObject payload = record.value("payload").toObject();
            for (auto it = payload.begin(); it != payload.end(); ++it)
                QVERIFY2(it.value().isString(), qPrintable(it.key()));
            QCOMPARE(payload.value("platform").toString(), QStringLiteral("Linux"));
            QCOMPARE(payload.value("TelemetryDeck.SDK.nameAndVersion").toString(), QStringLiteral("SwiftSDK 2.11.0"));
            QVERIFY(payload.value("systemVersion").toString().startsWith("Linux "));
            QVERIFY(!payload.contains("TelemetryDeck.Accessibility.isReduceMotionEnabled"));
        }
        QCOMPARE(records.at(1).toObject().value("floatValue").toDouble(), 0.0);
        QCOMPARE(records.at(2).toObject().value("floatValue").toDouble(), 2.5);
        QCOMPARE(records.at(0).toObject().value("payload").toObject().value("button").toString(),
                 QStringLiteral("ok \"quoted\"\n"));
        QCOMPARE(records.at(2).toObject().value("payload").toObject().value("TelemetryDeck.Device.platform").toString(),
                 QStringLiteral("Overridden"));
        QCOMPARE(records.at(1).toObject().value("payload").toObject().value("TelemetryDeck.Device.platform").toString(),
                 QStringLiteral("Linux"));
    }

    void failedUploadKeepsTheBatch_data()
    {
        QTest::addColumn<int>("behaviour");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("responseBody");
        QTest::addColumn<bool>("kept");
        QTest::addColumn<QString>("expectedError");

        using B = IngestionServer::Behaviour;
        QTest::newRow("200") << int(B::respond) << 200 << QByteArray("{}") << false << "";
        QTest::newRow("202 with a complaint") << int(B::respond) << 202 << QByteArray("not json") << false << "";
        QTest::newRow("401") << int(B::respond) << 401 << QByteArray() << true << "Unauthorized (401)";
        QTest::newRow("403") << int(B::respond) << 403 << QByteArray() << true << "Forbidden (403)";
        QTest::newRow("413") << int(B::respond) << 413 << QByteArray() << true << "Payload is too large (413)";
        QTest::newRow("500") << int(B::respond) << 500 << QByteArray() << true << "Invalid status code 500";
        QTest::newRow("junk instead of HTTP") << int(B::junk) << 0 << QByteArray() << true << "";
        QTest::newRow("hangs") << int(B::hang) << 0 << QByteArray() << true << "";
        QTest::newRow("closes the connection") << int(B::closeConnection) << 0 << QByteArray() << true << "";
    }

    void failedUploadKeepsTheBatch()
    {
        QFETCH(int, behaviour);
        QFETCH(int, status);
        QFETCH(QByteArray, responseBody);
        QFETCH(bool, kept);
        QFETCH(QString, expectedError);

        IngestionServer server;
        server.setBehaviour(IngestionServer::Behaviour(behaviour), status, responseBody);
        LogCapture logs;
        auto pipeline = startClient(server.baseUrl(), logs);
        const QList<SignalPostBody> records{makeRecord(1), makeRecord(2), makeRecord(3)};
        pipeline->signalCache().appendSignals(records);

        pipeline->flushBatch();
        // The transport may try a dropped connection once more on its own.
        QTRY_VERIFY(server.requests().size() >= 1);
        QTRY_COMPARE_WITH_TIMEOUT(pipeline->batchesInFlight(), 0, 5000);
        if (kept) {
            QCOMPARE(pipeline->signalCache().snapshot(), records);
            QCOMPARE(logs.messages(LogLevel::error).size(), 1);
            if (!expectedError.isEmpty())
                QCOMPARE(logs.messages(LogLevel::error).constFirst(), expectedError);
            // The next tick tries the same batch again.
            server.setBehaviour(IngestionServer::Behaviour::respond, 200);
            server.clear();
            pipeline->flushBatch();
            QTRY_COMPARE(server.requests().size(), 1);
            QTRY_COMPARE(pipeline->signalCache().count(), 0);
            QCOMPARE(bodyArray(server.requests().at(0).body).size(), 3);
        } else {
            QCOMPARE(pipeline->signalCache().count(), 0);
            QVERIFY(logs.messages(LogLevel::error).isEmpty());
        }
    }

    void batchKeptWithoutAServer_data()
    {
        QTest::addColumn<QUrl>("base");
        QTest::addColumn<QStringList>("errors"); // empty: any one error
        QTest::newRow("unreachable") << unreachableUrl() << QStringList{};
        QTest::newRow("unusable endpoint") << QUrl("http://example.org/")
                                           << QStringList{"Unable to construct signal API URL for namespace ns",
                                                          "Invalid endpoint URL"};
    }

    void batchKeptWithoutAServer()
    {
        QFETCH(QUrl, base);
        QFETCH(QStringList, errors);
        LogCapture logs;
        auto pipeline = startClient(base, logs, QStringLiteral("ns"));
        pipeline->signalCache().appendSignals(makeRecord(1));
        pipeline->flushBatch();
        QTRY_COMPARE(pipeline->batchesInFlight(), 0);
        QCOMPARE(pipeline->signalCache().count(), 1);
        if (errors.isEmpty())
            QCOMPARE(logs.messages(LogLevel::error).size(), 1);
        for (const QString& error : std::as_const(errors))
            QVERIFY2(logs.contains(error, LogLevel::error), qPrintable(error));
    }

    void immediateSyncAtMostOncePerTenSeconds()
    {
        IngestionServer server;
        QDateTime now = QDateTime::currentDateTimeUtc();
        TelemetryClock::setNowProvider([&now] { return now; });
        TelemetryManager::initialize(testConfiguration(server.baseUrl()));
        auto pipeline = currentPipeline();
        pipeline->signalCache().appendSignals({makeRecord(1), makeRecord(2)});

        TelemetryManager::requestImmediateSync();
        TelemetryManager::requestImmediateSync();
        QTRY_COMPARE(server.requests().size(), 1);
        pipeline->signalCache().appendSignals(makeRecord(3));
        now = now.addSecs(10);
        TelemetryManager::requestImmediateSync();
        QTest::qWait(300);
        QCOMPARE(server.requests().size(), 1);
        now = now.addSecs(1);
        TelemetryManager::requestImmediateSync();
        QTRY_COMPARE(server.requests().size(), 2);
    }

    void timerSendsWithoutBeingAsked()
    {
        IngestionServer server;
        auto configuration = testConfiguration(server.baseUrl());
        configuration->setSendTimerInterval(std::chrono::milliseconds(100));
        TelemetryManager::initialize(configuration);
        currentPipeline()->signalCache().appendSignals(makeRecord(1));
        QTRY_COMPARE(server.requests().size(), 1);
    }
};

TOLVANE_TEST_GUILESS_MAIN(TelemetryPipelineTest)
#include "tst_telemetry_pipeline.moc"
