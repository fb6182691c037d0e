#include "SerialQueue.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QObject>

#include <latch>

namespace telemetrydeck {

SerialQueue::SerialQueue(const QString& label)
{
    m_thread.setObjectName(label);
    m_context = new QObject;
    m_context->moveToThread(&m_thread);
    QObject::connect(&m_thread, &QThread::finished, m_context, &QObject::deleteLater);
    m_thread.start();
}

SerialQueue::~SerialQueue()
{
    // Blocks still pending run first; once the application object is gone, cross-thread
    // blocks are no longer delivered, so there is nothing left to wait for.
    if (!isCurrent() && QCoreApplication::instance())
        drain();
    m_thread.quit();
    m_thread.wait();
}

void SerialQueue::async(std::function<void()> block)
{
    QMetaObject::invokeMethod(m_context, std::move(block), Qt::QueuedConnection);
}

void SerialQueue::sync(const std::function<void()>& block)
{
    if (isCurrent()) {
        block();
        return;
    }
    // Without the application object nothing is delivered across threads any more; this
    // only happens while the process is exiting, when the queue's work no longer matters.
    if (!QCoreApplication::instance())
        return;
    // A latch rather than a blocking queued connection, so that the hand-back is visible to
    // race detectors that do not see inside Qt's own locking.
    std::latch done(1);
    QMetaObject::invokeMethod(
        m_context,
        [&block, &done] {
            block();
            done.count_down();
        },
        Qt::QueuedConnection);
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
