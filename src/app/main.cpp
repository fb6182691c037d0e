#include "app/BusService.h"
#include "app/CommandLine.h"
#include "app/Logger.h"
#include "app/TolvaneApp.h"
#include "core/RuleEngine.h"
#include "core/WindowWatcher.h"
#include "platform/Platform.h"
#include "platform/TerminationSignals.h"
#include "services/LocalizationManager.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

namespace {
void describeApplication()
{
    QCoreApplication::setApplicationName(QStringLiteral("Tolvane"));
    QCoreApplication::setOrganizationName(QStringLiteral("kelvora"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TOLVANE_VERSION));
}

// `tolvane --option` needs no display: it only talks to the running copy.
[[noreturn]] void runCommandLine(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    describeApplication();
    LocalizationManager::shared();
    QTextStream out(stdout);
    QTextStream err(stderr);
    const int exitCode = CommandLine(QDBusConnection::sessionBus(), out, err).run(QCoreApplication::arguments());
    out.flush();
    err.flush();
    std::fflush(nullptr);
    // Nothing is left to save. Ending here spares the bus thread, which may
    // still be delivering the bus's greeting, a race with Qt's own shutdown
    // (it warns about invalid types on standard error).
    std::_Exit(exitCode);
}

TolvaneBusAdaptor::Dependencies busDependencies(TolvaneApp& tolvane)
{
    TolvaneBusAdaptor::Dependencies dependencies;
    dependencies.ruleEngine = &tolvane.ruleEngine();
    dependencies.watcher = &WindowWatcher::shared();
    dependencies.backend = Platform::instance().name();
    dependencies.setPaused = [&tolvane](bool paused) { tolvane.setPaused(paused); };
    dependencies.openSettings = [&tolvane] { tolvane.openSettings(); };
    dependencies.runningApplications = [] {
        ApplicationSource* source = Platform::instance().applicationSource();
        return source ? source->runningApplications() : QList<RunningApplication>{};
    };
    return dependencies;
}
} // namespace

int main(int argc, char** argv)
{
    const QStringList arguments = [&] {
        QStringList list;
        for (int i = 0; i < argc; ++i)
            list.append(QString::fromLocal8Bit(argv[i]));
        return list;
    }();
    if (CommandLine::hasOptions(arguments))
        runCommandLine(argc, argv);

    QApplication app(argc, argv);
    describeApplication();
    QGuiApplication::setDesktopFileName(QStringLiteral("com.kelvora.Tolvane"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("com.kelvora.Tolvane"),
                                                 QIcon(QStringLiteral(":/icons/com.kelvora.Tolvane.svg"))));
    // No main window: closing the settings window leaves the tray item running.
    QApplication::setQuitOnLastWindowClosed(false);

    // A second launch opens the settings of the running one and ends.
    BusService bus;
    switch (bus.claim()) {
    case BusService::Claim::AnotherRuns:
        Logger::shared().info(QStringLiteral("Tolvane is already running; it was asked to open its settings"));
        return 0;
    case BusService::Claim::Unanswered:
        return 1;
    case BusService::Claim::NoBus: // logged; switching matters more than the interface
    case BusService::Claim::Owner:
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
    bus.exportInterface(busDependencies(tolvane));
    return app.exec();
}
