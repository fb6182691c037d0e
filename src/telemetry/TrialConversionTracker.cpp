#include "TrialConversionTracker.h"

#include "CurrencyTable.h"
#include "SerialQueue.h"
#include "TelemetryClock.h"
#include "TelemetryManager.h"

#include <QSettings>

namespace telemetrydeck {

namespace {

SerialQueue& persistenceQueue()
{
    static SerialQueue queue(QStringLiteral("com.telemetrydeck.trialtracker.persistence"));
    return queue;
}

const QString lastTrialKey = QStringLiteral("lastTrial");

} // namespace

TrialConversionTracker& TrialConversionTracker::shared()
{
    static TrialConversionTracker* instance = new TrialConversionTracker;
    return *instance;
}

TrialConversionTracker::TrialConversionTracker()
{
    persistenceQueue();
    if (const std::unique_ptr<QSettings> suite = TelemetryManager::clientSuite()) {
        if (std::optional<StoredTrial> stored = StoredTrial::decode(suite->value(lastTrialKey).toByteArray())) {
            m_lastTrial = std::move(stored);
            m_watching = true;
        }
    }
}

void TrialConversionTracker::persist(const std::optional<StoredTrial>& trial)
{
    const std::unique_ptr<QSettings> probe = TelemetryManager::clientSuite();
    if (!probe)
        return;
    persistenceQueue().async([fileName = probe->fileName(), trial] {
        QSettings suite(fileName, QSettings::NativeFormat);
        if (trial)
            suite.setValue(lastTrialKey, trial->encode());
        else
            suite.remove(lastTrialKey);
        suite.sync();
    });
}

void TrialConversionTracker::waitForPendingWrites()
{
    persistenceQueue().drain();
}

void TrialConversionTracker::freeTrialStarted(const StoredTrial& trial)
{
    {
        std::lock_guard lock(m_mutex);
        m_lastTrial = trial;
        m_watching = true;
    }
    persist(trial);
}

bool TrialConversionTracker::isWatching() const
{
    std::lock_guard lock(m_mutex);
    return m_watching;
}

std::optional<StoredTrial> TrialConversionTracker::lastTrial() const
{
    std::lock_guard lock(m_mutex);
    return m_lastTrial;
}

SignalParameters TrialConversionTracker::purchaseParameters(const StoreTransaction& transaction,
                                                            const SignalParameters& extra)
{
    SignalParameters parameters;
    parameters.insert(QStringLiteral("TelemetryDeck.Purchase.type"),
                      transaction.isSubscription ? QStringLiteral("subscription") : QStringLiteral("one-time-purchase"));
    parameters.insert(QStringLiteral("TelemetryDeck.Purchase.countryCode"), transaction.storefrontCountryCode);
    parameters.insert(QStringLiteral("TelemetryDeck.Purchase.productID"), transaction.productID);
    if (transaction.currencyCode)
        parameters.insert(QStringLiteral("TelemetryDeck.Purchase.currencyCode"), *transaction.currencyCode);
    for (auto it = extra.cbegin(); it != extra.cend(); ++it)
        parameters.insert(it.key(), it.value());
    return parameters;
}

void TrialConversionTracker::transactionUpdated(const StoreTransaction& transaction)
{
    {
        std::lock_guard lock(m_mutex);
        if (!m_watching || !m_lastTrial || m_lastTrial->productID != transaction.productID
            || m_lastTrial->originalTransactionID != transaction.originalTransactionID)
            return;
        const bool expired = transaction.expirationDate && *transaction.expirationDate < TelemetryClock::now();
        if (!transaction.isRevoked && !expired && !transaction.isUpgraded && transaction.isStillFreeTrial())
            return; // still in the trial: keep waiting
        m_lastTrial.reset();
        m_watching = false;
        if (transaction.isRevoked || expired || transaction.isUpgraded) {
            persist(std::nullopt);
            return;
        }
    }
    persist(std::nullopt);
    TelemetryManager::emitSignal(QStringLiteral("TelemetryDeck.Purchase.convertedFromTrial"),
                                 purchaseParameters(transaction, {}),
                                 CurrencyTable::priceInDollars(transaction.price.value_or(0), transaction.currencyCode));
}

} // namespace telemetrydeck
