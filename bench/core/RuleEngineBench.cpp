// The rule engine with 10,000 rules: what one decision costs (from the
// activation notice to the selection request, worst case: the matching rule is
// the last one), and the resident memory of the process with those rules loaded.
#include "core/RulesCodec.h"
#include "support/EngineHarness.h"
#include "support/TestMain.h"

#include <QElapsedTimer>
#include <QFile>

#include <algorithm>
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

} // namespace

int main(int argc, char** argv)
{
    tolvane::test::isolateHome();
    QCoreApplication app(argc, argv);
    constexpr int ruleCount = 10000;
    constexpr int activations = 20000;

    QList<AppRule> rules;
    rules.reserve(ruleCount);
    for (int i = 0; i < ruleCount; ++i) {
        AppRule rule;
        rule.appBundleID = QStringLiteral("org.example.Application%1").arg(i);
        rule.appName = QStringLiteral("Application %1").arg(i);
        rule.targetInputSourceID = i % 2 ? QStringLiteral("xkb:de") : QStringLiteral("xkb:ru");
        rules.append(rule);
    }
    const QByteArray file = RulesCodec::encode(rules);
    QFile::remove(RuleEngine::rulesFileURL());
    {
        QFile out(RuleEngine::rulesFileURL());
        out.open(QIODevice::WriteOnly);
        out.write(file);
    }

    const long before = residentKilobytes();
    EngineHarness harness;
    harness.useRulesFile();
    QElapsedTimer loadTimer;
    loadTimer.start();
    RuleEngine& engine = harness.start();
    const double loadMs = loadTimer.nsecsElapsed() / 1e6;
    const long after = residentKilobytes();

    // Alternate between the application of the last rule and one without a rule.
    const RunningApplication last = FakeApplicationSource::app(rules.last().appBundleID);
    const RunningApplication none = FakeApplicationSource::app(QStringLiteral("org.example.NoRule"));
    QList<qint64> nanos;
    nanos.reserve(activations);
    for (int i = 0; i < activations; ++i) {
        QElapsedTimer timer;
        timer.start();
        harness.apps.activate(i % 2 ? none : last);
        QCoreApplication::processEvents();
        nanos.append(timer.nsecsElapsed());
    }
    std::sort(nanos.begin(), nanos.end());
    auto percentile = [&](double p) { return nanos.at(qMin(nanos.size() - 1, qsizetype(p * nanos.size()))) / 1000.0; };

    std::printf("rules: %d (rules file %.1f KiB), loaded and rewritten in %.1f ms\n", int(engine.rules().size()),
                file.size() / 1024.0, loadMs);
    std::printf("decision (activation notice -> selection), %d activations: p50 %.1f us, p99 %.1f us, max %.1f us\n",
                activations, percentile(0.50), percentile(0.99), nanos.last() / 1000.0);
    std::printf("resident memory: %ld KiB before loading, %ld KiB with %d rules (+%ld KiB, %.0f bytes a rule)\n",
                before, after, ruleCount, after - before, (after - before) * 1024.0 / ruleCount);
    std::printf("selections made: %lld\n", (long long)harness.provider.selections.size());
    return 0;
}
