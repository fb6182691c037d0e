#pragma once

#include <QString>

#include <functional>
#include <thread>

class QObject;

namespace telemetrydeck {

class ThreadDispatcher;

// A worker thread with its own Qt event loop that runs blocks one after another, in the
// order they were handed in. Timers and network objects can live in it (see context()).
class SerialQueue {
public:
    explicit SerialQueue(const QString& label);
    // Runs the blocks still pending, then stops the thread.
    ~SerialQueue();

    SerialQueue(const SerialQueue&) = delete;
    SerialQueue& operator=(const SerialQueue&) = delete;

    void async(std::function<void()> block);
    // Runs the block in the queue and waits for it; runs it at once when called from the
    // queue's own thread.
    void sync(const std::function<void()>& block);
    // Waits until every block handed in before this call has run.
    void drain();

    // An object living in the queue's thread, to parent timers and the like; it and its
    // children are deleted in that thread when the queue stops.
    QObject* context() const;
    bool isCurrent() const;

private:
    void run(const QString& label);

    ThreadDispatcher* m_dispatcher = nullptr; // lives in m_thread
    std::thread m_thread;
};

} // namespace telemetrydeck
