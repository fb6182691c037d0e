#include "TelemetryClock.h"

#include <atomic>
#include <mutex>

namespace telemetrydeck {

namespace {
std::mutex providerMutex;
std::function<QDateTime()> provider;
std::atomic_bool hasProvider{false};
} // namespace

QDateTime TelemetryClock::now()
{
    if (hasProvider.load(std::memory_order_acquire)) {
        std::lock_guard lock(providerMutex);
        if (provider)
            return provider().toUTC();
    }
    return QDateTime::currentDateTimeUtc();
}

void TelemetryClock::setNowProvider(std::function<QDateTime()> newProvider)
{
    std::lock_guard lock(providerMutex);
    provider = std::move(newProvider);
    hasProvider.store(static_cast<bool>(provider), std::memory_order_release);
}

} // namespace telemetrydeck
