#pragma once

#include "SignalPostBody.h"
#include "StoreTransaction.h"
#include "StoredTrial.h"

#include <mutex>
#include <optional>

namespace telemetrydeck {

// Watches a free trial until it converts into a paid subscription (then sends
// "TelemetryDeck.Purchase.convertedFromTrial") or ends. The host application feeds it the
// store's transaction updates.
class TrialConversionTracker {
public:
    static TrialConversionTracker& shared();
    TrialConversionTracker();

    // Remembers the trial and starts watching.
    void freeTrialStarted(const StoredTrial& trial);
    // One update of the store's transactions.
    void transactionUpdated(const StoreTransaction& transaction);
    bool isWatching() const;
    std::optional<StoredTrial> lastTrial() const;

    // The purchase parameters of a transaction with the caller's map merged over them.
    static SignalParameters purchaseParameters(const StoreTransaction& transaction, const SignalParameters& extra);
    // Waits for the background writes issued so far. For tests.
    void waitForPendingWrites();

private:
    void persist(const std::optional<StoredTrial>& trial);

    mutable std::mutex m_mutex;
    std::optional<StoredTrial> m_lastTrial;
    bool m_watching = false; // the running transaction-update watch
};

} // namespace telemetrydeck
