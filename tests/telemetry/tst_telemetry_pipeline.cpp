// Upload path: batching, endpoint, wire format checked by a loopback ingestion stand-in,
// and what happens to a batch when the server fails.
#include "TelemetryTestSupport.h"

#include "Sha256.h"
#include "TelemetryClock.h"
#include "TelemetryDeck.h"

#include "support/TestMain.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace telemetrytest;

namespace {

QJsonArray bodyArray(const QByteArray& body)
{
    return QJsonDocument::fromJson(body).array();
}

} // namespace

class TelemetryPipelineTest : public QObject {
    Q_OBJECT

    LogCapture m_logs;

    // Starts the client against `base`, logging into m_logs, and returns its pipeline.
    std::shared_ptr<SignalManager> startClient(const QUrl& base, const std::optional<QString>& ns = std::nullopt)
    {
        auto configuration = testConfiguration(base, ns);
        m_logs = LogCapture();
        configuration->setLogHandler(m_logs.handler());
        TelemetryManager::initialize(configuration);
        return currentPipeline();
    }

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
        auto pipeline = startClient(server.url());
        for (int i = 0; i < 250; ++i)
            pipeline->signalCache().appendSignals(makeRecord(QStringLiteral("record-%1").arg(i)));

        int next = 0;
        for (int tick = 0; tick < 3; ++tick) {
            pipeline->flushBatch();
            QTRY_COMPARE(server.requests().size(), tick + 1);
            const QJsonArray batch = bodyArray(server.requests().at(tick).body);
            QCOMPARE(batch.size(), tick < 2 ? 100 : 50);
            for (const QJsonValue& record : batch) // order kept within and across batches
                QCOMPARE(record.toObject().value("type").toString(), QStringLiteral("record-%1").arg(next++));
        }
        QTRY_COMPARE(pipeline->batchesInFlight(), 0);
        QCOMPARE(pipeline->signalCache().count(), 0);
        pipeline->flushBatch(); // an empty queue sends nothing
        QTest::qWait(100);
        QCOMPARE(server.requests().size(), 3);
    }

    void endpointPath_data()
    {
        QTest::addColumn<QString>("base");
        QTest::addColumn<QString>("ns");
        QTest::addColumn<QString>("expected"); // empty: refused

        const auto row = [](const char* tag, const QString& base, const QString& ns, const QString& expected) {
            QTest::newRow(tag) << base << ns << expected;
        };
        row("no namespace", "https://nom.telemetrydeck.com/", "", "https://nom.telemetrydeck.com/v2/");
        row("base with path", "https://example.org/api/x", "abc", "https://example.org/v2/namespace/abc/");
        row("namespace cannot climb", "https://example.org/", "a/../../b",
            "https://example.org/v2/namespace/a%2F..%2F..%2Fb/");
        row("loopback http", "http://127.0.0.1:8080/", "", "http://127.0.0.1:8080/v2/");
        row("remote plain http", "http://example.org/", "", "");
        row("other scheme", "ftp://example.org/", "", "");
        row("relative", "just words", "", "");
    }

    void endpointPath()
    {
        QFETCH(QString, base);
        QFETCH(QString, ns);
        QFETCH(QString, expected);
        const TelemetryManagerConfiguration configuration(QStringLiteral("app"), std::nullopt, QUrl(base), ns);
        const std::optional<QUrl> url = SignalManager::signalEndpointURL(configuration);
        QCOMPARE(url ? url->toString(QUrl::FullyEncoded) : QString(), expected);
    }

    void uploadCarriesEveryFieldOfEveryRecord()
    {
        IngestionServer server;
        auto configuration = testConfiguration(server.url(), QStringLiteral("abc"), QStringLiteral("pepper"));
        configuration->setDefaultUser(QStringLiteral("user-1"));
        configuration->setTestMode(true);
        TelemetryManager::initialize(configuration);
        auto pipeline = currentPipeline();
        // The first session begins half a second after the start, possibly while the
        // signals are being built (slow under a sanitizer).
        QStringList sessionIDs{configuration->sessionID().toString(QUuid::WithoutBraces).toUpper()};

        TelemetryDeck::signal("pressed", {{"button", "ok \"quoted\"\n"}});
        TelemetryDeck::signal("zero", {}, 0.0);
        TelemetryDeck::signal("custom", {{"TelemetryDeck.Device.platform", "Overridden"}}, 2.5,
                              QStringLiteral("someone"));
        QVERIFY(waitForCount(pipeline->signalCache(), 3));
        const QDateTime before = QDateTime::currentDateTimeUtc().addSecs(-60);
        pipeline->flushBatch();
        QTRY_COMPARE(server.requests().size(), 1);

        const IngestionServer::Request request = server.requests().constFirst();
        QVERIFY2(request.head.startsWith("POST /v2/namespace/abc/ HTTP/1.1\r\n"), request.head.constData());
        QVERIFY2(request.head.contains("\r\nContent-Type: application/json"), request.head.constData());
        QVERIFY(request.body.contains("\",\"appID\":\"TEST-APP\",\"clientUser\":\"")); // the encoding: telemetry_cache

        const QJsonArray records = bodyArray(request.body);
        QCOMPARE(records.size(), 3);
        sessionIDs.append(configuration->sessionID().toString(QUuid::WithoutBraces).toUpper());
        const QList<std::tuple<QString, QString, QString>> expected{
            {"user-1", "pressed", "Linux"}, {"user-1", "zero", "Linux"}, {"someone", "custom", "Overridden"}};
        for (int i = 0; i < 3; ++i) {
            const auto& [user, type, devicePlatform] = expected.at(i);
            const QJsonObject record = records.at(i).toObject();
            QCOMPARE(record.keys().size(), i == 0 ? 7 : 8);
            const QString date = record.value("receivedAt").toString();
            const QDateTime parsed = QDateTime::fromString(date.left(19) + "Z", Qt::ISODate);
            QVERIFY2(date.endsWith("+0000") && parsed >= before && parsed <= QDateTime::currentDateTimeUtc(),
                     qPrintable(date));
            QCOMPARE(record.value("clientUser").toString(), Sha256::hex(user, "pepper")); // never the user's name
            QVERIFY(sessionIDs.contains(record.value("sessionID").toString()));
            QCOMPARE(record.value("type").toString(), type);
            QCOMPARE(record.value("isTestMode").toString(), QStringLiteral("true"));
            const QJsonObject payload = record.value("payload").toObject();
            for (auto it = payload.begin(); it != payload.end(); ++it)
                QVERIFY2(it.value().isString(), qPrintable(it.key()));
            QCOMPARE(payload.value("platform").toString(), QStringLiteral("Linux"));
            QCOMPARE(payload.value("TelemetryDeck.Device.platform").toString(), devicePlatform);
            QVERIFY(payload.value("systemVersion").toString().startsWith("Linux "));
        }
        QCOMPARE(records.at(0)["payload"]["button"].toString(), QStringLiteral("ok \"quoted\"\n"));
        QCOMPARE(records.at(2)["floatValue"].toDouble(), 2.5);
    }

    void failedUploadKeepsTheBatch_data()
    {
        QTest::addColumn<int>("behaviour");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("expectedError"); // empty: any one error

        using B = IngestionServer::Behaviour;
        QTest::newRow("401") << int(B::respond) << 401 << "Unauthorized (401)";
        QTest::newRow("403") << int(B::respond) << 403 << "Forbidden (403)";
        QTest::newRow("413") << int(B::respond) << 413 << "Payload is too large (413)";
        QTest::newRow("500") << int(B::respond) << 500 << "Invalid status code 500";
        QTest::newRow("junk instead of HTTP") << int(B::junk) << 0 << "";
        QTest::newRow("hangs") << int(B::hang) << 0 << "";
        QTest::newRow("closes the connection") << int(B::closeConnection) << 0 << "";
    }

    void failedUploadKeepsTheBatch()
    {
        QFETCH(int, behaviour);
        QFETCH(int, status);
        QFETCH(QString, expectedError);
        IngestionServer server;
        server.setBehaviour(IngestionServer::Behaviour(behaviour), status);
        auto pipeline = startClient(server.url());
        const QList<SignalPostBody> records{makeRecord("r1"), makeRecord("r2"), makeRecord("r3")};
        pipeline->signalCache().appendSignals(records);

        pipeline->flushBatch();
        // The transport may try a dropped connection once more on its own.
        QTRY_VERIFY(server.requests().size() >= 1);
        QTRY_COMPARE_WITH_TIMEOUT(pipeline->batchesInFlight(), 0, 5000);
        QCOMPARE(pipeline->signalCache().snapshot(), records);
        const QStringList errors = m_logs.messages(LogLevel::error);
        QCOMPARE(errors.size(), 1);
        if (!expectedError.isEmpty())
            QCOMPARE(errors.constFirst(), expectedError);
        // The next tick tries the same batch again.
        server.setBehaviour(IngestionServer::Behaviour::respond, 200);
        server.clear();
        pipeline->flushBatch();
        QTRY_COMPARE(server.requests().size(), 1);
        QTRY_COMPARE(pipeline->signalCache().count(), 0);
        QCOMPARE(bodyArray(server.requests().at(0).body).size(), 3);
    }

    void unusableEndpointKeepsTheBatch()
    {
        auto pipeline = startClient(QUrl("http://example.org/"), QStringLiteral("ns"));
        pipeline->signalCache().appendSignals(makeRecord("kept"));
        pipeline->flushBatch();
        QTRY_COMPARE(pipeline->batchesInFlight(), 0);
        QCOMPARE(pipeline->signalCache().count(), 1);
        QVERIFY(m_logs.contains("Unable to construct signal API URL for namespace ns", LogLevel::error));
        QVERIFY(m_logs.contains("Invalid endpoint URL", LogLevel::error));
    }

    void immediateSyncAtMostOncePerTenSeconds()
    {
        IngestionServer server;
        QDateTime now = QDateTime::currentDateTimeUtc();
        TelemetryClock::setNowProvider([&now] { return now; });
        TelemetryManager::initialize(testConfiguration(server.url()));
        auto pipeline = currentPipeline();
        pipeline->signalCache().appendSignals({makeRecord("r1"), makeRecord("r2")});

        TelemetryManager::requestImmediateSync();
        TelemetryManager::requestImmediateSync();
        QTRY_COMPARE(server.requests().size(), 1);
        pipeline->signalCache().appendSignals(makeRecord("r3"));
        now = now.addSecs(10);
        TelemetryManager::requestImmediateSync();
        QTest::qWait(300);
        QCOMPARE(server.requests().size(), 1);
        now = now.addSecs(1);
        TelemetryManager::requestImmediateSync();
        QTRY_COMPARE(server.requests().size(), 2);
    }

    // The timer sends without being asked. A server that keeps refusing is tried less and less
    // often; once it takes a batch, the timer is back at its period, and rests until the next
    // record wakes it.
    void failingUploadsBackOff()
    {
        IngestionServer server;
        server.setBehaviour(IngestionServer::Behaviour::respond, 503);
        auto configuration = testConfiguration(server.url());
        configuration->setSendTimerInterval(std::chrono::milliseconds(100));
        TelemetryManager::initialize(configuration);
        auto pipeline = currentPipeline();
        pipeline->signalCache().appendSignals(makeRecord("r1"));
        QTest::qWait(2000);
        // Tries at about 0.1, 0.3, 0.7 and 1.5 s; without a back-off, one every 0.1 s.
        const int tries = int(server.requests().size());
        QVERIFY2(tries >= 2 && tries <= 5, qPrintable(QString::number(tries)));

        server.setBehaviour(IngestionServer::Behaviour::respond, 200);
        QTRY_VERIFY_WITH_TIMEOUT(pipeline->signalCache().count() == 0 && pipeline->batchesInFlight() == 0, 5000);
        server.clear();
        QTest::qWait(300);
        pipeline->signalCache().appendSignals(makeRecord("r2"));
        QTRY_COMPARE_WITH_TIMEOUT(server.requests().size(), 1, 1000);
        QCOMPARE(bodyArray(server.requests().at(0).body).at(0)["type"].toString(), QStringLiteral("r2"));
    }

    // The early flush runs on the background worker: a busy main thread does not hold it up.
    void immediateSyncLeavesTheMainThreadAlone()
    {
        ThreadedIngestionServer upstream;
        TelemetryManager::initialize(testConfiguration(upstream.server().url()));
        currentPipeline()->signalCache().appendSignals({makeRecord("r1"), makeRecord("r2")});
        TelemetryManager::requestImmediateSync();
        std::this_thread::sleep_for(std::chrono::milliseconds(1500)); // no events handled meanwhile
        QCOMPARE(upstream.server().requests().size(), 1);
    }

    // Quit while a batch is on the wire: a batch the server takes within the wait is not
    // kept for a second upload; one it refuses, or does not answer in time, is.
    void quitWaitsForUploadsOnTheWire_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("answerAfterMs");
        QTest::addColumn<bool>("kept");
        QTest::newRow("accepted after 1.5 s") << 200 << 1500 << false;
        QTest::newRow("refused after 0.2 s") << 500 << 200 << true;
        QTest::newRow("no answer within 2 s") << 200 << 4000 << true;
    }

    void quitWaitsForUploadsOnTheWire()
    {
        QFETCH(int, status);
        QFETCH(int, answerAfterMs);
        QFETCH(bool, kept);
        ThreadedIngestionServer upstream;
        upstream.setBehaviour(IngestionServer::Behaviour::respond, status, answerAfterMs);
        auto configuration = testConfiguration(upstream.server().url());
        configuration->setUrlSession(std::make_shared<HttpSession>(10'000));
        TelemetryManager::initialize(configuration);
        auto pipeline = currentPipeline();
        pipeline->signalCache().appendSignals({makeRecord("on-the-wire-1"), makeRecord("on-the-wire-2")});
        pipeline->flushBatch();
        QTRY_COMPARE(upstream.server().requests().size(), 1);
        pipeline->signalCache().appendSignals(makeRecord("queued"));

        QElapsedTimer clock;
        clock.start();
        pipeline->appWillTerminate();
        QVERIFY(clock.elapsed() < 2500);
        QStringList saved;
        for (const SignalPostBody& record : SignalCache(std::nullopt).snapshot())
            saved.append(record.type);
        saved.sort(); // a refused batch goes back behind what was queued meanwhile
        QCOMPARE(saved, (kept ? QStringList{"on-the-wire-1", "on-the-wire-2", "queued"} : QStringList{"queued"}));
        QCOMPARE(upstream.server().requests().size(), 1);
    }
};

TOLVANE_TEST_GUILESS_MAIN(TelemetryPipelineTest)
#include "tst_telemetry_pipeline.moc"
