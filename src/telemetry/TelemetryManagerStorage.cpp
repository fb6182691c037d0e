#include "TelemetryManagerStorage.h"

#include "TelemetryManager.h"

namespace telemetrydeck {

TelemetryManagerStorage& TelemetryManagerStorage::instance()
{
    static TelemetryManagerStorage storage;
    return storage;
}

std::shared_ptr<TelemetryManager> TelemetryManagerStorage::manager() const
{
    std::shared_lock locker(m_lock);
    return m_manager;
}

std::shared_ptr<TelemetryManager> TelemetryManagerStorage::exchange(std::shared_ptr<TelemetryManager> manager)
{
    std::unique_lock locker(m_lock);
    std::swap(m_manager, manager);
    return manager;
}

} // namespace telemetrydeck
