#include "X11Platform.h"

#include "X11ApplicationSource.h"
#include "X11Connection.h"
#include "X11DesktopCompositing.h"
#include "X11RecordKeyMonitor.h"
#include "X11SwitchPlanner.h"
#include "X11SystemTrayMonitor.h"
#include "XkbInputSourceProvider.h"
#include "platform/freedesktop/DesktopEntryIndex.h"

std::unique_ptr<X11Platform> X11Platform::create(NotificationService* notifications)
{
    auto connection = X11Connection::open();
    if (!connection)
        return nullptr;
    return std::unique_ptr<X11Platform>(new X11Platform(std::move(connection), notifications));
}

X11Platform::X11Platform(std::unique_ptr<X11Connection> connection, NotificationService* notifications)
    : FreedesktopPlatform(notifications)
    , m_connection(std::move(connection))
{
}

X11Platform::~X11Platform()
{
    m_switchPlanner.reset();
    releaseInputSources();
    m_trayMonitor.reset();
    m_keyMonitor.reset();
    m_compositing.reset();
    m_applications.reset();
    m_inputSources.reset();
}

InputSourceProvider* X11Platform::layoutProvider()
{
    if (!m_inputSources)
        m_inputSources = std::make_unique<XkbInputSourceProvider>(*m_connection);
    return m_inputSources.get();
}

ApplicationSource* X11Platform::applicationSource()
{
    if (!m_applications)
        m_applications = std::make_unique<X11ApplicationSource>(*m_connection, DesktopEntryIndex::shared());
    return m_applications.get();
}

SystemTrayMonitor* X11Platform::systemTrayMonitor()
{
    if (!m_trayMonitor)
        m_trayMonitor = std::make_unique<X11SystemTrayMonitor>(*m_connection);
    return m_trayMonitor.get();
}

GlobalKeyMonitor* X11Platform::globalKeyMonitor()
{
    if (!m_keyMonitor)
        m_keyMonitor = std::make_unique<X11RecordKeyMonitor>(*m_connection);
    return m_keyMonitor.get();
}

DesktopCompositing* X11Platform::desktopCompositing()
{
    if (!m_compositing)
        m_compositing = std::make_unique<X11DesktopCompositing>(*m_connection);
    return m_compositing.get();
}

void X11Platform::setActivationPlanner(ActivationPlanner planner)
{
    if (!m_switchPlanner) {
        if (!planner)
            return;
        applicationSource();
        layoutProvider();
        // While an input-method framework is in charge, its entries are the
        // sources and the groups are left alone.
        m_switchPlanner = std::make_unique<X11SwitchPlanner>(*m_connection, *m_applications, *m_inputSources, [this] {
            return inputSourceProvider()->providerName() == m_inputSources->providerName();
        });
    }
    m_switchPlanner->setPlanner(std::move(planner));
}

void X11Platform::activationPlanChanged()
{
    if (m_switchPlanner)
        m_switchPlanner->planChanged();
}
