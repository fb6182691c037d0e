#include "ApplicationActivity.h"

#include "MainQueue.h"

#include <QCoreApplication>

namespace telemetrydeck {

ApplicationActivity* ApplicationActivity::instance()
{
    // Process-wide and never released, like the managers that listen to it.
    static ApplicationActivity* activity = [] {
        auto* created = new ApplicationActivity;
        if (QCoreApplication* app = QCoreApplication::instance())
            created->moveToThread(app->thread());
        return created;
    }();
    return activity;
}

std::atomic<bool> ApplicationActivity::s_active = true;

bool ApplicationActivity::isActive()
{
    return s_active;
}

void ApplicationActivity::setActive(bool active)
{
    if (s_active == active)
        return;
    active ? postWillBecomeActive() : postDidResignActive();
}

void ApplicationActivity::postDidResignActive()
{
    s_active = false;
    if (MainQueue::isCurrent())
        emit instance()->didResignActive();
    else
        MainQueue::async([] { emit instance()->didResignActive(); });
}

void ApplicationActivity::postWillBecomeActive()
{
    s_active = true;
    if (MainQueue::isCurrent())
        emit instance()->willBecomeActive();
    else
        MainQueue::async([] { emit instance()->willBecomeActive(); });
}

} // namespace telemetrydeck
