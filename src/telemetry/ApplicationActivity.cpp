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

void ApplicationActivity::postDidResignActive()
{
    if (MainQueue::isCurrent())
        emit instance()->didResignActive();
    else
        MainQueue::async([] { emit instance()->didResignActive(); });
}

void ApplicationActivity::postWillBecomeActive()
{
    if (MainQueue::isCurrent())
        emit instance()->willBecomeActive();
    else
        MainQueue::async([] { emit instance()->willBecomeActive(); });
}

} // namespace telemetrydeck
