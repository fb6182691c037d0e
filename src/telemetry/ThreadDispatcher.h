#pragma once

#include <QObject>

#include <deque>
#include <functional>
#include <mutex>

class QEventLoop;
class QSocketNotifier;

namespace telemetrydeck {

// Runs blocks in the thread it lives in, in the order they were posted. Blocks wait in a
// mutex-guarded list and an eventfd wakes the thread's event loop; no Qt event carries
// data between threads, so every hand-off is an ordinary lock that race detectors see.
// Create it in the thread that is to run the blocks.
class ThreadDispatcher : public QObject {
public:
    // With a loop, quitLoop() ends it.
    explicit ThreadDispatcher(QEventLoop* loop = nullptr);
    ~ThreadDispatcher() override;

    // May be called from any thread.
    void post(std::function<void()> block);
    void quitLoop();

private:
    void drain();

    QEventLoop* m_loop = nullptr;
    int m_eventFd = -1;
    QSocketNotifier* m_notifier = nullptr;
    std::mutex m_mutex;
    std::deque<std::function<void()>> m_blocks;
};

} // namespace telemetrydeck
