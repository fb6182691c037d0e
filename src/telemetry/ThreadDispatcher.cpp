#include "ThreadDispatcher.h"

#include <QEventLoop>
#include <QSocketNotifier>

#include <cerrno>

#include <sys/eventfd.h>
#include <unistd.h>

namespace telemetrydeck {

ThreadDispatcher::ThreadDispatcher(QEventLoop* loop)
    : m_loop(loop)
    , m_eventFd(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
{
    if (m_eventFd >= 0) {
        m_notifier = new QSocketNotifier(m_eventFd, QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, &ThreadDispatcher::drain);
    }
}

ThreadDispatcher::~ThreadDispatcher()
{
    delete m_notifier;
    if (m_eventFd >= 0)
        ::close(m_eventFd);
}

void ThreadDispatcher::post(std::function<void()> block)
{
    {
        std::lock_guard lock(m_mutex);
        m_blocks.push_back(std::move(block));
    }
    const quint64 one = 1;
    ssize_t written = 0;
    do {
        written = ::write(m_eventFd, &one, sizeof one);
    } while (written < 0 && errno == EINTR);
}

void ThreadDispatcher::quitLoop()
{
    if (m_loop)
        m_loop->quit();
}

void ThreadDispatcher::drain()
{
    quint64 counter = 0;
    while (::read(m_eventFd, &counter, sizeof counter) < 0 && errno == EINTR) { }
    std::deque<std::function<void()>> blocks;
    {
        std::lock_guard lock(m_mutex);
        blocks.swap(m_blocks);
    }
    for (std::function<void()>& block : blocks)
        block();
}

} // namespace telemetrydeck
