// The settings window with a long rule list: how long it takes to open (until
// it is on screen) and how much resident memory it adds, with 0, 1,000 and
// 10,000 rules; and how long importing 10,000 rules takes while the list is
// open. Each figure comes from a fresh process, so that one measurement's
// memory does not count in the next.
#include "backup/RulesExportManager.h"
#include "core/RulesCodec.h"
#include "services/PermissionsManager.h"
#include "support/TestMain.h"
#include "ui/RuleListView.h"
#include "ui/SettingsView.h"
#include "ui/UiTestServices.h"

#include <QElapsedTimer>
#include <QFile>
#include <QListView>
#include <QProcess>

#include <cstdio>

namespace {

long residentKilobytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return -1;
}

QList<AppRule> manyRules(int count)
{
    QList<AppRule> rules;
    rules.reserve(count);
    for (int i = 0; i < count; ++i) {
        AppRule rule = ruleFor(QStringLiteral("org.example.Application%1").arg(i), i % 2 ? "xkb:de" : "xkb:ru");
        rule.appName = QStringLiteral("Application %1").arg(i);
        rules.append(rule);
    }
    return rules;
}

void writeFile(const QString& path, const QByteArray& contents)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size())
        qFatal("cannot write %s", qPrintable(path));
}

void settle()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

// Prints "<milliseconds> <resident KiB before> <resident KiB after>".
int measureOpening(int ruleCount)
{
    writeFile(RuleEngine::rulesFileURL(), RulesCodec::encode(manyRules(ruleCount)));
    UiTestServices services;
    PermissionsManager permissions([] { return true; });
    settle();
    const long before = residentKilobytes();
    QElapsedTimer timer;
    timer.start();
    SettingsView window(services.engine(), services.inputSources(), permissions);
    window.resize(820, 560);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;
    settle();
    const double ms = timer.nsecsElapsed() / 1e6;
    const long after = residentKilobytes();
    if (services.engine().rules().size() != ruleCount)
        return 1;
    std::printf("%.1f %ld %ld\n", ms, before, after);
    return 0;
}

// Prints "<milliseconds> <rules shown>".
int measureImport(int ruleCount)
{
    const QString backup = QDir::temp().filePath(QStringLiteral("tolvane-bench-import.json"));
    writeFile(backup, RulesCodec::encode(manyRules(ruleCount), RulesCodec::Style::PrettySorted));
    UiTestServices services;
    services.engine().addRule(ruleFor(QStringLiteral("org.example.Existing"), QStringLiteral("xkb:us")));
    PermissionsManager permissions([] { return true; });
    SettingsView window(services.engine(), services.inputSources(), permissions);
    window.resize(820, 560);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;
    settle();
    QElapsedTimer timer;
    timer.start();
    const auto message = services.rulesExport->importCompleted({QUrl::fromLocalFile(backup)});
    settle();
    const double ms = timer.nsecsElapsed() / 1e6;
    QFile::remove(backup);
    if (!message || services.engine().rules().size() != ruleCount + 1)
        return 1;
    std::printf("%.1f %d\n", ms, window.ruleListView()->list()->model()->rowCount());
    return 0;
}

QStringList runChild(const QStringList& arguments)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), arguments);
    if (!child.waitForFinished(600000) || child.exitCode() != 0)
        return {};
    // The figures are the last line; the engine may print before them.
    const QStringList lines = QString::fromUtf8(child.readAllStandardOutput()).trimmed().split(QLatin1Char('\n'));
    return lines.last().split(QLatin1Char(' '));
}

} // namespace

int main(int argc, char** argv)
{
    tolvane::test::isolateHome();
    QApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() == 3 && arguments.at(1) == QLatin1String("--open"))
        return measureOpening(arguments.at(2).toInt());
    if (arguments.size() == 3 && arguments.at(1) == QLatin1String("--import"))
        return measureImport(arguments.at(2).toInt());

    int status = 0;
    double baselineAfter = 0;
    for (int count : {0, 1000, 10000}) {
        const QStringList figures = runChild({QStringLiteral("--open"), QString::number(count)});
        if (figures.size() != 3) {
            std::printf("open with %d rules: failed\n", count);
            status = 1;
            continue;
        }
        const double after = figures.at(2).toDouble() / 1024.0;
        if (count == 0)
            baselineAfter = after;
        std::printf("settings window with %5d rules: open %8.1f ms, resident %6.1f MB (window adds %5.1f MB; "
                    "%+5.1f MB against 0 rules)\n",
                    count, figures.at(0).toDouble(), after, after - figures.at(1).toDouble() / 1024.0,
                    after - baselineAfter);
    }
    const QStringList imported = runChild({QStringLiteral("--import"), QStringLiteral("10000")});
    if (imported.size() == 2) {
        std::printf("import of 10000 rules with the list open: %.1f ms (list shows %s rows)\n",
                    imported.at(0).toDouble(), qPrintable(imported.at(1)));
    } else {
        std::printf("import of 10000 rules with the list open: failed\n");
        status = 1;
    }
    return status;
}
