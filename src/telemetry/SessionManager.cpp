#include "SessionManager.h"

#include "ApplicationActivity.h"
#include "MainQueue.h"
#include "SerialQueue.h"
#include "TelemetryClock.h"
#include "TelemetryManager.h"
#include "TelemetryManagerConfiguration.h"
#include "TelemetryManagerStorage.h"

#include <QCoreApplication>
#include <QSettings>
#include <QTimer>

#include <atomic>
#include <cmath>

namespace telemetrydeck {

namespace {

SerialQueue& persistenceQueue()
{
    static SerialQueue queue(QStringLiteral("com.telemetrydeck.sessionmanager.persistence"));
    return queue;
}

const QString recentSessionsKey = QStringLiteral("recentSessions");
const QString deletedSessionsCountKey = QStringLiteral("deletedSessionsCount");
const QString firstSessionDateKey = QStringLiteral("firstSessionDate");
const QString distinctDaysUsedKey = QStringLiteral("distinctDaysUsed");

} // namespace

namespace {
std::atomic<SessionManager*> sharedInstance = nullptr;
} // namespace

SessionManager& SessionManager::shared()
{
    // Lives for the rest of the process, like the application's own managers.
    static SessionManager* instance = [] {
        auto* created = new SessionManager;
        sharedInstance = created;
        return created;
    }();
    return *instance;
}

void SessionManager::endCurrentSession()
{
    const auto end = [] {
        if (SessionManager* sessions = sharedInstance.load())
            sessions->endSession();
    };
    if (MainQueue::isCurrent())
        end();
    else
        MainQueue::async(end);
}

void SessionManager::endSession()
{
    updateSessionDuration();
    stopDurationTimer();
    m_currentSessionStartedAt = QDateTime();
    m_currentSessionDuration = 0;
}

SessionManager::SessionManager(QObject* parent)
    : QObject(parent)
{
    persistenceQueue(); // created before first use so that it outlives every write
    waitForPendingWrites(); // read what earlier writes left, not what they are about to
    if (const std::unique_ptr<QSettings> suite = TelemetryManager::clientSuite()) {
        m_suiteAvailable = true;
        m_firstSessionDate = suite->value(firstSessionDateKey).toString();
        m_deletedSessionsCount = suite->value(deletedSessionsCountKey).toLongLong();
        m_distinctDaysUsed = suite->value(distinctDaysUsedKey).toStringList();
        const std::optional<QList<StoredSession>> stored =
            StoredSession::decode(suite->value(recentSessionsKey).toByteArray());
        if (stored) {
            const qint64 cutoff = TelemetryClock::now().toSecsSinceEpoch() - maximumSessionAgeSeconds;
            for (const StoredSession& session : *stored) {
                if (session.startedAt > cutoff)
                    m_recentSessions.append(session);
            }
            const qsizetype dropped = stored->size() - m_recentSessions.size();
            if (dropped > 0) {
                m_deletedSessionsCount += dropped;
                writeToSuite(deletedSessionsCountKey, m_deletedSessionsCount);
            }
        }
    }
    recordDayUsed();
    // The last writes of the session reach the suite before the process ends.
    if (QCoreApplication* app = QCoreApplication::instance())
        connect(app, &QCoreApplication::aboutToQuit, this, &SessionManager::waitForPendingWrites);
    connect(ApplicationActivity::instance(), &ApplicationActivity::didResignActive, this,
            &SessionManager::handleDidEnterBackgroundNotification);
    connect(ApplicationActivity::instance(), &ApplicationActivity::willBecomeActive, this,
            &SessionManager::handleWillEnterForegroundNotification);
}

SessionManager::~SessionManager() = default;

QString SessionManager::dayText(const QDateTime& moment)
{
    return moment.toLocalTime().date().toString(Qt::ISODate);
}

namespace {

// A copy that shares no memory with the original, so that the writer thread never touches
// data this thread keeps using.
QVariant detachedCopy(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::QString: {
        const QString text = value.toString();
        return QString(text.constData(), text.size());
    }
    case QMetaType::QStringList: {
        QStringList list;
        for (const QString& text : value.toStringList())
            list.append(QString(text.constData(), text.size()));
        return list;
    }
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        return QByteArray(bytes.constData(), bytes.size());
    }
    default:
        return value;
    }
}

} // namespace

void SessionManager::writeToSuite(const QString& key, const QVariant& value)
{
    const std::shared_ptr<TelemetryManager> manager = TelemetryManagerStorage::instance().manager();
    if (!manager || manager->configuration()->isSilenced())
        return;
    const std::unique_ptr<QSettings> probe = TelemetryManager::clientSuite();
    if (!probe)
        return;
    persistenceQueue().async(
        [fileName = probe->fileName(), key = QString(key.constData(), key.size()), value = detachedCopy(value)] {
            QSettings suite(fileName, QSettings::NativeFormat);
            suite.setValue(key, value);
            suite.sync();
        });
}

void SessionManager::waitForPendingWrites()
{
    persistenceQueue().drain();
}

void SessionManager::recordDayUsed()
{
    if (!m_suiteAvailable)
        return;
    const QString today = dayText(TelemetryClock::now());
    if (!m_distinctDaysUsed.isEmpty() && m_distinctDaysUsed.constLast() == today)
        return;
    m_distinctDaysUsed.append(today);
    writeToSuite(distinctDaysUsedKey, m_distinctDaysUsed);
}

void SessionManager::beginSession()
{
    stopDurationTimer();
    if (m_recentSessions.isEmpty()) {
        const QString today = dayText(TelemetryClock::now());
        if (m_suiteAvailable)
            m_firstSessionDate = today;
        writeToSuite(firstSessionDateKey, today);
        TelemetryManager::emitSignal(QStringLiteral("TelemetryDeck.Acquisition.newInstallDetected"),
                                     {{QStringLiteral("TelemetryDeck.Acquisition.firstSessionDate"), today}});
    }
    m_currentSessionStartedAt = TelemetryClock::now();
    m_currentSessionDuration = 0;
    // Only active time counts: a session begun while the application is in the background
    // starts counting when it becomes active.
    if (ApplicationActivity::isActive()) {
        updateSessionDuration();
        startDurationTimer();
    }
}

void SessionManager::updateSessionDuration()
{
    const QDateTime now = TelemetryClock::now();
    if (m_sessionDurationLastUpdatedAt)
        m_currentSessionDuration += static_cast<double>(m_sessionDurationLastUpdatedAt->msecsTo(now)) / 1000.0;
    m_sessionDurationLastUpdatedAt = now;
    saveCurrentSession();
}

void SessionManager::saveCurrentSession()
{
    if (m_currentSessionDuration < 1.0 || !m_currentSessionStartedAt.isValid())
        return;
    const qint64 start = m_currentSessionStartedAt.toSecsSinceEpoch();
    const auto duration = static_cast<qint64>(std::floor(m_currentSessionDuration));
    bool found = false;
    for (qsizetype i = m_recentSessions.size() - 1; i >= 0; --i) {
        if (m_recentSessions[i].startedAt == start) {
            m_recentSessions[i].durationInSeconds = duration;
            found = true;
            break;
        }
    }
    if (!found)
        m_recentSessions.append({start, duration});
    // Encoded here, on the owning thread; only the write leaves it.
    writeToSuite(recentSessionsKey, StoredSession::encode(m_recentSessions));
}

void SessionManager::handleDidEnterBackgroundNotification()
{
    updateSessionDuration();
    stopDurationTimer();
}

void SessionManager::handleWillEnterForegroundNotification()
{
    if (!m_currentSessionStartedAt.isValid())
        return; // no session to count for
    updateSessionDuration();
    startDurationTimer();
}

void SessionManager::stopDurationTimer()
{
    delete m_sessionDurationUpdater;
    m_sessionDurationUpdater = nullptr;
    m_sessionDurationLastUpdatedAt.reset();
}

void SessionManager::startDurationTimer()
{
    delete m_sessionDurationUpdater;
    m_sessionDurationUpdater = new QTimer(this);
    m_sessionDurationUpdater->setInterval(1000);
    connect(m_sessionDurationUpdater, &QTimer::timeout, this, &SessionManager::updateSessionDuration);
    m_sessionDurationUpdater->start();
}

SignalParameters SessionManager::retentionParameters() const
{
    QString firstSessionDate = m_firstSessionDate;
    const qint64 deletedSessions = m_deletedSessionsCount;
    const QStringList& days = m_distinctDaysUsed;
    const QDateTime now = TelemetryClock::now();
    if (firstSessionDate.isEmpty())
        firstSessionDate = dayText(now);
    const QString monthCutoff = now.addSecs(-2'592'000).toUTC().date().toString(Qt::ISODate);
    const auto daysLastMonth =
        std::count_if(days.cbegin(), days.cend(), [&monthCutoff](const QString& day) { return day >= monthCutoff; });

    const qsizetype count = m_recentSessions.size();
    qint64 average = -1;
    if (count == 1) {
        average = m_recentSessions.constFirst().durationInSeconds;
    } else if (count > 1) {
        qint64 sum = 0;
        for (qsizetype i = 0; i < count - 1; ++i)
            sum += m_recentSessions[i].durationInSeconds;
        average = sum / (count - 1);
    }

    SignalParameters figures;
    figures.insert(QStringLiteral("TelemetryDeck.Acquisition.firstSessionDate"), firstSessionDate);
    figures.insert(QStringLiteral("TelemetryDeck.Retention.averageSessionSeconds"), QString::number(average));
    figures.insert(QStringLiteral("TelemetryDeck.Retention.distinctDaysUsed"), QString::number(days.size()));
    figures.insert(QStringLiteral("TelemetryDeck.Retention.distinctDaysUsedLastMonth"), QString::number(daysLastMonth));
    figures.insert(QStringLiteral("TelemetryDeck.Retention.totalSessionsCount"),
                   QString::number(count + deletedSessions));
    if (count >= 2)
        figures.insert(QStringLiteral("TelemetryDeck.Retention.previousSessionSeconds"),
                       QString::number(m_recentSessions[count - 2].durationInSeconds));
    return figures;
}

} // namespace telemetrydeck
