#pragma once

#include <QObject>

#include <atomic>

namespace telemetrydeck {

// The application's active and inactive notices. The client has no user interface of its
// own, so the host application reports when it resigns and regains the active state (a
// Qt GUI application forwards QGuiApplication::applicationStateChanged, and reports its
// state once at start). Until told otherwise the application counts as active. Lives on the
// main thread.
class ApplicationActivity : public QObject {
    Q_OBJECT
public:
    static ApplicationActivity* instance();

    static bool isActive();
    // Records the state and posts the matching notice when it changed.
    static void setActive(bool active);
    static void postDidResignActive();
    static void postWillBecomeActive();

signals:
    void didResignActive();
    void willBecomeActive();

private:
    ApplicationActivity() = default;
    static std::atomic<bool> s_active;
};

} // namespace telemetrydeck
