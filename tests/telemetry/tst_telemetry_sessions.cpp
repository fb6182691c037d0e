// Session statistics: retention figures, ageing out, first start, active time only, days
// of use. The clock is moved by hand.
#include "TelemetryTestSupport.h"

#include "ApplicationActivity.h"
#include "SessionManager.h"
#include "TelemetryClock.h"
#include "UtilityQueue.h"

#include "support/TestMain.h"

using namespace telemetrytest;

class TelemetrySessionTest : public QObject {
    Q_OBJECT

    QDateTime m_now;

    void advance(double seconds) { m_now = m_now.addMSecs(qint64(seconds * 1000)); }
    QString today() const { return m_now.toLocalTime().date().toString(Qt::ISODate); }

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

    QList<SignalPostBody> queuedOfType(const QString& type)
    {
        QTest::qWait(50);
        UtilityQueue::waitForDone();
        QTest::qWait(10);
        QList<SignalPostBody> found;
        for (const SignalPostBody& body : currentPipeline()->signalCache().snapshot())
            if (body.type == type)
                found.append(body);
        return found;
    }

private slots:
    void init()
    {
        resetClient();
        m_now = QDateTime(QDate(2024, 5, 15), QTime(12, 0), Qt::UTC);
        TelemetryClock::setNowProvider([this] { return m_now; });
        TelemetryManager::initialize(testConfiguration(unreachableUrl()));
        SessionManager::waitForPendingWrites();
        TelemetryManager::clientSuite()->clear();
    }
    void cleanup()
    {
        SessionManager::waitForPendingWrites();
        TelemetryClock::setNowProvider({});
        resetClient();
    }

    void figures_data()
    {
        QTest::addColumn<QList<qint64>>("durations");
        QTest::addColumn<qint64>("deleted");
        QTest::addColumn<QString>("average");
        QTest::addColumn<QString>("previous");
        QTest::addColumn<QString>("total");
        QTest::newRow("none") << QList<qint64>{} << qint64(0) << "-1" << "" << "0";
        QTest::newRow("one") << QList<qint64>{70} << qint64(0) << "70" << "" << "1";
        QTest::newRow("100/200/50") << QList<qint64>{100, 200, 50} << qint64(4) << "150" << "200" << "7";
        QTest::newRow("mean truncated") << QList<qint64>{10, 11, 99} << qint64(0) << "10" << "11" << "3";
    }

    void figures()
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
        SessionManager sessionsNow;
        const SignalParameters figures = sessionsNow.retentionParameters();
        QCOMPARE(figures.value("TelemetryDeck.Retention.averageSessionSeconds"), average);
        QCOMPARE(figures.contains("TelemetryDeck.Retention.previousSessionSeconds"), !previous.isEmpty());
        QCOMPARE(figures.value("TelemetryDeck.Retention.previousSessionSeconds"), previous);
        QCOMPARE(figures.value("TelemetryDeck.Retention.totalSessionsCount"), total);
        QCOMPARE(figures.value("TelemetryDeck.Acquisition.firstSessionDate"), today());
    }

    void sessionsOlderThanNinetyDaysAreDropped()
    {
        const qint64 day = 86400;
        const qint64 now = m_now.toSecsSinceEpoch();
        storeSessions({{now - 91 * day, 30}, {now - 89 * day, 40}}, 5);
        SessionManager sessions;
        QCOMPARE(sessions.recentSessions(), (QList<StoredSession>{{now - 89 * day, 40}}));
        QCOMPARE(stored("deletedSessionsCount").toLongLong(), 6);
        QCOMPARE(sessions.retentionParameters().value("TelemetryDeck.Retention.totalSessionsCount"), QStringLiteral("7"));
    }

    void undecodableSessionsCountAsNone()
    {
        TelemetryManager::clientSuite()->setValue("recentSessions", QByteArray("{not json"));
        SessionManager sessions;
        QVERIFY(sessions.recentSessions().isEmpty());
    }

    void firstStart()
    {
        SessionManager sessions;
        sessions.beginSession();
        QCOMPARE(stored("firstSessionDate").toString(), today());
        const QList<SignalPostBody> installs = queuedOfType("TelemetryDeck.Acquisition.newInstallDetected");
        QCOMPARE(installs.size(), 1);
        QCOMPARE(installs.constFirst().payload.value("TelemetryDeck.Acquisition.firstSessionDate"), today());
        QVERIFY(sessions.recentSessions().isEmpty());

        advance(1.2);
        sessions.updateSessionDuration();
        QCOMPARE(sessions.recentSessions().size(), 1);
        QCOMPARE(sessions.recentSessions().constFirst().durationInSeconds, 1);
        advance(1.0);
        sessions.updateSessionDuration();
        QCOMPARE(sessions.recentSessions().size(), 1);
        QCOMPARE(sessions.recentSessions().constFirst().durationInSeconds, 2);
        QCOMPARE(StoredSession::decode(stored("recentSessions").toByteArray()), sessions.recentSessions());

        // A later session of a known user is no new install.
        advance(5);
        sessions.beginSession();
        QCOMPARE(queuedOfType("TelemetryDeck.Acquisition.newInstallDetected").size(), 1);
    }

    void quittingWithinTheFirstSecondLeavesNoSession()
    {
        {
            SessionManager sessions;
            sessions.beginSession();
            advance(0.9);
            sessions.updateSessionDuration();
            QVERIFY(sessions.recentSessions().isEmpty());
        }
        SessionManager next;
        QVERIFY(next.recentSessions().isEmpty());
        next.beginSession();
        QCOMPARE(queuedOfType("TelemetryDeck.Acquisition.newInstallDetected").size(), 2);
    }

    void inactiveTimeDoesNotCount()
    {
        SessionManager sessions;
        sessions.beginSession();
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
        { SessionManager first; }
        advance(3600);
        { SessionManager sameDay; }
        QCOMPARE(stored("distinctDaysUsed").toStringList(), QStringList{today()});
        const QString firstDay = today();
        advance(86400);
        { SessionManager secondDay; }
        advance(86400 * 45);
        SessionManager later;
        QCOMPARE(stored("distinctDaysUsed").toStringList().size(), 3);
        QCOMPARE(stored("distinctDaysUsed").toStringList().constFirst(), firstDay);
        const SignalParameters figures = later.retentionParameters();
        QCOMPARE(figures.value("TelemetryDeck.Retention.distinctDaysUsed"), QStringLiteral("3"));
        QCOMPARE(figures.value("TelemetryDeck.Retention.distinctDaysUsedLastMonth"), QStringLiteral("1"));
    }
};

TOLVANE_TEST_GUILESS_MAIN(TelemetrySessionTest)
#include "tst_telemetry_sessions.moc"
