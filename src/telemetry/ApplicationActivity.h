#pragma once

#include <QObject>

namespace telemetrydeck {

// The application's active and inactive notices. The client has no user interface of its
// own, so the host application reports when it resigns and regains the active state (a
// Qt GUI application can forward QGuiApplication::applicationStateChanged). Lives on the
// main thread.
class ApplicationActivity : public QObject {
    Q_OBJECT
public:
    static ApplicationActivity* instance();

    static void postDidResignActive();
    static void postWillBecomeActive();

signals:
    void didResignActive();
    void willBecomeActive();

private:
    ApplicationActivity() = default;
};

} // namespace telemetrydeck
