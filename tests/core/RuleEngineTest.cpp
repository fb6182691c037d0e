#include "core/Preferences.h"
#include "support/EngineHarness.h"
#include "support/RecordingLogSink.h"
#include "support/StandardOutputCapture.h"
#include "support/TestMain.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <csignal>
#include <sys/resource.h>

namespace {

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

AppRule oneRule()
{
    AppRule rule = ruleFor(QStringLiteral("org.example/app"), QStringLiteral("xkb:de"));
    rule.id = QUuid::fromString(QStringLiteral("{11111111-2222-4333-8444-555555555555}"));
    return rule;
}

const QByteArray kOneRule =
    R"J([{"id":"11111111-2222-4333-8444-555555555555","appBundleID":"org.example\/app","appName":"org.example\/app","targetInputSourceID":"xkb:de","isEnabled":true}])J";

QStringList keptCopies()
{
    return QFileInfo(RuleEngine::rulesFileURL()).dir().entryList({QStringLiteral("rules.json.corrupt-*")}, QDir::Files);
}

} // namespace

class RuleEngineTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        QDir(QFileInfo(RuleEngine::rulesFileURL()).path()).removeRecursively();
        Preferences::store().clear();
        Preferences::store().sync();
    }

    void decidesTheTarget_data()
    {
        QTest::addColumn<QList<AppRule>>("rules");
        QTest::addColumn<QString>("defaultSource"); // "" for no default
        QTest::addColumn<QString>("bundle");        // "" for an application without an id
        QTest::addColumn<QStringList>("selections");
        QTest::addColumn<QStringList>("log");

        QTest::newRow("enabled rule matches")
            << QList<AppRule>{ruleFor("org.gnome.gedit", "xkb:de")} << "" << "org.gnome.gedit"
            << QStringList{"xkb:de"} << QStringList{"info: [Match] org.gnome.gedit -> xkb:de"};
        QTest::newRow("disabled rule: default applies")
            << QList<AppRule>{ruleFor("kitty", "xkb:ru", false)} << "xkb:us" << "kitty"
            << QStringList{"xkb:us"} << QStringList{"info: [Fallback] kitty -> xkb:us"};
        QTest::newRow("target not enabled: no fall-back")
            << QList<AppRule>{ruleFor("kitty", "xkb:fr")} << "xkb:us" << "kitty"
            << QStringList{} << QStringList{"info: [Match] kitty -> xkb:fr"};
        QTest::newRow("no rule, no default: nothing")
            << QList<AppRule>{} << "" << "kitty" << QStringList{} << QStringList{};
        QTest::newRow("bundle ids match exactly")
            << QList<AppRule>{ruleFor("Kitty", "xkb:ru")} << "xkb:us" << "kitty"
            << QStringList{"xkb:us"} << QStringList{"info: [Fallback] kitty -> xkb:us"};
        QTest::newRow("application without id is ignored")
            << QList<AppRule>{} << "xkb:us" << "" << QStringList{} << QStringList{};
    }

    void decidesTheTarget()
    {
        QFETCH(QList<AppRule>, rules);
        QFETCH(QString, defaultSource);
        QFETCH(QString, bundle);
        QFETCH(QStringList, selections);
        QFETCH(QStringList, log);

        EngineHarness harness;
        RuleEngine& engine = harness.start();
        for (const AppRule& r : rules)
            engine.addRule(r);
        engine.setDefaultInputSourceID(defaultSource.isEmpty() ? std::nullopt : std::optional(defaultSource));
        RecordingLogSink sink;
        harness.apps.activate(FakeApplicationSource::app(bundle, QStringLiteral("pid:1")));
        QTRY_COMPARE(harness.provider.selections, selections);
        QCoreApplication::processEvents();
        QCOMPARE(sink.lines(), log);
        QCOMPARE(harness.events.size(), selections.size() * 2);
    }

    void givesFeedbackInOrderAfterEachSwitch()
    {
        EngineHarness harness;
        harness.notifications.errorToReport = QStringLiteral("org.freedesktop.DBus.Error.ServiceUnknown: no server");
        RuleEngine& engine = harness.start();
        engine.addRule(ruleFor("a", "xkb:de"));
        engine.addRule(ruleFor("b", "xkb:ru"));
        RecordingLogSink log;

        // Notifications are posted only when asked for.
        harness.apps.activate(FakeApplicationSource::app("a"));
        QTRY_COMPARE(harness.provider.selections.size(), 1);
        QVERIFY(harness.notifications.posted.isEmpty());

        // A -> B -> A: A's rule applies again, with feedback each time.
        Preferences::setValue(QStringLiteral("showNotification"), true);
        harness.apps.activate(FakeApplicationSource::app("b"));
        harness.apps.activate(FakeApplicationSource::app("a"));
        QTRY_COMPARE(harness.provider.selections, (QStringList{"xkb:de", "xkb:ru", "xkb:de"}));
        QCOMPARE(harness.events,
                 (QStringList{"indicator German xkb:de", "sound", "indicator Russian xkb:ru", "sound",
                              "indicator German xkb:de", "sound"}));
        QCOMPARE(harness.notifications.posted,
                 (QList<QPair<QString, QString>>{{"Input Source Changed", "Russian"}, {"Input Source Changed", "German"}}));
        QVERIFY(log.lines().contains(
            QStringLiteral("error: Notification error: org.freedesktop.DBus.Error.ServiceUnknown: no server")));

        // A refused selection gives no feedback at all.
        harness.events.clear();
        harness.provider.refuseSelection = true;
        harness.apps.activate(FakeApplicationSource::app("b"));
        QTRY_COMPARE(harness.provider.selections.size(), 4);
        QVERIFY(harness.events.isEmpty());
        QCOMPARE(harness.notifications.posted.size(), 2);
    }

    void handlesEachApplicationOnceFromStartAndNoneWhilePaused()
    {
        EngineHarness harness;
        harness.start().addRule(ruleFor("a", "xkb:de"));
        harness.engine->addRule(ruleFor("b", "xkb:ru"));
        harness.engine->setDefaultInputSourceID(QStringLiteral("xkb:us"));
        harness.engine.reset();

        // The next engine finds the rules and the default, and handles the
        // frontmost application synchronously, during construction.
        harness.apps.frontmost = FakeApplicationSource::app("a");
        RuleEngine& engine = harness.start();
        QCOMPARE(harness.provider.selections, QStringList{"xkb:de"});
        QCOMPARE(harness.events, (QStringList{"indicator German xkb:de", "sound"}));
        QCOMPARE(engine.defaultInputSourceID(), std::optional<QString>(QStringLiteral("xkb:us")));

        // Another window of the same process is the same application.
        harness.apps.activate(FakeApplicationSource::app("a", "pid:a"));
        QTest::qWait(20);
        QCOMPARE(harness.provider.selections, QStringList{"xkb:de"});
        // Two processes of one program are two applications.
        harness.apps.activate(FakeApplicationSource::app("a", "pid:other"));
        QTRY_COMPARE(harness.provider.selections, (QStringList{"xkb:de", "xkb:de"}));

        QSignalSpy paused(&engine, &RuleEngine::isPausedChanged);
        engine.setPaused(true);
        QCOMPARE(paused.size(), 1);
        harness.apps.activate(FakeApplicationSource::app("b"));
        QTest::qWait(20);
        QCOMPARE(harness.provider.selections.size(), 2);
        // Resuming re-applies nothing; the duplicate filter kept following while paused.
        engine.setPaused(false);
        harness.apps.activate(FakeApplicationSource::app("b"));
        QTest::qWait(20);
        QCOMPARE(harness.provider.selections.size(), 2);
        harness.apps.activate(FakeApplicationSource::app("a"));
        QTRY_COMPARE(harness.provider.selections, (QStringList{"xkb:de", "xkb:de", "xkb:de"}));

        engine.setDefaultInputSourceID(std::nullopt);
        QVERIFY(!Preferences::contains(QStringLiteral("defaultInputSourceID")));
    }

    // The rules file.
    void missingOrUnreadableFileLoadsNothing_data()
    {
        QTest::addColumn<QByteArray>("contents"); // null: no file, as on a fresh install
        QTest::newRow("fresh install") << QByteArray();
        QTest::newRow("binary junk") << QByteArray("\x7f" "ELF\x02\x01\x01\x00\xff\xfe", 10);
        QTest::newRow("truncated") << kOneRule.left(kOneRule.size() / 2);
        QTest::newRow("wrong types") << QByteArray(R"J({"rules":[1,2,3]})J");
        QTest::newRow("a name that is a number")
            << QByteArray(kOneRule).replace(R"("appName":"org.example\/app")", R"("appName":5)");
        QTest::newRow("braced UUID")
            << QByteArray(kOneRule).replace("\"11111111", "\"{11111111").replace("5555\"", "5555}\"");
        QTest::newRow("invalid UTF-8") << QByteArray(kOneRule).replace("xkb:de", "xkb:\xc3\x28");
        QTest::newRow("nested 100,000 levels") << QByteArray(100000, '[') + QByteArray(100000, ']');
        QByteArray huge(50 * 1024 * 1024, ' ');
        huge.replace(0, kOneRule.size(), kOneRule);
        QTest::newRow("50 MB") << huge;
    }

    void missingOrUnreadableFileLoadsNothing()
    {
        QFETCH(QByteArray, contents);
        const QString path = RuleEngine::rulesFileURL();
        QFile file(path);
        if (!contents.isNull())
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size());
        file.close();

        RecordingLogSink log;
        StandardOutputCapture output;
        EngineHarness harness;
        RuleEngine& engine = harness.start();
        QVERIFY(engine.rules().isEmpty());
        const QByteArray printed = output.text();
        QVERIFY2(printed.startsWith("Failed to load rules (might be fresh install): ") && printed.endsWith('\n')
                     && printed.count('\n') == 1,
                 printed.constData());
        // Nothing written until the first change...
        QVERIFY(readFile(path) == contents);
        QVERIFY(keptCopies().isEmpty());

        // ...which replaces an unreadable file with the rules made since, after keeping it beside them.
        engine.addRule(oneRule());
        QCOMPARE(readFile(path), kOneRule);
        const QStringList kept = keptCopies();
        QCOMPARE(kept.size(), contents.isNull() ? 0 : 1);
        if (contents.isNull())
            return;
        const QString keptPath = QFileInfo(path).dir().filePath(kept.first());
        QVERIFY(readFile(keptPath) == contents);
        QVERIFY(log.lines().contains(QStringLiteral("info: Kept the unreadable rules file as ") + keptPath));

        // Only once per run.
        engine.addRule(ruleFor("other", "xkb:ru"));
        QCOMPARE(keptCopies().size(), 1);
    }

    void failedWriteKeepsTheOldFileAndTheChangeInMemory()
    {
        EngineHarness harness;
        RuleEngine& engine = harness.start();
        engine.addRule(oneRule());
        QCOMPARE(readFile(RuleEngine::rulesFileURL()), kOneRule);

        // A file-size limit makes the write fail part-way, as a full disk would;
        // a buffered save used to commit the truncated file.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        const rlimit tiny{64, saved.rlim_max};
        StandardOutputCapture output;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &tiny), 0);
        engine.addRule(ruleFor("second", "xkb:ru"));
        const bool savedAgain = engine.saveRules();
        setrlimit(RLIMIT_FSIZE, &saved);

        QVERIFY(!savedAgain);
        QCOMPARE(engine.rules().size(), 2);
        QCOMPARE(readFile(RuleEngine::rulesFileURL()), kOneRule);
        // The limit also cut the captured output, after its first 64 bytes.
        const QByteArray printed = output.text();
        QVERIFY2(printed.startsWith("Failed to save rules: "), printed.constData());
    }
};

TOLVANE_TEST_GUILESS_MAIN(RuleEngineTest)
#include "RuleEngineTest.moc"
