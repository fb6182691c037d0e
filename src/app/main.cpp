#include "app/Logger.h"
#include "app/SingleInstance.h"
#include "app/TolvaneApp.h"
#include "platform/TerminationSignals.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tolvane"));
    QApplication::setOrganizationName(QStringLiteral("kelvora"));
    QApplication::setApplicationVersion(QStringLiteral(TOLVANE_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("com.kelvora.Tolvane"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("com.kelvora.Tolvane"),
                                                 QIcon(QStringLiteral(":/icons/com.kelvora.Tolvane.svg"))));
    // No main window: closing the settings window leaves the tray item running.
    QApplication::setQuitOnLastWindowClosed(false);

    // A second launch opens the settings of the running one and ends.
    SingleInstance instance;
    switch (instance.claim()) {
    case SingleInstance::Role::Secondary:
        Logger::shared().info(QStringLiteral("Tolvane is already running; it was asked to open its settings"));
        return 0;
    case SingleInstance::Role::Failed: // logged; switching matters more than uniqueness
    case SingleInstance::Role::Primary:
        break;
    }

    // SIGTERM, SIGINT and SIGHUP end the event loop as Quit does, so that the
    // work done when the application is about to quit still happens.
    const auto terminationSignals = TerminationSignals::install();
    if (terminationSignals) {
        QObject::connect(terminationSignals.get(), &TerminationSignals::terminationRequested, &app, [](int signalNumber) {
            Logger::shared().info(QStringLiteral("Quitting on signal %1").arg(signalNumber));
            QCoreApplication::quit();
        });
    }

    TolvaneApp tolvane;
    QObject::connect(&instance, &SingleInstance::openSettingsRequested, &tolvane, &TolvaneApp::openSettings);
    return app.exec();
}
