#pragma once

#include "X11SwitchingThread.h"
#include "platform/Platform.h"

#include <QObject>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

class X11ApplicationSource;
class X11Connection;
class XkbInputSourceProvider;

// The main thread's side of the switching thread: runs the thread while a
// planner is set and keeps its table, one entry per window the application
// source knows, with the group the planner names for the window's
// application. The table is rebuilt on the turn of the loop after windows
// came, went or changed their names, and after planChanged(), which sets the
// old one aside at once.
//
// When the main thread reads an activation, it first waits (briefly) for the
// thread to have acted on it: the main thread's requests and drawing would
// otherwise compete with the switch for the server and the processors.
class X11SwitchPlanner : public QObject {
    Q_OBJECT
public:
    // `layoutsInCharge` tells whether the XKB groups are the input sources
    // selected now (no input-method framework runs): otherwise no group is planned.
    X11SwitchPlanner(X11Connection& connection, X11ApplicationSource& applications, XkbInputSourceProvider& layouts,
                     std::function<bool()> layoutsInCharge, QObject* parent = nullptr);
    ~X11SwitchPlanner() override;

    void setPlanner(Platform::ActivationPlanner planner);
    void planChanged();

private:
    void rebuildSoon();
    void rebuild();
    void noticeActivation(const union _XEvent& event);
    void yieldToTheThread();
    // Until this thread's connection has something from the server, or the deadline passed.
    void awaitNewsFromTheServer(std::chrono::steady_clock::time_point deadline) const;

    X11ApplicationSource& m_applications;
    XkbInputSourceProvider& m_layouts;
    std::function<bool()> m_layoutsInCharge;
    Platform::ActivationPlanner m_planner;
    std::unique_ptr<X11SwitchingThread> m_thread;
    bool m_rebuildQueued = false;
    unsigned long m_root = 0;
    unsigned long m_activeWindowAtom = 0;
    int m_connectionFd = -1;
    X11SwitchingThread::ActivationMark m_lastActivation;
    std::optional<X11SwitchingThread::ActivationMark> m_activationToYieldFor; // read in this batch
};
