#include "DurationSignalTracker.h"

#include "ApplicationActivity.h"
#include "TelemetryClock.h"

namespace telemetrydeck {

DurationSignalTracker& DurationSignalTracker::shared()
{
    static DurationSignalTracker* instance = new DurationSignalTracker;
    return *instance;
}

DurationSignalTracker::DurationSignalTracker(QObject* parent)
    : QObject(parent)
{
    connect(ApplicationActivity::instance(), &ApplicationActivity::didResignActive, this,
            &DurationSignalTracker::handleDidEnterBackgroundNotification, Qt::DirectConnection);
    connect(ApplicationActivity::instance(), &ApplicationActivity::willBecomeActive, this,
            &DurationSignalTracker::handleWillEnterForegroundNotification, Qt::DirectConnection);
}

void DurationSignalTracker::startTracking(const QString& signalName, const SignalParameters& parameters,
                                          bool includeBackgroundTime)
{
    std::lock_guard lock(m_mutex);
    m_startedSignals.insert(signalName, CachedData{TelemetryClock::now(), parameters, includeBackgroundTime});
}

std::optional<SignalParameters> DurationSignalTracker::stopTracking(const QString& signalName)
{
    CachedData data;
    {
        std::lock_guard lock(m_mutex);
        const auto it = m_startedSignals.constFind(signalName);
        if (it == m_startedSignals.cend())
            return std::nullopt;
        data = *it;
        m_startedSignals.erase(it);
    }
    SignalParameters parameters;
    parameters.insert(QStringLiteral("TelemetryDeck.Signal.durationInSeconds"),
                      durationText(data.startTime.msecsTo(TelemetryClock::now())));
    for (auto it = data.parameters.cbegin(); it != data.parameters.cend(); ++it)
        parameters.insert(it.key(), it.value());
    return parameters;
}

void DurationSignalTracker::cancel(const QString& signalName)
{
    std::lock_guard lock(m_mutex);
    m_startedSignals.remove(signalName);
}

void DurationSignalTracker::handleDidEnterBackgroundNotification()
{
    std::lock_guard lock(m_mutex);
    m_lastEnteredBackground = TelemetryClock::now();
}

void DurationSignalTracker::handleWillEnterForegroundNotification()
{
    std::lock_guard lock(m_mutex);
    if (!m_lastEnteredBackground)
        return;
    const qint64 inactive = m_lastEnteredBackground->msecsTo(TelemetryClock::now());
    for (CachedData& data : m_startedSignals) {
        if (!data.includeBackgroundTime)
            data.startTime = data.startTime.addMSecs(inactive);
    }
    m_lastEnteredBackground.reset();
}

QString DurationSignalTracker::durationText(qint64 milliseconds)
{
    // Whole milliseconds are already rounded down. A clock that went backwards gives 0.
    milliseconds = std::max<qint64>(0, milliseconds);
    QString digits = QStringLiteral("%1").arg(milliseconds % 1000, 3, 10, QLatin1Char('0'));
    while (digits.size() > 1 && digits.endsWith(QLatin1Char('0')))
        digits.chop(1);
    return QString::number(milliseconds / 1000) + QLatin1Char('.') + digits;
}

} // namespace telemetrydeck
