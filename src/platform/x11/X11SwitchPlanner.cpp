#include "X11SwitchPlanner.h"

#include "X11ApplicationSource.h"
#include "X11Connection.h"
#include "X11SwitchingThread.h"
#include "XkbInputSourceProvider.h"
#include "base/Logger.h"

#include <QPointer>

#include <X11/Xlib.h>

#include <cerrno>

#include <poll.h>

namespace {

// Longer than the thread's round trip to the server takes even on a busy
// machine; a thread that is slower still is not waited for.
constexpr std::chrono::microseconds kThreadHead(2000);
// After the thread switched, the server has yet to carry out the lock and tell
// every client (the application in front among them) of the new group. This
// thread's own requests for the activation would compete with that for the
// server and the processors, so it keeps quiet until its own connection hears
// from the server, at most this long after the switch. Measured here, the
// slowest switches took a fifth longer without the pause; a fixed pause of
// the whole millisecond made more first letters come out in the old layout.
constexpr std::chrono::microseconds kQuietAfterSwitch(1000);

} // namespace

X11SwitchPlanner::X11SwitchPlanner(X11Connection& connection, X11ApplicationSource& applications,
                                   XkbInputSourceProvider& layouts, std::function<bool()> layoutsInCharge,
                                   QObject* parent)
    : QObject(parent)
    , m_applications(applications)
    , m_layouts(layouts)
    , m_layoutsInCharge(std::move(layoutsInCharge))
    , m_root(connection.rootWindow())
    , m_activeWindowAtom(connection.atom("_NET_ACTIVE_WINDOW"))
    , m_connectionFd(ConnectionNumber(connection.display()))
{
    const QPointer<X11SwitchPlanner> self(this);
    connection.addEventHandler([self](const XEvent& event) {
        if (self)
            self->noticeActivation(event);
    });
    connection.addBatchHandler(
        [self] {
            if (self)
                self->yieldToTheThread();
        },
        X11Connection::BatchStage::Yielding);
    connect(&m_applications, &X11ApplicationSource::knownWindowsChanged, this, &X11SwitchPlanner::rebuildSoon);
    connect(&m_layouts, &InputSourceProvider::enabledInputSourcesChanged, this, &X11SwitchPlanner::planChanged);
}

X11SwitchPlanner::~X11SwitchPlanner() = default;

void X11SwitchPlanner::setPlanner(Platform::ActivationPlanner planner)
{
    m_planner = std::move(planner);
    if (!m_planner) {
        m_thread.reset();
        return;
    }
    if (!m_thread) {
        m_thread = X11SwitchingThread::start();
        if (!m_thread)
            Logger::shared().error(QStringLiteral("No switching thread: the X display could not be reached again"));
    }
    planChanged();
}

void X11SwitchPlanner::planChanged()
{
    if (!m_thread)
        return;
    m_thread->setTable(nullptr);
    rebuildSoon();
}

// Many changes come together (a window mapped, then its properties read):
// one rebuild serves them all.
void X11SwitchPlanner::rebuildSoon()
{
    if (m_rebuildQueued || !m_thread)
        return;
    m_rebuildQueued = true;
    QMetaObject::invokeMethod(this, &X11SwitchPlanner::rebuild, Qt::QueuedConnection);
}

void X11SwitchPlanner::rebuild()
{
    m_rebuildQueued = false;
    if (!m_thread || !m_planner)
        return;
    const bool layoutsInCharge = !m_layoutsInCharge || m_layoutsInCharge();
    auto table = std::make_shared<X11SwitchingThread::Table>();
    const auto windows = m_applications.knownWindows();
    table->reserve(windows.size());
    for (const auto& [window, app] : windows) {
        X11SwitchingThread::Window entry{app.processKey, app.bundleIdentifier};
        if (layoutsInCharge) {
            if (const auto target = m_planner(app))
                entry.group = m_layouts.groupOf(*target).value_or(-1);
        }
        table->insert(window, entry);
    }
    m_thread->setTable(std::move(table));
}

void X11SwitchPlanner::noticeActivation(const XEvent& event)
{
    if (m_thread && event.type == PropertyNotify && event.xproperty.atom == m_activeWindowAtom
        && event.xproperty.window == m_root) {
        m_lastActivation = m_lastActivation.following(uint32_t(event.xproperty.time));
        m_activationToYieldFor = m_lastActivation;
    }
}

void X11SwitchPlanner::yieldToTheThread()
{
    if (!m_activationToYieldFor || !m_thread)
        return;
    const auto mark = *std::exchange(m_activationToYieldFor, std::nullopt);
    if (const auto lastSwitch = m_thread->awaitActivation(mark, kThreadHead))
        awaitNewsFromTheServer(*lastSwitch + kQuietAfterSwitch);
}

void X11SwitchPlanner::awaitNewsFromTheServer(std::chrono::steady_clock::time_point deadline) const
{
    for (auto now = std::chrono::steady_clock::now(); now < deadline; now = std::chrono::steady_clock::now()) {
        const auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(deadline - now);
        const timespec timeout{0, long(left.count())};
        pollfd connection{m_connectionFd, POLLIN, 0};
        const int ready = ppoll(&connection, 1, &timeout, nullptr);
        if (ready > 0 || (ready < 0 && errno != EINTR))
            return;
    }
}
