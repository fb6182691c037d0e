#include "UtilityQueue.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include <pthread.h>

namespace telemetrydeck {

namespace {

// A small pool of worker threads sharing one list of blocks.
class WorkerPool {
public:
    explicit WorkerPool(int threadCount)
    {
        for (int i = 0; i < threadCount; ++i)
            m_threads.emplace_back([this] {
                pthread_setname_np(pthread_self(), "TelemetryWorker");
                work();
            });
    }

    ~WorkerPool()
    {
        {
            std::lock_guard lock(m_mutex);
            m_stopping = true;
        }
        m_wake.notify_all();
        for (std::thread& thread : m_threads)
            thread.join();
    }

    void post(std::function<void()> block)
    {
        {
            std::lock_guard lock(m_mutex);
            m_blocks.push_back(std::move(block));
        }
        m_wake.notify_one();
    }

    void postAfter(std::chrono::milliseconds delay, std::function<void()> block)
    {
        {
            std::lock_guard lock(m_mutex);
            m_delayed.emplace(Clock::now() + delay, std::move(block));
        }
        m_wake.notify_one();
    }

    bool waitForIdle(int milliseconds)
    {
        std::unique_lock lock(m_mutex);
        const auto idle = [this] { return m_blocks.empty() && m_delayed.empty() && m_running == 0; };
        if (milliseconds < 0) {
            m_idle.wait(lock, idle);
            return true;
        }
        return m_idle.wait_for(lock, std::chrono::milliseconds(milliseconds), idle);
    }

private:
    void work()
    {
        std::unique_lock lock(m_mutex);
        for (;;) {
            // Blocks whose time has come join the others, in the order of their deadlines.
            while (!m_delayed.empty() && m_delayed.begin()->first <= Clock::now()) {
                m_blocks.push_back(std::move(m_delayed.begin()->second));
                m_delayed.erase(m_delayed.begin());
            }
            if (m_blocks.empty()) {
                if (m_stopping)
                    return; // nothing left to do
                if (m_delayed.empty())
                    m_wake.wait(lock);
                else
                    m_wake.wait_until(lock, m_delayed.begin()->first);
                continue;
            }
            std::function<void()> block = std::move(m_blocks.front());
            m_blocks.pop_front();
            ++m_running;
            lock.unlock();
            block();
            block = nullptr; // captures are released outside the lock, too
            lock.lock();
            --m_running;
            if (m_blocks.empty() && m_delayed.empty() && m_running == 0)
                m_idle.notify_all();
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    using Clock = std::chrono::steady_clock;
    std::deque<std::function<void()>> m_blocks;
    std::multimap<Clock::time_point, std::function<void()>> m_delayed;
    int m_running = 0;
    bool m_stopping = false;
    std::vector<std::thread> m_threads;
};

WorkerPool& pool()
{
    // One worker: records reach the queue in the order their signals were emitted.
    static WorkerPool instance(1);
    return instance;
}

} // namespace

void UtilityQueue::async(std::function<void()> block)
{
    pool().post(std::move(block));
}

void UtilityQueue::asyncAfter(int milliseconds, std::function<void()> block)
{
    pool().postAfter(std::chrono::milliseconds(milliseconds), std::move(block));
}

bool UtilityQueue::waitForDone(int milliseconds)
{
    return pool().waitForIdle(milliseconds);
}

} // namespace telemetrydeck
