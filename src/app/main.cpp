#include "app/BusService.h"
#include "app/CommandLine.h"
#include "app/InstanceLock.h"
#include "app/TolvaneApp.h"
#include "base/Logger.h"
#include "base/Tolvane.h"
#include "core/RuleEngine.h"
#include "core/WindowWatcher.h"
#include "platform/Platform.h"
#include "platform/TerminationSignals.h"
#include "services/LocalizationManager.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QThread>

#include <cstdio>
#include <cstdlib>
#include <optional>

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

// How long a launch waits for the Tolvane that holds the lock to answer (it
// may be starting at this very moment).
constexpr int kStartingHolderWaitMs = 10000;

int sayTheRunningOneDoesNotAnswer(const InstanceLock& lock)
{
    LocalizationManager::shared();
    const QByteArray line =
        Tolvane::tr("Tolvane is already running but does not respond; end that process, then start Tolvane again.")
            .toLocal8Bit();
    std::fprintf(stderr, "%s\n", line.constData());
    std::fflush(stderr);
    Logger::shared().error(QStringLiteral("Another Tolvane holds %1 but does not respond").arg(lock.path()));
    return 1;
}

// Never two engines: only the process holding the lock runs Tolvane; any
// other launch asks that one to open its settings and ends. Returns the exit
// code when this process must end.
std::optional<int> becomeTheOnlyTolvane(InstanceLock& lock, BusService& bus)
{
    const QDeadlineTimer deadline(kStartingHolderWaitMs);
    while (!lock.tryLock()) {
        if (bus.askToOpenSettings() == BusService::HandOver::Answered) {
            Logger::shared().info(QStringLiteral("Tolvane is already running; it was asked to open its settings"));
            return 0;
        }
        if (deadline.hasExpired())
            return sayTheRunningOneDoesNotAnswer(lock);
        QThread::msleep(50);
    }
    switch (bus.claim()) {
    case BusService::Claim::AnotherRuns:
        Logger::shared().info(QStringLiteral("Tolvane is already running; it was asked to open its settings"));
        return 0;
    case BusService::Claim::Unanswered:
        return sayTheRunningOneDoesNotAnswer(lock);
    case BusService::Claim::NoBus: // logged; switching matters more than the interface
    case BusService::Claim::Owner:
        break;
    }
    return std::nullopt;
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
    // Reported as "buildNumber" with the usage statistics.
    app.setProperty("buildNumber", QStringLiteral(TOLVANE_BUILD_NUMBER));
    QGuiApplication::setDesktopFileName(QStringLiteral("com.kelvora.Tolvane"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("com.kelvora.Tolvane"),
                                                 QIcon(QStringLiteral(":/icons/com.kelvora.Tolvane.svg"))));
    // No main window: closing the settings window leaves the tray item running.
    QApplication::setQuitOnLastWindowClosed(false);

    // A second launch opens the settings of the running one and ends.
    InstanceLock lock;
    BusService bus;
    if (const auto exitCode = becomeTheOnlyTolvane(lock, bus))
        return *exitCode;

    // SIGTERM, SIGINT and SIGHUP end the event loop as Quit does, so that the
    // work done when the application is about to quit still happens.
    const auto terminationSignals = TerminationSignals::install();
    if (terminationSignals) {
        QObject::connect(terminationSignals.get(), &TerminationSignals::terminationRequested, &app,
                         [](int signalNumber) {
                             Logger::shared().info(QStringLiteral("Quitting on signal %1").arg(signalNumber));
                             QCoreApplication::quit();
                         });
    }

    TolvaneApp tolvane;
    bus.exportInterface(busDependencies(tolvane));
    // Read at start, so that a desktop setting that undoes the switches is in the log from the first run.
    Platform::instance().desktopConflictMonitor();
    return app.exec();
}
