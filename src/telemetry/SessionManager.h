#pragma once

#include "SignalPostBody.h"
#include "StoredSession.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QStringList>

#include <functional>
#include <optional>

class QSettings;
class QTimer;

namespace telemetrydeck {

// Measures active time per session, remembers the sessions of the last 90 days, the first
// day of use and every day of use, and supplies the retention figures of every signal.
// Main thread only; writes to the client's preference suite happen in the background, in
// the order issued.
class SessionManager : public QObject {
    Q_OBJECT
public:
    // The process-wide instance, created on first use.
    static SessionManager& shared();

    // Loads the stored sessions (dropping those older than 90 days), records today as a day
    // of use and listens to the application's active and inactive notices.
    explicit SessionManager(QObject* parent = nullptr);
    ~SessionManager() override;

    // Ends the shared instance's session, if it was ever created: its time so far is kept and
    // nothing more is counted until the next beginSession. Any thread.
    static void endCurrentSession();

    // Counts from now if the application is active, else from when it becomes active.
    void beginSession();
    void endSession();
    void updateSessionDuration();
    void handleDidEnterBackgroundNotification();
    void handleWillEnterForegroundNotification();

    // The "TelemetryDeck.Acquisition.*" and "TelemetryDeck.Retention.*" payload entries.
    SignalParameters retentionParameters() const;

    QList<StoredSession> recentSessions() const { return m_recentSessions; }
    double currentSessionDuration() const { return m_currentSessionDuration; }
    bool isCountingActiveTime() const { return m_sessionDurationUpdater != nullptr; }

    // Waits for the background writes issued so far. For tests.
    static void waitForPendingWrites();

    static constexpr qint64 maximumSessionAgeSeconds = 7'776'000; // 90 days

private:
    void recordDayUsed();
    void stopDurationTimer();
    void startDurationTimer();
    void saveCurrentSession();
    static QString dayText(const QDateTime& moment);
    static void writeToSuite(const QString& key, const QVariant& value);

    // The suite's values, read at construction and kept here; the suite is only written.
    QString m_firstSessionDate;
    qint64 m_deletedSessionsCount = 0;
    QStringList m_distinctDaysUsed;
    bool m_suiteAvailable = false;

    QList<StoredSession> m_recentSessions;
    QDateTime m_currentSessionStartedAt; // invalid: the distant past
    double m_currentSessionDuration = 0;
    QTimer* m_sessionDurationUpdater = nullptr;
    std::optional<QDateTime> m_sessionDurationLastUpdatedAt;
};

} // namespace telemetrydeck
