#pragma once

#include "platform/RunningApplication.h"

#include <QObject>
#include <QPointer>

class ApplicationSource;

// Publishes the application in front. Every activation the platform reports is
// assigned at once, in order: the source reports from its own turn of the main
// loop, and a switch queued behind other work would reach a key typed right
// after the activation too late. Repeats are passed on (filtering them is the
// consumer's business).
class WindowWatcher : public QObject {
    Q_OBJECT
    Q_PROPERTY(RunningApplication activeApp READ activeApp NOTIFY activeAppChanged)
public:
    static WindowWatcher& shared();

    explicit WindowWatcher(ApplicationSource* source, QObject* parent = nullptr);

    // Invalid (no processKey) until an application is known.
    RunningApplication activeApp() const { return m_activeApp; }

Q_SIGNALS:
    // Emitted on every assignment, also when the same application is assigned again.
    void activeAppChanged(const RunningApplication& app);

private:
    void startWatching();
    void setActiveApp(const RunningApplication& app);

    QPointer<ApplicationSource> m_source;
    RunningApplication m_activeApp;
};
