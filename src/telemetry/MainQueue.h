#pragma once

#include <functional>

namespace telemetrydeck {

// The application's main thread (the thread of QCoreApplication). Blocks are dropped when
// there is no application object.
class MainQueue {
public:
    static void async(std::function<void()> block);
    // Sets up the hand-off to the main thread; call on the main thread (initialisation does).
    static void prepare();
    static void asyncAfter(int milliseconds, std::function<void()> block);
    static bool isCurrent();
};

} // namespace telemetrydeck
