// Session statistics and the ready-made signal families: timed signals, navigation, errors
// and ratings. The clock is moved by hand.
#include "TelemetryTestSupport.h"

#include "AnyIdentifiableError.h"
#include "ApplicationActivity.h"
#include "NavigationStatus.h"
#include "SessionManager.h"
#include "TelemetryClock.h"
#include "TelemetryDeck.h"

#include "support/TestMain.h"

#include <stdexcept>

using namespace telemetrytest;

class TelemetrySignalsTest : public QObject {
    Q_OBJECT

    QDateTime m_now;
    LogCapture m_logs;

    void advance(double seconds) { m_now = m_now.addMSecs(qint64(seconds * 1000)); }
    QString today() const { return m_now.toLocalTime().date().toString(Qt::ISODate); }

    // Everything queued so far (after a marker signal has gone the same way), taken off the queue.
    QList<SignalPostBody> sent(const QString& type = {})
    {
        TelemetryDeck::signal("marker");
        SignalCache& cache = currentPipeline()->signalCache();
        [&] {
            QTRY_VERIFY_WITH_TIMEOUT(!cache.snapshot().isEmpty() && cache.snapshot().constLast().type == "marker",
                                     20000);
        }();
        QList<SignalPostBody> records = cache.takeBatch();
        records.removeLast();
        if (!type.isEmpty())
            records.removeIf([&type](const SignalPostBody& record) { return record.type != type; });
        return records;
    }

    static void storeSessions(const QList<StoredSession>& sessions, qint64 deleted = 0)
    {
        auto suite = TelemetryManager::clientSuite();
        suite->setValue("recentSessions", StoredSession::encode(sessions));
        suite->setValue("deletedSessionsCount", deleted);
    }

    static QVariant stored(const QString& key)
    {
        SessionManager::waitForPendingWrites();
        return TelemetryManager::clientSuite()->value(key);
    }

private slots:
    void init()
    {
        resetClient();
        m_now = QDateTime(QDate(2024, 5, 15), QTime(12, 0), Qt::UTC);
        TelemetryClock::setNowProvider([this] { return m_now; });
        auto configuration = testConfiguration();
        m_logs = LogCapture();
        configuration->setLogHandler(m_logs.handler(LogLevel::info));
        TelemetryManager::initialize(configuration);
        SessionManager::waitForPendingWrites();
        TelemetryManager::clientSuite()->clear();
    }
    void cleanup()
    {
        SessionManager::waitForPendingWrites();
        TelemetryClock::setNowProvider({});
        resetClient();
    }

    void sessionFigures_data()
    {
        QTest::addColumn<QList<qint64>>("durations");
        QTest::addColumn<qint64>("deleted");
        QTest::addColumn<QString>("average");
        QTest::addColumn<QString>("previous");
        QTest::addColumn<QString>("total");
        const auto row = [](const char* tag, const QList<qint64>& durations, qint64 deleted, const QString& average,
                            const QString& previous, const QString& total) {
            QTest::newRow(tag) << durations << deleted << average << previous << total;
        };
        row("none", {}, 0, "-1", "", "0");
        row("one", {70}, 0, "70", "", "1");
        row("100/200/50", {100, 200, 50}, 4, "150", "200", "7");
        row("mean truncated", {10, 11, 99}, 0, "10", "11", "3");
    }

    void sessionFigures()
    {
        QFETCH(QList<qint64>, durations);
        QFETCH(qint64, deleted);
        QFETCH(QString, average);
        QFETCH(QString, previous);
        QFETCH(QString, total);
        QList<StoredSession> sessions;
        for (int i = 0; i < durations.size(); ++i)
            sessions.append({m_now.toSecsSinceEpoch() - 86400 * (durations.size() - i), durations.at(i)});
        storeSessions(sessions, deleted);
        const SignalParameters figures = SessionManager().retentionParameters();
        QCOMPARE(figures.value("TelemetryDeck.Retention.averageSessionSeconds"), average);
        QCOMPARE(figures.contains("TelemetryDeck.Retention.previousSessionSeconds"), !previous.isEmpty());
        QCOMPARE(figures.value("TelemetryDeck.Retention.previousSessionSeconds"), previous);
        QCOMPARE(figures.value("TelemetryDeck.Retention.totalSessionsCount"), total);
        QCOMPARE(figures.value("TelemetryDeck.Acquisition.firstSessionDate"), today());
    }

    void storedSessionsAgeOut()
    {
        const qint64 day = 86400;
        const qint64 now = m_now.toSecsSinceEpoch();
        storeSessions({{now - 91 * day, 30}, {now - 89 * day, 40}}, 5);
        SessionManager sessions;
        QCOMPARE(sessions.recentSessions(), (QList<StoredSession>{{now - 89 * day, 40}}));
        QCOMPARE(stored("deletedSessionsCount").toLongLong(), 6);
        QCOMPARE(sessions.retentionParameters().value("TelemetryDeck.Retention.totalSessionsCount"),
                 QStringLiteral("7"));

        TelemetryManager::clientSuite()->setValue("recentSessions", QByteArray("{not json"));
        QVERIFY(SessionManager().recentSessions().isEmpty());
    }

    void firstStart()
    {
        const QString install = QStringLiteral("TelemetryDeck.Acquisition.newInstallDetected");
        {
            SessionManager tooShort; // quitting within the first second leaves no session
            tooShort.beginSession();
            advance(0.9);
            tooShort.updateSessionDuration();
            QVERIFY(tooShort.recentSessions().isEmpty());
        }
        SessionManager sessions;
        const qint64 start = m_now.toSecsSinceEpoch();
        sessions.beginSession();
        QCOMPARE(stored("firstSessionDate").toString(), today());
        const QList<SignalPostBody> installs = sent(install);
        QCOMPARE(installs.size(), 2);
        QCOMPARE(installs.constLast().payload.value("TelemetryDeck.Acquisition.firstSessionDate"), today());

        advance(1.2);
        sessions.updateSessionDuration();
        QCOMPARE(sessions.recentSessions(), (QList<StoredSession>{{start, 1}}));
        advance(1.0);
        sessions.updateSessionDuration(); // the same session, longer
        QCOMPARE(sessions.recentSessions(), (QList<StoredSession>{{start, 2}}));
        QCOMPARE(StoredSession::decode(stored("recentSessions").toByteArray()), sessions.recentSessions());

        // A later session of a known user is no new install.
        advance(5);
        sessions.beginSession();
        QVERIFY(sent(install).isEmpty());
    }

    void inactiveTimeIsNoSessionTime()
    {
        SessionManager sessions;
        // A session begun with no window active waits for one before it counts.
        ApplicationActivity::setActive(false);
        sessions.beginSession();
        QVERIFY(!sessions.isCountingActiveTime());
        advance(30);
        ApplicationActivity::setActive(true);
        QVERIFY(sessions.isCountingActiveTime());
        advance(5);
        sessions.updateSessionDuration();
        ApplicationActivity::postDidResignActive();
        QVERIFY(!sessions.isCountingActiveTime());
        advance(600);
        ApplicationActivity::postWillBecomeActive();
        QVERIFY(sessions.isCountingActiveTime());
        advance(5);
        sessions.updateSessionDuration();
        QCOMPARE(sessions.currentSessionDuration(), 10.0);
        QCOMPARE(sessions.recentSessions().constLast().durationInSeconds, 10);
    }

    void daysOfUse()
    {
        const QString firstDay = today();
        for (const int gap : {0, 3600, 86400, 86400 * 45}) { // the first two starts on one day
            advance(gap);
            SessionManager started;
        }
        QCOMPARE(stored("distinctDaysUsed").toStringList().size(), 3);
        QCOMPARE(stored("distinctDaysUsed").toStringList().constFirst(), firstDay);
        const SignalParameters figures = SessionManager().retentionParameters();
        QCOMPARE(figures.value("TelemetryDeck.Retention.distinctDaysUsed"), QStringLiteral("3"));
        QCOMPARE(figures.value("TelemetryDeck.Retention.distinctDaysUsedLastMonth"), QStringLiteral("1"));
    }

    void durationSignal_data()
    {
        QTest::addColumn<bool>("includeBackgroundTime");
        QTest::addColumn<int>("activeMilliseconds");
        QTest::addColumn<QString>("expected");
        QTest::newRow("active time only") << false << 9999 << "9.999";
        QTest::newRow("with background time") << true << 9999 << "39.999";
        QTest::newRow("trailing zeros dropped") << false << 1500 << "1.5";
        QTest::newRow("leading zeros kept") << false << 1001 << "1.001";
        QTest::newRow("clock went back") << false << -5 << "0.0";
    }

    void durationSignal()
    {
        QFETCH(bool, includeBackgroundTime);
        QFETCH(int, activeMilliseconds);
        QFETCH(QString, expected);
        TelemetryDeck::startDurationSignal("timed", {{"from", "start"}, {"both", "start"}}, includeBackgroundTime);
        ApplicationActivity::postDidResignActive();
        advance(30);
        ApplicationActivity::postWillBecomeActive();
        m_now = m_now.addMSecs(activeMilliseconds);
        TelemetryDeck::stopAndSendDurationSignal("timed", {{"both", "stop"}}, 1.5, QStringLiteral("u"));
        const QList<SignalPostBody> records = sent();
        QCOMPARE(records.size(), 1);
        QCOMPARE(records.constFirst().type, QStringLiteral("timed"));
        QCOMPARE(records.constFirst().payload.value("TelemetryDeck.Signal.durationInSeconds"), expected);
        QCOMPARE(records.constFirst().payload.value("from"), QStringLiteral("start"));
        QCOMPARE(records.constFirst().payload.value("both"), QStringLiteral("stop"));
        QCOMPARE(records.constFirst().floatValue, std::optional<double>(1.5));
    }

    void durationSignalBookkeeping()
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
        QCOMPARE(records.at(0).type, p + "pathChanged");
        // The path before the first change is empty; each change remembers its destination.
        QCOMPARE(records.at(0).payload.value(p + "identifier"), QStringLiteral(" -> settings"));
        QCOMPARE(records.at(1).payload.value(p + "identifier"), QStringLiteral("settings -> about"));
        QCOMPARE(records.at(2).payload.value(p + "sourcePath"), QStringLiteral("a"));
        QCOMPARE(NavigationStatus::previousNavigationPath(), std::optional<QString>("b"));
        QVERIFY(m_logs.messages(LogLevel::error).isEmpty()); // the client's own names draw no warning
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

    void ratingOutOfRangeIsRefused()
    {
        for (const int rating : {-1, 0, 10, 11})
            TelemetryDeck::userRatingSubmitted(rating, QStringLiteral("nice"));
        const QList<SignalPostBody> records = sent();
        QCOMPARE(records.size(), 2);
        QCOMPARE(records.at(0).payload.value("TelemetryDeck.Referral.ratingValue"), QStringLiteral("0"));
        QCOMPARE(records.at(1).payload.value("TelemetryDeck.Referral.ratingValue"), QStringLiteral("10"));
        QCOMPARE(m_logs.messages(LogLevel::error), QStringList(2, "Rating must be between 0 and 10"));
    }
};

TOLVANE_TEST_GUILESS_MAIN(TelemetrySignalsTest)
#include "tst_telemetry_signals.moc"
