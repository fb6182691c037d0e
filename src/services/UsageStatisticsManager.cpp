#include "UsageStatisticsManager.h"

#include "base/Preferences.h"

#ifdef TOLVANE_HAS_TELEMETRY
#include "telemetrydeck/ApplicationActivity.h"
#include "telemetrydeck/DefaultSignalPayload.h"
#include "telemetrydeck/TelemetryDeck.h"
#include "telemetrydeck/TelemetryManager.h"
#include "telemetrydeck/TelemetryManagerConfiguration.h"
#endif

#include <QGuiApplication>
#include <QHostAddress>
#include <QPalette>
#include <QScreen>

UsageStatisticsManager& UsageStatisticsManager::shared()
{
    static UsageStatisticsManager* instance = new UsageStatisticsManager;
    return *instance;
}

UsageStatisticsManager::UsageStatisticsManager(QObject* parent)
    : QObject(parent)
{
}

bool UsageStatisticsManager::isAvailable()
{
#ifdef TOLVANE_HAS_TELEMETRY
    return true;
#else
    return false;
#endif
}

QString UsageStatisticsManager::silencingVariable()
{
#ifdef TOLVANE_HAS_TELEMETRY
    if (telemetrydeck::TelemetryManagerConfiguration::doNotTrackDetected())
        return QStringLiteral("DO_NOT_TRACK");
    if (telemetrydeck::TelemetryManagerConfiguration::previewEnvironmentDetected())
        return QStringLiteral("XCODE_RUNNING_FOR_PREVIEWS");
#endif
    return {};
}

QUrl UsageStatisticsManager::loopbackEndpoint()
{
    const QUrl url(qEnvironmentVariable("TOLVANE_ANALYTICS_URL"), QUrl::StrictMode);
    const QHostAddress host(url.host());
    if (!url.isValid() || url.scheme() != QLatin1StringView("http") || host.isNull() || !host.isLoopback())
        return {};
    return url;
}

bool UsageStatisticsManager::isSharingEnabled() const
{
    return isAvailable() && Preferences::boolValue(sharingKey(), true);
}

void UsageStatisticsManager::setSharingEnabled(bool enabled)
{
    if (!isAvailable() || enabled == isSharingEnabled())
        return;
    Preferences::setValue(sharingKey(), enabled);
    if (m_started)
        configureClient();
    Q_EMIT isSharingEnabledChanged();
}

void UsageStatisticsManager::start()
{
#ifdef TOLVANE_HAS_TELEMETRY
    if (m_started)
        return;
    m_started = true;
    installDeviceFacts();
    forwardApplicationState();
    configureClient();
    telemetrydeck::TelemetryDeck::signal(QStringLiteral("appLaunched"), {});
#endif
}

void UsageStatisticsManager::configureClient()
{
#ifdef TOLVANE_HAS_TELEMETRY
    // A client configured with analytics disabled is silenced: it deletes the queue its
    // predecessor left and sends nothing. Turning sharing on again starts a new session.
    const QUrl endpoint = loopbackEndpoint();
    auto configuration = std::make_shared<telemetrydeck::TelemetryManagerConfiguration>(
        analyticsAppID(), std::nullopt, endpoint.isEmpty() ? std::nullopt : std::optional<QUrl>(endpoint));
    configuration->setAnalyticsDisabled(!isSharingEnabled());
    telemetrydeck::TelemetryManager::initialize(configuration);
#endif
}

void UsageStatisticsManager::installDeviceFacts()
{
#ifdef TOLVANE_HAS_TELEMETRY
    telemetrydeck::DefaultSignalPayload::setDeviceFactsProvider([] {
        telemetrydeck::DeviceFacts facts;
        if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
            return facts;
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            facts.screenSize = QSizeF(screen->geometry().size());
            facts.screenScaleFactor = screen->devicePixelRatio();
        }
        const QPalette palette = QGuiApplication::palette();
        // Light text on a darker window background: a dark scheme.
        facts.colorScheme =
            palette.color(QPalette::Window).lightness() < palette.color(QPalette::WindowText).lightness()
            ? QStringLiteral("Dark")
            : QStringLiteral("Light");
        facts.layoutDirection = QGuiApplication::layoutDirection() == Qt::RightToLeft ? QStringLiteral("rightToLeft")
                                                                                      : QStringLiteral("leftToRight");
        return facts;
    });
#endif
}

void UsageStatisticsManager::forwardApplicationState()
{
#ifdef TOLVANE_HAS_TELEMETRY
    // A tray application is active only while one of its windows has the focus; at start
    // none has, so the first session waits for a window before it counts.
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (!app)
        return;
    telemetrydeck::ApplicationActivity::setActive(QGuiApplication::applicationState() == Qt::ApplicationActive);
    QObject::connect(app, &QGuiApplication::applicationStateChanged, app, [](Qt::ApplicationState state) {
        telemetrydeck::ApplicationActivity::setActive(state == Qt::ApplicationActive);
    });
#endif
}
