#pragma once

#include "platform/Platform.h"

#include <QObject>

#include <functional>
#include <memory>

class X11ApplicationSource;
class X11SwitchingThread;
class XkbInputSourceProvider;

// The main thread's side of the switching thread: runs the thread while a
// planner is set and keeps its table, one entry per window the application
// source knows, with the group the planner names for the window's
// application. The table is rebuilt on the turn of the loop after windows
// came, went or changed their names, and after planChanged(), which sets the
// old one aside at once.
class X11SwitchPlanner : public QObject {
    Q_OBJECT
public:
    // `layoutsInCharge` tells whether the XKB groups are the input sources
    // selected now (no input-method framework runs): otherwise no group is planned.
    X11SwitchPlanner(X11ApplicationSource& applications, XkbInputSourceProvider& layouts,
                     std::function<bool()> layoutsInCharge, QObject* parent = nullptr);
    ~X11SwitchPlanner() override;

    void setPlanner(Platform::ActivationPlanner planner);
    void planChanged();

private:
    void rebuildSoon();
    void rebuild();

    X11ApplicationSource& m_applications;
    XkbInputSourceProvider& m_layouts;
    std::function<bool()> m_layoutsInCharge;
    Platform::ActivationPlanner m_planner;
    std::unique_ptr<X11SwitchingThread> m_thread;
    bool m_rebuildQueued = false;
};
