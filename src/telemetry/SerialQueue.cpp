#include "SerialQueue.h"

#include "ThreadDispatcher.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>

#include <latch>

#include <pthread.h>

namespace telemetrydeck {

SerialQueue::SerialQueue(const QString& label)
{
    std::latch ready(1);
    m_thread = std::thread([this, label, &ready] {
        QThread::currentThread()->setObjectName(label);
        // The system shows at most 15 characters: the label's last part.
        pthread_setname_np(pthread_self(), label.section(QLatin1Char('.'), -1).left(15).toUtf8().constData());
        QEventLoop loop;
        m_dispatcher = new ThreadDispatcher(&loop);
        ready.count_down();
        loop.exec();
        delete m_dispatcher; // with every timer and network object parented to it
    });
    ready.wait();
}

SerialQueue::~SerialQueue()
{
    // When the last owner goes away inside the queue itself, or while the process exits after
    // its application object (when event loops no longer wake up), the thread is left to end
    // with the process.
    if (isCurrent() || !QCoreApplication::instance()) {
        m_thread.detach();
        return;
    }
    // Pending blocks run first; then the loop ends and the thread is joined.
    m_dispatcher->post([this] { m_dispatcher->quitLoop(); });
    m_thread.join();
}

QObject* SerialQueue::context() const
{
    return m_dispatcher;
}

void SerialQueue::async(std::function<void()> block)
{
    m_dispatcher->post(std::move(block));
}

void SerialQueue::sync(const std::function<void()>& block)
{
    if (isCurrent()) {
        block();
        return;
    }
    if (!QCoreApplication::instance())
        return; // the process is exiting: nothing is delivered any more
    std::latch done(1);
    m_dispatcher->post([&block, &done] {
        block();
        done.count_down();
    });
    done.wait();
}

void SerialQueue::drain()
{
    sync([] {});
}

bool SerialQueue::isCurrent() const
{
    return std::this_thread::get_id() == m_thread.get_id();
}

} // namespace telemetrydeck
