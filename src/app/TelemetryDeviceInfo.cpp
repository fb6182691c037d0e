#include "TelemetryDeviceInfo.h"

#include "ApplicationActivity.h"
#include "DefaultSignalPayload.h"

#include <QGuiApplication>
#include <QPalette>
#include <QScreen>

namespace tolvane {

void installTelemetryDeviceInfo()
{
    telemetrydeck::DefaultSignalPayload::setDeviceFactsProvider([] {
        telemetrydeck::DeviceFacts facts;
        auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
        if (!app)
            return facts;
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            facts.screenSize = QSizeF(screen->geometry().size());
            facts.screenScaleFactor = screen->devicePixelRatio();
        }
        // A dark window background means a dark scheme.
        facts.colorScheme = QGuiApplication::palette().color(QPalette::Window).lightness() < 128
            ? QStringLiteral("Dark")
            : QStringLiteral("Light");
        facts.layoutDirection = QGuiApplication::layoutDirection() == Qt::RightToLeft ? QStringLiteral("rightToLeft")
                                                                                       : QStringLiteral("leftToRight");
        return facts;
    });

    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        QObject::connect(app, &QGuiApplication::applicationStateChanged, app, [](Qt::ApplicationState state) {
            if (state == Qt::ApplicationActive)
                telemetrydeck::ApplicationActivity::postWillBecomeActive();
            else
                telemetrydeck::ApplicationActivity::postDidResignActive();
        });
    }
}

} // namespace tolvane
