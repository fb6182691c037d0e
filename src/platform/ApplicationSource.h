#pragma once

#include "RunningApplication.h"

#include <QList>
#include <QObject>
#include <QRect>

#include <optional>

// Reports which application is in front.
class ApplicationSource : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~ApplicationSource() override = default;

    // The application in front now, if the system knows one.
    virtual std::optional<RunningApplication> frontmostApplication() = 0;

    // The applications with ordinary windows, one entry per process, in the
    // system's stacking/creation order.
    virtual QList<RunningApplication> runningApplications() = 0;

    // Where the active window lies on the desktop (its frame in the desktop's
    // coordinates), if the system tells.
    virtual std::optional<QRect> activeWindowFrame() { return std::nullopt; }

Q_SIGNALS:
    // Each activation, in order, on the main thread.
    void applicationActivated(const RunningApplication& app);
};
