// Tolvane's switching core on GNOME Shell, as the application wires it (the
// GNOME backend, the input-source catalogue, the window watcher and the rule
// engine with its rules file), without the tray and windows the benchmark has
// no use for. Arguments: APP_ID=INPUT_SOURCE_ID ...; prints "ready" once it listens.
#include "core/InputSourceManager.h"
#include "core/RuleEngine.h"
#include "core/RulesStore.h"
#include "core/WindowWatcher.h"
#include "platform/gnome/GnomePlatform.h"
#include "platform/gnome/GnomeShellExtension.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    GnomePlatform platform;
    if (!platform.extension().isRunning()) {
        std::fprintf(stderr, "gnome-tolvane-host: Tolvane's Shell extension does not run\n");
        return 1;
    }
    InputSourceManager manager(platform.inputSourceProvider());
    WindowWatcher watcher(platform.applicationSource());
    RulesStore store;
    RuleEngine engine(manager, watcher, store, RuleEngine::Feedback{});
    for (const QString& argument : app.arguments().mid(1)) {
        AppRule rule;
        rule.appBundleID = argument.section(QLatin1Char('='), 0, 0);
        rule.appName = rule.appBundleID;
        rule.targetInputSourceID = argument.section(QLatin1Char('='), 1);
        engine.addRule(rule);
    }
    std::printf("ready\n");
    std::fflush(stdout);
    return app.exec();
}
