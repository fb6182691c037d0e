#include "SerialQueue.h"

#include "ThreadDispatcher.h"

#include <QCoreApplication>

#include <latch>

namespace telemetrydeck {

SerialQueue::SerialQueue(const QString& label)
{
    m_thread.setObjectName(label);
    std::latch ready(1);
    QObject::connect(
        &m_thread, &QThread::started, &m_thread,
        [this, &ready] {
            m_dispatcher = new ThreadDispatcher;
            QObject::connect(&m_thread, &QThread::finished, m_dispatcher, &QObject::deleteLater,
                             Qt::DirectConnection);
            ready.count_down();
        },
        Qt::DirectConnection);
    m_thread.start();
    ready.wait();
}

SerialQueue::~SerialQueue()
{
    // Blocks still pending run first (not while the process is exiting without its
    // application object, when nothing is waited for any more).
    if (!isCurrent() && QCoreApplication::instance())
        drain();
    m_thread.quit();
    m_thread.wait();
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
        return;
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
    return QThread::currentThread() == &m_thread;
}

} // namespace telemetrydeck
