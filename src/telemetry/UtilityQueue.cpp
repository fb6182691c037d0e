#include "UtilityQueue.h"

#include <QThreadPool>

namespace telemetrydeck {

namespace {
QThreadPool& pool()
{
    static QThreadPool instance;
    static const bool configured = [] {
        instance.setMaxThreadCount(2);
        instance.setObjectName(QStringLiteral("com.telemetrydeck.utility"));
        return true;
    }();
    (void)configured;
    return instance;
}
} // namespace

void UtilityQueue::async(std::function<void()> block)
{
    pool().start(std::move(block));
}

bool UtilityQueue::waitForDone(int milliseconds)
{
    return pool().waitForDone(milliseconds);
}

} // namespace telemetrydeck
