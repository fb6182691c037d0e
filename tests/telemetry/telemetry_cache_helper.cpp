// A second process for the cache tests: it starts the client the way an application does,
// sends signals while offline and quits cleanly, leaving its queue in the cache file.
//
//   telemetry_cache_helper signals <count>   sends "helper-0" ... without session signals
//   telemetry_cache_helper launch            the application's start-up sequence, then
//                                            quits after the first session has begun
#include "TelemetryDeck.h"
#include "TelemetryManager.h"
#include "TelemetryManagerConfiguration.h"

#include <QCoreApplication>
#include <QTimer>

using namespace telemetrydeck;

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
        QTimer::singleShot(200, &app, &QCoreApplication::quit);
    } else if (mode == QLatin1StringView("launch")) {
        auto configuration = std::make_shared<TelemetryManagerConfiguration>(
            QStringLiteral("5V1I0D37-9A42-4R6O-8V21-3A7V9O04R6O2"), std::nullopt, offline);
        TelemetryManager::initialize(configuration);
        TelemetryDeck::signal(QStringLiteral("appLaunched"), {});
        QTimer::singleShot(900, &app, &QCoreApplication::quit);
    } else {
        return 2;
    }
    return app.exec();
}
