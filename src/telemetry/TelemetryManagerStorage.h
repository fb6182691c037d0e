#pragma once

#include <mutex>
#include <shared_mutex>

#include <memory>

namespace telemetrydeck {

class TelemetryManager;

// Holds the process-wide manager. Reads share the lock; writes take it exclusively.
class TelemetryManagerStorage {
public:
    static TelemetryManagerStorage& instance();

    std::shared_ptr<TelemetryManager> manager() const;
    // Stores the new manager and returns the one it replaced.
    std::shared_ptr<TelemetryManager> exchange(std::shared_ptr<TelemetryManager> manager);

private:
    TelemetryManagerStorage() = default;
    mutable std::shared_mutex m_lock;
    std::shared_ptr<TelemetryManager> m_manager;
};

} // namespace telemetrydeck
