// The ready-made signal families: timed signals, navigation, errors, presets, purchases
// and the currency conversion.
#include "TelemetryTestSupport.h"

#include "AnyIdentifiableError.h"
#include "ApplicationActivity.h"
#include "CurrencyTable.h"
#include "DurationSignalTracker.h"
#include "NavigationStatus.h"
#include "TelemetryClock.h"
#include "TelemetryDeck.h"
#include "TrialConversionTracker.h"

#include "support/TestMain.h"

#include <stdexcept>

using namespace telemetrytest;

class TelemetrySignalFamiliesTest : public QObject {
    Q_OBJECT

    QDateTime m_now;
    LogCapture m_logs;

    void advance(double seconds) { m_now = m_now.addMSecs(qint64(seconds * 1000)); }

    // Everything queued so far (after a marker signal has gone the same way).
    QList<SignalPostBody> sent()
    {
        TelemetryDeck::signal("marker");
        SignalCache& cache = currentPipeline()->signalCache();
        [&] { QTRY_VERIFY_WITH_TIMEOUT(!cache.snapshot().isEmpty() && cache.snapshot().constLast().type == "marker", 20000); }();
        QList<SignalPostBody> records = cache.snapshot();
        records.removeLast();
        cache.takeBatch();
        return records;
    }

private slots:
    void init()
    {
        resetClient();
        m_now = QDateTime(QDate(2024, 5, 15), QTime(12, 0), Qt::UTC);
        TelemetryClock::setNowProvider([this] { return m_now; });
        auto configuration = testConfiguration(unreachableUrl());
        m_logs.clear();
        configuration->setLogHandler(m_logs.handler(LogLevel::info));
        TelemetryManager::initialize(configuration);
    }
    void cleanup()
    {
        TelemetryClock::setNowProvider({});
        resetClient();
    }

    void durationText_data()
    {
        QTest::addColumn<qint64>("milliseconds");
        QTest::addColumn<QString>("expected");
        QTest::newRow("zero") << qint64(0) << "0.0";
        QTest::newRow("whole") << qint64(3000) << "3.0";
        QTest::newRow("milliseconds") << qint64(12345) << "12.345";
        QTest::newRow("trailing zeros") << qint64(1500) << "1.5";
        QTest::newRow("below a second") << qint64(999) << "0.999";
        QTest::newRow("one millisecond") << qint64(1001) << "1.001";
        QTest::newRow("clock went back") << qint64(-5) << "0.0";
    }

    void durationText()
    {
        QFETCH(qint64, milliseconds);
        QFETCH(QString, expected);
        QCOMPARE(DurationSignalTracker::durationText(milliseconds), expected);
    }

    void inactiveTimeIsLeftOut_data()
    {
        QTest::addColumn<bool>("includeBackgroundTime");
        QTest::addColumn<QString>("expected");
        // Milliseconds are kept, not rounded to whole seconds.
        QTest::newRow("active time only") << false << "9.999";
        QTest::newRow("with background time") << true << "39.999";
    }

    void inactiveTimeIsLeftOut()
    {
        QFETCH(bool, includeBackgroundTime);
        QFETCH(QString, expected);
        TelemetryDeck::startDurationSignal("timed", {{"from", "start"}, {"both", "start"}}, includeBackgroundTime);
        ApplicationActivity::postDidResignActive();
        advance(30);
        ApplicationActivity::postWillBecomeActive();
        m_now = m_now.addMSecs(9999);
        TelemetryDeck::stopAndSendDurationSignal("timed", {{"both", "stop"}}, 1.5, QStringLiteral("u"));
        const QList<SignalPostBody> records = sent();
        QCOMPARE(records.size(), 1);
        QCOMPARE(records.constFirst().type, QStringLiteral("timed"));
        QCOMPARE(records.constFirst().payload.value("TelemetryDeck.Signal.durationInSeconds"), expected);
        QCOMPARE(records.constFirst().payload.value("from"), QStringLiteral("start"));
        QCOMPARE(records.constFirst().payload.value("both"), QStringLiteral("stop"));
        QCOMPARE(records.constFirst().floatValue, std::optional<double>(1.5));
    }

    void timedSignalBookkeeping()
    {
        TelemetryDeck::stopAndSendDurationSignal("never-started");
        TelemetryDeck::startDurationSignal("cancelled");
        TelemetryDeck::cancelDurationSignal("cancelled");
        TelemetryDeck::stopAndSendDurationSignal("cancelled");
        QVERIFY(sent().isEmpty());

        TelemetryDeck::startDurationSignal("again", {{"first", "1"}});
        advance(20);
        TelemetryDeck::startDurationSignal("again", {{"second", "2"}}); // restarts the clock
        advance(3);
        TelemetryDeck::stopAndSendDurationSignal("again");
        const SignalParameters payload = sent().constFirst().payload;
        QCOMPARE(payload.value("TelemetryDeck.Signal.durationInSeconds"), QStringLiteral("3.0"));
        QVERIFY(!payload.contains("first"));
        QCOMPARE(payload.value("second"), QStringLiteral("2"));
    }

    void navigation()
    {
        NavigationStatus::setPreviousNavigationPath(std::nullopt);
        TelemetryDeck::navigationPathChangedTo("settings");
        TelemetryDeck::navigationPathChangedTo("about");
        TelemetryDeck::navigationPathChanged("a", "b", QStringLiteral("u"));
        const QList<SignalPostBody> records = sent();
        QCOMPARE(records.size(), 3);
        const QString p = QStringLiteral("TelemetryDeck.Navigation.");
        QCOMPARE(records.at(0).type, QStringLiteral("TelemetryDeck.Navigation.pathChanged"));
        QCOMPARE(records.at(0).payload.value(p + "identifier"), QStringLiteral(" -> settings"));
        QCOMPARE(records.at(0).payload.value(p + "sourcePath"), QString());
        QCOMPARE(records.at(0).payload.value(p + "schemaVersion"), QStringLiteral("1"));
        QCOMPARE(records.at(1).payload.value(p + "identifier"), QStringLiteral("settings -> about"));
        QCOMPARE(records.at(2).payload.value(p + "destinationPath"), QStringLiteral("b"));
        QCOMPARE(NavigationStatus::previousNavigationPath(), std::optional<QString>("b"));
    }

    void errors()
    {
        TelemetryDeck::errorOccurred("E1");
        TelemetryDeck::errorOccurred("E2", ErrorCategory::userInput, QStringLiteral("bad input"),
                                     {{"TelemetryDeck.Error.id", "caller wins"}}, 4.0);
        const AnyIdentifiableError wrapped = AnyIdentifiableError::with(std::runtime_error("disk full"), "E3");
        TelemetryDeck::errorOccurred(wrapped, ErrorCategory::thrownException);
        TelemetryDeck::errorOccurred(wrapped, ErrorCategory::appState, std::nullopt);
        const QList<SignalPostBody> records = sent();
        QCOMPARE(records.size(), 4);
        const QString p = QStringLiteral("TelemetryDeck.Error.");
        QCOMPARE(records.at(0).payload.value(p + "id"), QStringLiteral("E1"));
        QVERIFY(!records.at(0).payload.contains(p + "category"));
        QVERIFY(!records.at(0).payload.contains(p + "message"));
        QCOMPARE(records.at(1).payload.value(p + "id"), QStringLiteral("caller wins"));
        QCOMPARE(records.at(1).payload.value(p + "category"), QStringLiteral("user-input"));
        QCOMPARE(records.at(1).floatValue, std::optional<double>(4.0));
        QCOMPARE(records.at(2).payload.value(p + "message"), QStringLiteral("disk full"));
        QCOMPARE(records.at(2).payload.value(p + "category"), QStringLiteral("thrown-exception"));
        QVERIFY(!records.at(3).payload.contains(p + "message"));
    }

    void rating_data()
    {
        QTest::addColumn<int>("rating");
        QTest::addColumn<bool>("sentOut");
        QTest::newRow("-1") << -1 << false;
        QTest::newRow("0") << 0 << true;
        QTest::newRow("10") << 10 << true;
        QTest::newRow("11") << 11 << false;
    }

    void rating()
    {
        QFETCH(int, rating);
        QFETCH(bool, sentOut);
        TelemetryDeck::userRatingSubmitted(rating, QStringLiteral("nice"));
        const QList<SignalPostBody> records = sent();
        QCOMPARE(records.size(), sentOut ? 1 : 0);
        QCOMPARE(m_logs.contains("Rating must be between 0 and 10", LogLevel::error), !sentOut);
        if (sentOut) {
            QCOMPARE(records.constFirst().payload.value("TelemetryDeck.Referral.ratingValue"), QString::number(rating));
            QCOMPARE(records.constFirst().payload.value("TelemetryDeck.Referral.ratingComment"), QStringLiteral("nice"));
        }
    }

    void presets()
    {
        TelemetryDeck::referralSent(3);
        TelemetryDeck::referralSent(1, QStringLiteral("email"), {{"TelemetryDeck.Referral.receiversCount", "9"}});
        TelemetryDeck::coreFeatureUsed("switching");
        const QList<SignalPostBody> records = sent();
        QCOMPARE(records.at(0).type, QStringLiteral("TelemetryDeck.Referral.sent"));
        QCOMPARE(records.at(0).payload.value("TelemetryDeck.Referral.receiversCount"), QStringLiteral("3"));
        QVERIFY(!records.at(0).payload.contains("TelemetryDeck.Referral.kind"));
        QCOMPARE(records.at(1).payload.value("TelemetryDeck.Referral.kind"), QStringLiteral("email"));
        QCOMPARE(records.at(1).payload.value("TelemetryDeck.Referral.receiversCount"), QStringLiteral("9"));
        QCOMPARE(records.at(2).payload.value("TelemetryDeck.Activation.featureName"), QStringLiteral("switching"));
        QVERIFY(m_logs.messages(LogLevel::error).isEmpty()); // the client's own names draw no warning
    }

    void currency_data()
    {
        QTest::addColumn<double>("price");
        QTest::addColumn<QString>("currency");
        QTest::addColumn<double>("dollars");
        QTest::newRow("EUR") << 9.99 << "EUR" << 9.99 / 0.9533;
        QTest::newRow("USD") << 9.99 << "USD" << 9.99;
        QTest::newRow("JPY") << 1000.0 << "JPY" << 1000.0 / 152.3479;
        QTest::newRow("unknown") << 9.99 << "XYZ" << 0.0;
        QTest::newRow("absent") << 9.99 << "" << 0.0;
    }

    void currency()
    {
        QFETCH(double, price);
        QFETCH(QString, currency);
        QFETCH(double, dollars);
        StoreTransaction purchase;
        purchase.productID = "pro";
        purchase.price = price;
        if (!currency.isEmpty())
            purchase.currencyCode = currency;
        purchase.storefrontCountryCode = "DEU";
        TelemetryDeck::purchaseCompleted(purchase);
        const SignalPostBody record = sent().constFirst();
        QCOMPARE(record.type, QStringLiteral("TelemetryDeck.Purchase.completed"));
        QCOMPARE(record.floatValue.value_or(-1), dollars);
        QCOMPARE(record.payload.value("TelemetryDeck.Purchase.type"), QStringLiteral("one-time-purchase"));
        QCOMPARE(record.payload.contains("TelemetryDeck.Purchase.currencyCode"), !currency.isEmpty());
        if (currency == "EUR")
            QVERIFY(qAbs(*record.floatValue - 10.48) < 0.005);
    }

    void freeTrialConversion()
    {
        StoreTransaction trial;
        trial.productID = "pro.monthly";
        trial.originalTransactionID = 2000000123456789ull;
        trial.isSubscription = trial.isAutoRenewableSubscription = trial.usesIntroductoryOffer = true;
        trial.offerPaymentMode = "FREE_TRIAL";
        trial.price = 0.0;
        trial.currencyCode = "EUR";
        TelemetryDeck::purchaseCompleted(trial);
        QList<SignalPostBody> records = sent();
        QCOMPARE(records.size(), 1);
        QCOMPARE(records.constFirst().type, QStringLiteral("TelemetryDeck.Purchase.freeTrialStarted"));
        QVERIFY(!records.constFirst().floatValue);
        TrialConversionTracker& tracker = TrialConversionTracker::shared();
        QCOMPARE(tracker.lastTrial(), (std::optional<StoredTrial>({"pro.monthly", 2000000123456789ull})));
        tracker.waitForPendingWrites();
        QCOMPARE(StoredTrial::decode(TelemetryManager::clientSuite()->value("lastTrial").toByteArray()), tracker.lastTrial());

        tracker.transactionUpdated(trial); // still in the trial
        StoreTransaction other = trial;
        other.productID = "other";
        other.usesIntroductoryOffer = false;
        tracker.transactionUpdated(other); // another product
        QVERIFY(sent().isEmpty());

        StoreTransaction paid = trial;
        paid.usesIntroductoryOffer = false;
        paid.offerPaymentMode.reset();
        paid.price = 9.99;
        tracker.transactionUpdated(paid);
        records = sent();
        QCOMPARE(records.size(), 1);
        QCOMPARE(records.constFirst().type, QStringLiteral("TelemetryDeck.Purchase.convertedFromTrial"));
        QCOMPARE(records.constFirst().floatValue, std::optional<double>(9.99 / 0.9533));
        QVERIFY(!tracker.isWatching());
        tracker.waitForPendingWrites();
        QVERIFY(!TelemetryManager::clientSuite()->contains("lastTrial"));

        // A revoked trial is forgotten without a signal.
        tracker.freeTrialStarted({"pro.monthly", 7});
        StoreTransaction revoked = paid;
        revoked.originalTransactionID = 7;
        revoked.isRevoked = true;
        tracker.transactionUpdated(revoked);
        QVERIFY(sent().isEmpty());
        QVERIFY(!tracker.lastTrial());
    }
};

TOLVANE_TEST_GUILESS_MAIN(TelemetrySignalFamiliesTest)
#include "tst_telemetry_signals.moc"
