#pragma once

#include <functional>

namespace telemetrydeck {

// The client's background worker, for work that leaves the caller's thread (building
// records, preparing uploads, early flushes).
class UtilityQueue {
public:
    static void async(std::function<void()> block);
    // Runs the block in the worker once the delay has passed.
    static void asyncAfter(int milliseconds, std::function<void()> block);
    // Waits until the pool is idle; false on timeout. For tests and benchmarks.
    static bool waitForDone(int milliseconds = -1);
};

} // namespace telemetrydeck
