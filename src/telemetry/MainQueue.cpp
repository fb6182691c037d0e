#include "MainQueue.h"

#include "ThreadDispatcher.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <mutex>

namespace telemetrydeck {

namespace {

std::atomic<ThreadDispatcher*> mainDispatcher{nullptr};
std::mutex creationMutex;

// The main thread's dispatcher; created the first time it is asked for on the main thread.
ThreadDispatcher* dispatcher()
{
    if (ThreadDispatcher* existing = mainDispatcher.load(std::memory_order_acquire))
        return existing;
    if (!MainQueue::isCurrent())
        return nullptr;
    std::lock_guard lock(creationMutex);
    if (ThreadDispatcher* existing = mainDispatcher.load(std::memory_order_acquire))
        return existing;
    // Lives as long as the process, like the main thread.
    auto* created = new ThreadDispatcher;
    mainDispatcher.store(created, std::memory_order_release);
    return created;
}

} // namespace

void MainQueue::prepare()
{
    dispatcher();
}

void MainQueue::async(std::function<void()> block)
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return;
    if (ThreadDispatcher* target = dispatcher()) {
        target->post(std::move(block));
        return;
    }
    // Nothing has run on the main thread yet: let it create the dispatcher first.
    QMetaObject::invokeMethod(
        app, [block = std::move(block)]() mutable { dispatcher()->post(std::move(block)); }, Qt::QueuedConnection);
}

void MainQueue::asyncAfter(int milliseconds, std::function<void()> block)
{
    async([milliseconds, block = std::move(block)]() mutable {
        QTimer::singleShot(milliseconds, QCoreApplication::instance(), std::move(block));
    });
}

bool MainQueue::isCurrent()
{
    const QCoreApplication* app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

} // namespace telemetrydeck
