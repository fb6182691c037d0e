// A second process for the cache tests: it starts the client the way an application does
// (session signals and statistics on), sends "helper-0" ... "helper-<count - 1>" while
// offline and quits cleanly once the first session has begun, leaving its queue in the
// cache file.
//
//   telemetry_cache_helper <count>
#include "SignalManager.h"
#include "TelemetryDeck.h"
#include "TelemetryManager.h"
#include "TelemetryManagerConfiguration.h"

#include <QCoreApplication>
#include <QTimer>

using namespace telemetrydeck;

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int count = app.arguments().value(1).toInt();
    // Offline: a closed port on loopback.
    TelemetryManager::initialize(std::make_shared<TelemetryManagerConfiguration>(
        QStringLiteral("HELPER-APP"), std::nullopt, QUrl(QStringLiteral("http://127.0.0.1:9/"))));
    for (int i = 0; i < count; ++i)
        TelemetryDeck::signal(QStringLiteral("helper-%1").arg(i), {{QStringLiteral("index"), QString::number(i)}});

    // Polls the queue, however slowly the process runs (under a sanitizer, say), for at
    // most ten seconds.
    QTimer poll;
    int elapsed = 0;
    QObject::connect(&poll, &QTimer::timeout, &app, [&app, &elapsed] {
        const auto pipeline = std::dynamic_pointer_cast<SignalManager>(TelemetryManager::shared()->signalManager());
        const QList<SignalPostBody> queued = pipeline->signalCache().snapshot();
        const bool started = std::any_of(queued.cbegin(), queued.cend(), [](const SignalPostBody& r) {
            return r.type == QLatin1StringView("TelemetryDeck.Session.started");
        });
        if (started || (elapsed += 20) > 10'000)
            app.quit();
    });
    poll.start(20);
    return app.exec();
}
