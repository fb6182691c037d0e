#pragma once

#include "SignalPostBody.h"

#include <QDateTime>
#include <QHash>
#include <QObject>

#include <mutex>
#include <optional>

namespace telemetrydeck {

// Keeps the running timed signals. By default a timed signal counts only the time the
// application is active.
class DurationSignalTracker : public QObject {
    Q_OBJECT
public:
    struct CachedData {
        QDateTime startTime;
        SignalParameters parameters;
        bool includeBackgroundTime = false;
    };

    static DurationSignalTracker& shared();
    explicit DurationSignalTracker(QObject* parent = nullptr);

    void startTracking(const QString& signalName, const SignalParameters& parameters, bool includeBackgroundTime);
    // Removes the entry and returns its parameters with "TelemetryDeck.Signal.durationInSeconds";
    // none when no such signal runs.
    std::optional<SignalParameters> stopTracking(const QString& signalName);
    void cancel(const QString& signalName);

    void handleDidEnterBackgroundNotification();
    void handleWillEnterForegroundNotification();

    // Seconds rounded down to whole milliseconds, with at least one fractional digit.
    static QString durationText(qint64 milliseconds);

private:
    std::mutex m_mutex; // the queue: every access to the fields below
    QHash<QString, CachedData> m_startedSignals;
    std::optional<QDateTime> m_lastEnteredBackground;
};

} // namespace telemetrydeck
