#include "core/Preferences.h"
#include "core/RulesCodec.h"
#include "support/EngineHarness.h"
#include "support/RecordingLogSink.h"
#include "support/TestMain.h"

#include <QFile>

class RuleEngineTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void decidesTheTarget_data();
    void decidesTheTarget();
    void givesFeedbackInOrderAfterEachSwitch();
    void handlesTheSameApplicationOnceInARow();
    void ignoresActivationsWhilePaused();
    void handlesTheFrontmostApplicationAtStart();
    void postsNotificationsOnlyWhenAsked();
    void logsNotificationErrors();
    void keepsRuleListOperationsInPlace();
};

void RuleEngineTest::init()
{
    QFile::remove(RuleEngine::rulesFileURL());
    Preferences::store().clear();
    Preferences::store().sync();
}

void RuleEngineTest::decidesTheTarget_data()
{
    QTest::addColumn<QList<AppRule>>("rules");
    QTest::addColumn<QString>("defaultSource"); // "<none>" for no default
    QTest::addColumn<QString>("bundle");        // "" for an application without an id
    QTest::addColumn<QStringList>("selections");
    QTest::addColumn<QStringList>("log");

    const QString none = QStringLiteral("<none>");
    QTest::newRow("enabled rule matches")
        << QList<AppRule>{ruleFor("org.gnome.gedit", "xkb:de")} << none << "org.gnome.gedit"
        << QStringList{"xkb:de"} << QStringList{"info: [Match] org.gnome.gedit -> xkb:de"};
    QTest::newRow("first disabled, second enabled: second applies")
        << QList<AppRule>{ruleFor("kitty", "xkb:ru", false), ruleFor("kitty", "xkb:de")} << none << "kitty"
        << QStringList{"xkb:de"} << QStringList{"info: [Match] kitty -> xkb:de"};
    QTest::newRow("only a disabled rule: default applies")
        << QList<AppRule>{ruleFor("kitty", "xkb:ru", false)} << "xkb:us" << "kitty"
        << QStringList{"xkb:us"} << QStringList{"info: [Fallback] kitty -> xkb:us"};
    QTest::newRow("no rule, no default: nothing")
        << QList<AppRule>{} << none << "kitty" << QStringList{} << QStringList{};
    QTest::newRow("empty default behaves like none")
        << QList<AppRule>{} << "" << "kitty" << QStringList{} << QStringList{};
    QTest::newRow("target not enabled: no fall-back")
        << QList<AppRule>{ruleFor("kitty", "xkb:fr")} << "xkb:us" << "kitty"
        << QStringList{} << QStringList{"info: [Match] kitty -> xkb:fr"};
    QTest::newRow("bundle ids match exactly")
        << QList<AppRule>{ruleFor("Kitty", "xkb:ru")} << "xkb:us" << "kitty"
        << QStringList{"xkb:us"} << QStringList{"info: [Fallback] kitty -> xkb:us"};
    QTest::newRow("application without id is ignored")
        << QList<AppRule>{} << "xkb:us" << "" << QStringList{} << QStringList{};
}

void RuleEngineTest::decidesTheTarget()
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
    // addRule keeps one rule per application; put duplicates in the way a hand-edited file would.
    if (rules.size() == 2 && rules[0].appBundleID == rules[1].appBundleID) {
        QFile file(RuleEngine::rulesFileURL());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(RulesCodec::encode(rules));
        file.close();
        harness.engine.reset();
        harness.start();
    }
    harness.engine->setDefaultInputSourceID(defaultSource == QLatin1String("<none>") ? std::nullopt
                                                                                      : std::optional(defaultSource));
    RecordingLogSink sink;
    harness.provider.selections.clear();
    harness.apps.activate(FakeApplicationSource::app(bundle, QStringLiteral("pid:1")));
    QTRY_COMPARE(harness.provider.selections, selections);
    QCoreApplication::processEvents();
    QCOMPARE(sink.lines(), log);
    QCOMPARE(harness.events.size(), selections.size() * 2);
}

void RuleEngineTest::givesFeedbackInOrderAfterEachSwitch()
{
    Preferences::setValue(QStringLiteral("showNotification"), true);
    EngineHarness harness;
    RuleEngine& engine = harness.start();
    engine.addRule(ruleFor("a", "xkb:de"));
    engine.addRule(ruleFor("b", "xkb:ru"));

    // A -> B -> A: A's rule applies twice, feedback each time, although xkb:de may still be selected.
    harness.apps.activate(FakeApplicationSource::app("a"));
    harness.apps.activate(FakeApplicationSource::app("b"));
    harness.apps.activate(FakeApplicationSource::app("a"));
    QTRY_COMPARE(harness.provider.selections, (QStringList{"xkb:de", "xkb:ru", "xkb:de"}));
    QCOMPARE(harness.events,
             (QStringList{"indicator German xkb:de", "sound", "indicator Russian xkb:ru", "sound",
                          "indicator German xkb:de", "sound"}));
    QCOMPARE(harness.notifications.posted.size(), 3);

    // A refused selection gives no feedback at all.
    harness.events.clear();
    harness.provider.refuseSelection = true;
    harness.apps.activate(FakeApplicationSource::app("b"));
    QTRY_COMPARE(harness.provider.selections.size(), 4);
    QVERIFY(harness.events.isEmpty());
    QCOMPARE(harness.notifications.posted.size(), 3);
}

void RuleEngineTest::handlesTheSameApplicationOnceInARow()
{
    EngineHarness harness;
    harness.start().addRule(ruleFor("a", "xkb:de"));
    harness.apps.activate(FakeApplicationSource::app("a"));
    harness.apps.activate(FakeApplicationSource::app("a"));
    // Another window of the same process is the same application.
    harness.apps.activate(FakeApplicationSource::app("a", "pid:a"));
    QTest::qWait(20);
    QCOMPARE(harness.provider.selections, QStringList{"xkb:de"});

    // Two processes of one program are two applications.
    harness.apps.activate(FakeApplicationSource::app("a", "pid:other"));
    QTRY_COMPARE(harness.provider.selections, (QStringList{"xkb:de", "xkb:de"}));
}

void RuleEngineTest::ignoresActivationsWhilePaused()
{
    EngineHarness harness;
    RuleEngine& engine = harness.start();
    engine.addRule(ruleFor("a", "xkb:de"));
    engine.addRule(ruleFor("b", "xkb:ru"));
    QSignalSpy paused(&engine, &RuleEngine::isPausedChanged);
    engine.setPaused(true);
    QCOMPARE(paused.size(), 1);
    harness.apps.activate(FakeApplicationSource::app("a"));
    QTest::qWait(20);
    QVERIFY(harness.provider.selections.isEmpty());

    // Resuming re-applies nothing; the duplicate filter kept following while paused.
    engine.setPaused(false);
    harness.apps.activate(FakeApplicationSource::app("a"));
    QTest::qWait(20);
    QVERIFY(harness.provider.selections.isEmpty());
    harness.apps.activate(FakeApplicationSource::app("b"));
    QTRY_COMPARE(harness.provider.selections, QStringList{"xkb:ru"});
}

void RuleEngineTest::handlesTheFrontmostApplicationAtStart()
{
    {
        EngineHarness first;
        first.start().addRule(ruleFor("front", "xkb:ru"));
    }
    EngineHarness harness;
    harness.apps.frontmost = FakeApplicationSource::app("front");
    harness.start();
    // Synchronously, during construction.
    QCOMPARE(harness.provider.selections, QStringList{"xkb:ru"});
    QCOMPARE(harness.events, (QStringList{"indicator Russian xkb:ru", "sound"}));
}

void RuleEngineTest::postsNotificationsOnlyWhenAsked()
{
    EngineHarness harness;
    harness.start().setDefaultInputSourceID(QStringLiteral("xkb:de"));
    harness.apps.activate(FakeApplicationSource::app("a"));
    QTRY_COMPARE(harness.provider.selections.size(), 1);
    QVERIFY(harness.notifications.posted.isEmpty());

    Preferences::setValue(QStringLiteral("showNotification"), true);
    harness.apps.activate(FakeApplicationSource::app("b"));
    QTRY_COMPARE(harness.notifications.posted.size(), 1);
    QCOMPARE(harness.notifications.posted.first(), qMakePair(QStringLiteral("Input Source Changed"), QStringLiteral("German")));
    QCOMPARE(harness.feedbackEvents().last(), QStringLiteral("notification Input Source Changed German"));
}

void RuleEngineTest::logsNotificationErrors()
{
    Preferences::setValue(QStringLiteral("showNotification"), true);
    EngineHarness harness;
    harness.notifications.errorToReport = QStringLiteral("org.freedesktop.DBus.Error.ServiceUnknown: no server");
    harness.start().setDefaultInputSourceID(QStringLiteral("xkb:de"));
    RecordingLogSink log;
    harness.apps.activate(FakeApplicationSource::app("a"));
    QTRY_VERIFY(log.lines().contains(
        QStringLiteral("error: Notification error: org.freedesktop.DBus.Error.ServiceUnknown: no server")));
}

void RuleEngineTest::keepsRuleListOperationsInPlace()
{
    EngineHarness harness;
    RuleEngine& engine = harness.start();
    QSignalSpy changes(&engine, &RuleEngine::rulesChanged);
    const AppRule a = ruleFor("a", "xkb:de");
    const AppRule b = ruleFor("b", "xkb:ru");
    engine.addRule(a);
    engine.addRule(b);
    AppRule replacement = ruleFor("a", "xkb:us", false);
    engine.addRule(replacement);
    QCOMPARE(engine.rules(), (QList<AppRule>{replacement, b}));
    QCOMPARE(changes.size(), 3);

    engine.deleteRule(QUuid::createUuid());
    QCOMPARE(engine.rules().size(), 2);
    QCOMPARE(changes.size(), 4);
    engine.deleteRule(replacement.id);
    QCOMPARE(engine.rules(), QList<AppRule>{b});

    engine.setDefaultInputSourceID(QString());
    QCOMPARE(Preferences::stringValue(QStringLiteral("defaultInputSourceID")), std::optional(QString()));
    engine.setDefaultInputSourceID(std::nullopt);
    QVERIFY(!Preferences::contains(QStringLiteral("defaultInputSourceID")));
}

TOLVANE_TEST_GUILESS_MAIN(RuleEngineTest)
#include "RuleEngineTest.moc"
