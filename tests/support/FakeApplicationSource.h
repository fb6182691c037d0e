#pragma once

#include "platform/ApplicationSource.h"

// Activations that tests announce by hand.
class FakeApplicationSource : public ApplicationSource {
    Q_OBJECT
public:
    using ApplicationSource::ApplicationSource;

    std::optional<RunningApplication> frontmostApplication() override { return frontmost; }
    QList<RunningApplication> runningApplications() override { return running; }

    void activate(const RunningApplication& app)
    {
        frontmost = app;
        Q_EMIT applicationActivated(app);
    }

    static RunningApplication app(const QString& bundleID, const QString& processKey = {})
    {
        RunningApplication app;
        app.processKey = processKey.isEmpty() ? QStringLiteral("pid:") + bundleID : processKey;
        if (!bundleID.isEmpty())
            app.bundleIdentifier = bundleID;
        app.localizedName = bundleID;
        return app;
    }

    std::optional<RunningApplication> frontmost;
    QList<RunningApplication> running;
};
