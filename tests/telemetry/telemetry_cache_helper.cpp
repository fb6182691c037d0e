// A second process for the cache tests: it starts the client the way an application does,
// sends signals while offline and quits cleanly, leaving its queue in the cache file.
//
//   telemetry_cache_helper signals <count>   sends "helper-0" ... without session signals
//   telemetry_cache_helper launch            the application's start-up sequence, then
//                                            quits after the first session has begun
#include "SignalManager.h"
#include "TelemetryDeck.h"
#include "TelemetryManager.h"
#include "TelemetryManagerConfiguration.h"

#include <QCoreApplication>
#include <QTimer>

using namespace telemetrydeck;

namespace {

// Quits once the queue holds a record of the given type (or after ten seconds), however
// slowly the process runs (under a sanitizer, say).
void quitWhenQueued(QCoreApplication& app, const QString& type)
{
    auto* poll = new QTimer(&app);
    auto* elapsed = new int(0);
    QObject::connect(poll, &QTimer::timeout, &app, [&app, type, elapsed] {
        const auto pipeline = std::dynamic_pointer_cast<SignalManager>(TelemetryManager::shared()->signalManager());
        const QList<SignalPostBody> queued = pipeline->signalCache().snapshot();
        const bool found = std::any_of(queued.cbegin(), queued.cend(), [&type](const auto& r) { return r.type == type; });
        if (found || (*elapsed += 20) > 10'000)
            app.quit();
    });
    poll->start(20);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    const QString mode = arguments.value(1);
    // Offline: a closed port on loopback.
    const QUrl offline(QStringLiteral("http://127.0.0.1:9/"));

    if (mode == QLatin1StringView("signals")) {
        auto configuration = std::make_shared<TelemetryManagerConfiguration>(QStringLiteral("HELPER-APP"), std::nullopt, offline);
        configuration->setSendNewSessionBeganSignal(false);
        configuration->setSessionStatsEnabled(false);
        configuration->setSendTimerInterval(std::chrono::hours(1));
        TelemetryManager::initialize(configuration);
        const int count = arguments.value(2).toInt();
        for (int i = 0; i < count; ++i)
            TelemetryDeck::signal(QStringLiteral("helper-%1").arg(i), {{QStringLiteral("index"), QString::number(i)}});
        quitWhenQueued(app, QStringLiteral("helper-%1").arg(count - 1));
    } else if (mode == QLatin1StringView("launch")) {
        auto configuration = std::make_shared<TelemetryManagerConfiguration>(
            QStringLiteral("5V1I0D37-9A42-4R6O-8V21-3A7V9O04R6O2"), std::nullopt, offline);
        TelemetryManager::initialize(configuration);
        TelemetryDeck::signal(QStringLiteral("appLaunched"), {});
        quitWhenQueued(app, QStringLiteral("TelemetryDeck.Session.started"));
    } else {
        return 2;
    }
    return app.exec();
}
