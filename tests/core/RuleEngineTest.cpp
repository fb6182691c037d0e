#include "base/Preferences.h"
#include "core/RulesCodec.h"
#include "platform/NullPlatform.h"
#include "support/EngineHarness.h"
#include "support/RecordingLogSink.h"
#include "support/StandardOutputCapture.h"
#include "support/TestFiles.h"
#include "support/TestMain.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using tolvane::test::readFile;
using tolvane::test::writeFile;

namespace {

AppRule oneRule()
{
    AppRule rule = ruleFor(QStringLiteral("org.example/app"), QStringLiteral("xkb:de"));
    rule.id = QUuid::fromString(QStringLiteral("{11111111-2222-4333-8444-555555555555}"));
    return rule;
}

const QByteArray kOneRule =
    R"J([{"id":"11111111-2222-4333-8444-555555555555","appBundleID":"org.example\/app","appName":"org.example\/app","targetInputSourceID":"xkb:de","isEnabled":true}])J";

// What a layout hotkey does: the current source changes without the engine.
void switchByHand(EngineHarness& harness, const QString& id)
{
    harness.provider.current = FakeInputSourceProvider::source(id, id);
}

// Brings `bundle` to the front and lets the engine handle it.
void bringToFront(EngineHarness& harness, const QString& bundle)
{
    harness.apps.activate(FakeApplicationSource::app(bundle));
    QCoreApplication::processEvents();
}

void setRememberLastUsed(bool on)
{
    Preferences::setValue(InputSourceMemory::preferenceKey(), on);
}

QStringList keptCopies(const QString& rulesFile = RuleEngine::rulesFileURL())
{
    return QFileInfo(rulesFile).dir().entryList({QStringLiteral("rules.json.corrupt-*")}, QDir::Files);
}

// 4,500 rules of which the last has "isEnabled" as a string: undecodable.
QByteArray manyRulesOneBad()
{
    QList<AppRule> rules;
    for (int i = 0; i < 4500; ++i)
        rules.append(ruleFor(QStringLiteral("org.example.App%1").arg(i), QStringLiteral("xkb:de")));
    QByteArray json = RulesCodec::encode(rules);
    const qsizetype last = json.lastIndexOf("\"isEnabled\":true");
    return json.replace(last, 16, "\"isEnabled\":\"1\"");
}

// Runs `work` with writes limited to `bytes` per file, as on a nearly full disk.
template <typename Work> void withFileSizeLimit(rlim_t bytes, Work work)
{
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const rlimit limit{bytes, saved.rlim_max};
    setrlimit(RLIMIT_FSIZE, &limit);
    work();
    setrlimit(RLIMIT_FSIZE, &saved);
}

// Runs `work` as the unprivileged user "nobody" when the test runs as root (to
// whom permission bits mean nothing), with writes limited to 64 KiB per file.
void asNobody(const QString& directory, const std::function<void()>& work)
{
    bool dropped = false;
    if (geteuid() == 0) {
        chown(QFile::encodeName(directory).constData(), 65534, 65534);
        for (const QFileInfo& entry : QDir(directory).entryInfoList(QDir::Files | QDir::System))
            lchown(QFile::encodeName(entry.filePath()).constData(), 65534, 65534);
        dropped = setegid(65534) == 0 && seteuid(65534) == 0;
    }
    withFileSizeLimit(64 * 1024, work);
    if (dropped) {
        seteuid(0);
        setegid(0);
    }
}

// Keeps the planner it is given and counts the notices that the plan changed.
class PlanningPlatform : public NullPlatform {
public:
    void setActivationPlanner(ActivationPlanner newPlanner) override { planner = std::move(newPlanner); }
    void activationPlanChanged() override { ++changes; }

    ActivationPlanner planner;
    int changes = 0;
};

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

    // The first enabled rule the application is known by (under any of its
    // names), else the default; a switching thread is told the same plan.
    void decidesTheTarget_data()
    {
        QTest::addColumn<QList<AppRule>>("rules");
        QTest::addColumn<QString>("defaultSource"); // "" for no default
        QTest::addColumn<QStringList>("names"); // the application's id, then its other names; none: no id
        QTest::addColumn<QString>("selected"); // "" for no selection
        QTest::addColumn<QString>("logged"); // "" for nothing
        QTest::addColumn<QString>("planned"); // what a switching thread is told to select; "" for nothing
        const auto row = [](const char* tag, const QList<AppRule>& rules, const QString& defaultSource,
                            const QStringList& names, const QString& selected, const QString& logged,
                            const QString& planned) {
            QTest::newRow(tag) << rules << defaultSource << names << selected << logged << planned;
        };
        row("enabled rule matches", {ruleFor("org.gnome.gedit", "xkb:de")}, "", {"org.gnome.gedit"}, "xkb:de",
            "[Match] org.gnome.gedit -> xkb:de", "xkb:de");
        row("disabled rule: default applies", {ruleFor("kitty", "xkb:ru", false)}, "xkb:us", {"kitty"}, "xkb:us",
            "[Fallback] kitty -> xkb:us", "xkb:us");
        row("target not enabled: no fall-back", {ruleFor("kitty", "xkb:fr")}, "xkb:us", {"kitty"}, "",
            "[Match] kitty -> xkb:fr", "xkb:fr");
        row("no rule, no default: nothing", {}, "", {"kitty"}, "", "", "");
        row("ids compared exactly", {ruleFor("Kitty", "xkb:ru")}, "xkb:us", {"kitty"}, "xkb:us",
            "[Fallback] kitty -> xkb:us", "xkb:us");
        row("application without id is ignored", {}, "xkb:us", {}, "", "", "");
        const QStringList gimp{"org.gimp.GIMP", "Gimp-2.10", "gimp"};
        row("rule by window class, app known by its desktop entry", {ruleFor("Gimp-2.10", "xkb:de")}, "xkb:us", gimp,
            "xkb:de", "[Match] org.gimp.GIMP -> xkb:de", "xkb:de");
        row("rule by announced id", {ruleFor("gimp", "xkb:ru")}, "xkb:us", gimp, "xkb:ru",
            "[Match] org.gimp.GIMP -> xkb:ru", "xkb:ru");
        row("first enabled in list order, whichever name",
            {ruleFor("org.gimp.GIMP", "xkb:ru", false), ruleFor("Gimp-2.10", "xkb:de"),
             ruleFor("org.gimp.GIMP", "xkb:ru")},
            "xkb:us", gimp, "xkb:de", "[Match] org.gimp.GIMP -> xkb:de", "xkb:de");
        row("other names compared exactly", {ruleFor("gimp-2.10", "xkb:de")}, "xkb:us", gimp, "xkb:us",
            "[Fallback] org.gimp.GIMP -> xkb:us", "xkb:us");
    }

    void decidesTheTarget()
    {
        QFETCH(QList<AppRule>, rules);
        QFETCH(QString, defaultSource);
        QFETCH(QStringList, names);
        QFETCH(QString, selected);
        QFETCH(QString, logged);
        QFETCH(QString, planned);

        EngineHarness harness;
        // Loaded as they stand: addRule keeps one rule per application.
        static_cast<MemoryRulesStore&>(*harness.store).rules = rules;
        RuleEngine& engine = harness.start();
        PlanningPlatform platform;
        ActivationPlanPublisher publisher(engine, platform);
        engine.setDefaultInputSourceID(defaultSource.isEmpty() ? std::nullopt : std::optional(defaultSource));
        RunningApplication app = FakeApplicationSource::app(names.value(0), QStringLiteral("pid:1"));
        app.alternativeIdentifiers = names.mid(1);
        QCOMPARE(platform.planner(app).value_or(QString()), planned);
        RecordingLogSink sink;
        harness.apps.activate(app);
        const QStringList selections = selected.isEmpty() ? QStringList() : QStringList{selected};
        QTRY_COMPARE(harness.provider.selections, selections);
        QCoreApplication::processEvents();
        QCOMPARE(sink.lines(), logged.isEmpty() ? QStringList() : QStringList{"info: " + logged});
        QCOMPARE(harness.events.size(), selections.size() * 2);
    }

    // A switching thread's table is set aside on every change that can change
    // the plan, and the planner answers what the engine would now select.
    void tellsThePlatformWhenThePlanChanges()
    {
        setRememberLastUsed(true);
        EngineHarness harness;
        RuleEngine& engine = harness.start();
        auto platform = std::make_unique<PlanningPlatform>();
        auto publisher = std::make_unique<ActivationPlanPublisher>(engine, *platform, harness.memory.get());
        const RunningApplication a = FakeApplicationSource::app("a");
        const auto plansAfter = [&](const std::function<void()>& change, const QString& expected) {
            const int before = platform->changes;
            change();
            QVERIFY(platform->changes > before);
            QCOMPARE(platform->planner(a).value_or(QString()), expected);
        };
        plansAfter([&] { engine.setDefaultInputSourceID(QStringLiteral("xkb:us")); }, "xkb:us");
        plansAfter([&] { harness.memory->remember("a", "xkb:ru"); }, "xkb:ru");
        plansAfter([&] { setRememberLastUsed(false); }, "xkb:us");
        plansAfter([&] { engine.addRule(ruleFor("a", "xkb:de")); }, "xkb:de");
        plansAfter([&] { engine.setPaused(true); }, "");
        plansAfter([&] { engine.setPaused(false); }, "xkb:de");
        plansAfter([&] { Q_EMIT harness.provider.enabledInputSourcesChanged(); }, "xkb:de");
        // Gone with the publisher: no thread plans by an engine that may be gone too.
        publisher.reset();
        QVERIFY(!platform->planner);
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
        QCOMPARE(
            harness.notifications.posted,
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

        // Another window of the same process is the same application; two
        // processes of one program are two.
        harness.apps.activate(FakeApplicationSource::app("a", "pid:a"));
        harness.apps.activate(FakeApplicationSource::app("a", "pid:other"));
        QCOMPARE(harness.provider.selections, (QStringList{"xkb:de", "xkb:de"}));

        // Paused, nothing is selected; resumed, nothing is re-applied: the
        // duplicate filter kept following meanwhile.
        engine.setPaused(true);
        bringToFront(harness, "b");
        engine.setPaused(false);
        bringToFront(harness, "b");
        bringToFront(harness, "a");
        QCOMPARE(harness.provider.selections, (QStringList{"xkb:de", "xkb:de", "xkb:de"}));

        engine.setDefaultInputSourceID(std::nullopt);
        QVERIFY(!Preferences::contains(QStringLiteral("defaultInputSourceID")));
    }

    // Turned off, the memory remembers nothing, and does not even leave a file.
    void memoryTurnedOffLeavesNoFile()
    {
        EngineHarness harness;
        harness.start().addRule(ruleFor("b", "xkb:ru"));
        bringToFront(harness, "a");
        switchByHand(harness, "xkb:de");
        bringToFront(harness, "b");
        harness.memory->save();
        QVERIFY(!QFileInfo::exists(InputSourceMemory::fileURL()));
    }

    void memoryLastsARestartAndYieldsToRulesAndPause()
    {
        setRememberLastUsed(true);
        EngineHarness harness;
        harness.start().addRule(ruleFor("b", "xkb:ru"));
        bringToFront(harness, "a");
        switchByHand(harness, "xkb:de");
        bringToFront(harness, "b");
        QTRY_COMPARE(harness.provider.selections, QStringList{"xkb:ru"});

        // Restarted with a in front.
        harness.engine.reset();
        harness.memory.reset();
        harness.provider.selections.clear();
        harness.apps.frontmost = FakeApplicationSource::app("a");
        RecordingLogSink log;
        RuleEngine& engine = harness.start();
        QCOMPARE(harness.provider.selections, QStringList{"xkb:de"});
        QVERIFY(log.lines().contains("info: [Remembered] a -> xkb:de"));

        // Paused, a switch by hand is not remembered, and nothing is restored.
        engine.setPaused(true);
        switchByHand(harness, "xkb:ru");
        bringToFront(harness, "b");
        bringToFront(harness, "a");
        bringToFront(harness, "b");
        engine.setPaused(false);
        bringToFront(harness, "a");
        QTRY_COMPARE(harness.provider.selections, (QStringList{"xkb:de", "xkb:de"}));

        // A rule made later wins at once.
        engine.addRule(ruleFor("a", "xkb:us"));
        bringToFront(harness, "b");
        bringToFront(harness, "a");
        QTRY_COMPARE(harness.provider.selections, (QStringList{"xkb:de", "xkb:de", "xkb:ru", "xkb:us"}));

        // A remembered source that is gone gives way to the default.
        engine.setDefaultInputSourceID(QStringLiteral("xkb:us"));
        bringToFront(harness, "c");
        switchByHand(harness, "xkb:de");
        bringToFront(harness, "b");
        harness.provider.sources->removeAt(1);
        harness.provider.selections.clear();
        bringToFront(harness, "c");
        QTRY_COMPARE(harness.provider.selections, QStringList{"xkb:us"});
    }

    void unusableMemoryFileLosesNothingElse_data()
    {
        QTest::addColumn<QByteArray>("contents"); // "fifo" and "directory" make one in its place
        QTest::addColumn<bool>("writable");
        QTest::newRow("truncated") << QByteArray("{\"applications\":[{\"appBundleID\":\"a\",\"inp") << true;
        QTest::newRow("not a list") << QByteArray(R"J({"applications":{"a":"xkb:de"}})J") << true;
        QByteArray huge = R"J({"applications":[{"appBundleID":"a","inputSourceID":"xkb:ru"}]})J";
        huge.append(2 * 1024 * 1024, ' ');
        QTest::newRow("2 MB") << huge << true;
        QTest::newRow("a named pipe") << QByteArray("fifo") << true;
        QTest::newRow("a directory: unwritable") << QByteArray("directory") << false;
    }

    void unusableMemoryFileLosesNothingElse()
    {
        QFETCH(QByteArray, contents);
        QFETCH(bool, writable);
        setRememberLastUsed(true);
        QVERIFY(writeFile(RuleEngine::rulesFileURL(), RulesCodec::encode({ruleFor("b", "xkb:ru")})));
        EngineHarness harness;
        harness.useRulesFile();
        const QString path = InputSourceMemory::fileURL();
        if (contents == "fifo") {
            QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        } else if (contents == "directory") {
            QVERIFY(QDir().mkpath(path));
        } else {
            QVERIFY(writeFile(path, contents));
        }

        RecordingLogSink log;
        harness.apps.frontmost = FakeApplicationSource::app("b");
        RuleEngine& engine = harness.start();
        QCOMPARE(harness.provider.selections, QStringList{"xkb:ru"});
        QCOMPARE(engine.rules().size(), 1);

        // The memory still works for this run, and replaces the file when it can.
        bringToFront(harness, "a");
        switchByHand(harness, "xkb:de");
        bringToFront(harness, "b");
        bringToFront(harness, "a");
        QTRY_COMPARE(harness.provider.selections, (QStringList{"xkb:ru", "xkb:ru", "xkb:de"}));
        QCOMPARE(harness.memory->save(), writable);
        const QString ignored = QStringLiteral("error: Ignored the remembered input sources in “%1”: ").arg(path);
        const QString failed = QStringLiteral("error: Could not save the remembered input sources to “%1”: ").arg(path);
        QCOMPARE(log.lines().filter(ignored).size(), 1);
        QCOMPARE(log.lines().filter(failed).size(), writable ? 0 : 1);
        if (writable)
            QCOMPARE(InputSourceMemory(path).inputSource("a"), std::optional<QString>("xkb:de"));
    }

    // The rules file.
    void missingOrUnreadableFileIsKeptAside_data()
    {
        QTest::addColumn<QByteArray>("contents"); // null: no file, as on a fresh install
        QTest::addColumn<bool>("writeOnly");
        QTest::newRow("fresh install") << QByteArray() << false;
        QTest::newRow("binary junk") << QByteArray("\x7f"
                                                   "ELF\x02\x01\x01\x00\xff\xfe",
                                                   10)
                                     << false;
        QTest::newRow("truncated") << kOneRule.left(kOneRule.size() / 2) << false;
        QTest::newRow("wrong types") << QByteArray(R"J({"rules":[1,2,3]})J") << false;
        QTest::newRow("a name that is a number")
            << QByteArray(kOneRule).replace(R"("appName":"org.example\/app")", R"("appName":5)") << false;
        QTest::newRow("braced UUID")
            << QByteArray(kOneRule).replace("\"11111111", "\"{11111111").replace("5555\"", "5555}\"") << false;
        QTest::newRow("invalid UTF-8") << QByteArray(kOneRule).replace("xkb:de", "xkb:\xc3\x28") << false;
        QTest::newRow("nested 100,000 levels") << QByteArray(100000, '[') + QByteArray(100000, ']') << false;
        QTest::newRow("4,500 rules, one bad") << manyRulesOneBad() << false;
        QTest::newRow("just over the size cap")
            << QByteArray(RulesStore::maximumFileSize + 1, ' ').replace(0, kOneRule.size(), kOneRule) << false;
        QTest::newRow("write-only (mode 200)") << kOneRule << true;
    }

    // Nothing loads, and the first change replaces an unreadable file with the
    // rules made since after keeping it beside them, also where a copy cannot be
    // written (a file-size limit as on a nearly full disk, or a file that cannot
    // be read at all): it used to be replaced anyway.
    void missingOrUnreadableFileIsKeptAside()
    {
        QFETCH(QByteArray, contents);
        QFETCH(bool, writeOnly);
        QTemporaryDir dir;
        QVERIFY(QFile::setPermissions(
            dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther));
        const QString path = dir.filePath(QStringLiteral("rules.json"));
        if (!contents.isNull())
            QVERIFY(writeFile(path, contents));
        if (writeOnly)
            QVERIFY(QFile::setPermissions(path, QFile::WriteOwner));

        RecordingLogSink log;
        StandardOutputCapture output;
        EngineHarness harness;
        harness.useRulesFile(path);
        asNobody(dir.path(), [&] { harness.start(); });
        RuleEngine& engine = *harness.engine;
        QVERIFY(engine.rules().isEmpty());
        const QByteArray printed = output.text();
        QVERIFY2(printed.startsWith("Failed to load rules (might be fresh install): ") && printed.endsWith('\n')
                     && printed.count('\n') == 1,
                 printed.constData());
        // Nothing written until the first change (the write-only file is read once kept).
        QVERIFY(writeOnly || readFile(path) == contents);
        QVERIFY(keptCopies(path).isEmpty());

        asNobody(dir.path(), [&] { engine.addRule(oneRule()); });
        QVERIFY(engine.rulesSaveError().isEmpty());
        QCOMPARE(readFile(path), kOneRule);
        const QStringList kept = keptCopies(path);
        QCOMPARE(kept.size(), contents.isNull() ? 0 : 1);
        if (!contents.isNull()) {
            const QString keptPath = dir.filePath(kept.first());
            QVERIFY(log.lines().contains(QStringLiteral("info: Kept the unreadable rules file as ") + keptPath));
            QFile::setPermissions(keptPath, QFile::ReadOwner | QFile::WriteOwner);
            QVERIFY(readFile(keptPath) == contents);
        }

        // Kept only once per run; the new file is readable even where the old one was not.
        asNobody(dir.path(), [&] { engine.addRule(ruleFor("other", "xkb:ru")); });
        QCOMPARE(keptCopies(path).size(), kept.size());
        const QList<AppRule> made = engine.rules();
        harness.engine.reset();
        asNobody(dir.path(), [&] { harness.start(); });
        QCOMPARE(harness.engine->rules(), made);
    }

    void somethingElseInPlaceOfTheFileIsNeverReplaced_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("FIFO") << "fifo";
        QTest::newRow("symbolic link to /dev/zero") << "zero";
        QTest::newRow("directory") << "directory";
    }

    // A FIFO used to block start-up for ever, /dev/zero to fill memory.
    void somethingElseInPlaceOfTheFileIsNeverReplaced()
    {
        QFETCH(QString, kind);
        const QString path = RuleEngine::rulesFileURL();
        const QByteArray name = QFile::encodeName(path);
        if (kind == QLatin1String("fifo"))
            QCOMPARE(mkfifo(name.constData(), 0600), 0);
        else if (kind == QLatin1String("zero"))
            QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path));
        else
            QVERIFY(QDir().mkdir(path));

        RecordingLogSink log;
        StandardOutputCapture output;
        EngineHarness harness;
        harness.useRulesFile();
        RuleEngine& engine = harness.start();
        QVERIFY(engine.rules().isEmpty());
        QSignalSpy errorChanges(&engine, &RuleEngine::rulesSaveErrorChanged);
        engine.addRule(oneRule());
        engine.addRule(ruleFor("second", "xkb:ru"));
        const QByteArray printed = output.text();
        QVERIFY2(printed.startsWith("Failed to load rules (might be fresh install): "), printed.constData());
        QCOMPARE(printed.count("Failed to save rules: "), 2);
        QVERIFY(log.lines().filter(QStringLiteral("error: Failed to save rules: ")).size() == 2);

        // Left as it was, the change kept in memory and reported once.
        const QFileInfo info(path);
        QVERIFY(!info.isFile() || info.isSymLink());
        QVERIFY(keptCopies().isEmpty());
        QCOMPARE(engine.rules().size(), 2);
        QVERIFY(!engine.rulesSaveError().isEmpty());
        QCOMPARE(errorChanges.size(), 1);

        // Once it is gone, the next save writes everything.
        QVERIFY(info.isDir() ? QDir(path).removeRecursively() : QFile::remove(path));
        engine.deleteRule(QUuid());
        QVERIFY(engine.rulesSaveError().isEmpty());
        QCOMPARE(errorChanges.size(), 2);
        QCOMPARE(RulesCodec::decode(readFile(path)).rules, engine.rules());
    }

    void importedRulesMergeAsOneChange_data()
    {
        QTest::addColumn<QStringList>("existing"); // bundle:target
        QTest::addColumn<QStringList>("imported");
        QTest::addColumn<QStringList>("result");
        QTest::newRow("appended in file order") << QStringList{"a:xkb:us"} << QStringList{"b:xkb:de", "c:xkb:ru"}
                                                << QStringList{"a:xkb:us", "b:xkb:de", "c:xkb:ru"};
        QTest::newRow("replaced in place")
            << QStringList{"a:xkb:us", "b:xkb:us"} << QStringList{"a:xkb:de"} << QStringList{"a:xkb:de", "b:xkb:us"};
        QTest::newRow("two for one new application: the second wins")
            << QStringList{"a:xkb:us"} << QStringList{"n:xkb:de", "n:xkb:ru"} << QStringList{"a:xkb:us", "n:xkb:ru"};
        QTest::newRow("file duplicates: the first is replaced")
            << QStringList{"a:xkb:us", "a:xkb:de"} << QStringList{"a:xkb:ru"} << QStringList{"a:xkb:ru", "a:xkb:de"};
        QTest::newRow("nothing") << QStringList{"a:xkb:us"} << QStringList{} << QStringList{"a:xkb:us"};
    }

    void importedRulesMergeAsOneChange()
    {
        QFETCH(QStringList, existing);
        QFETCH(QStringList, imported);
        QFETCH(QStringList, result);
        const auto rules = [](const QStringList& pairs) {
            QList<AppRule> list;
            for (const QString& pair : pairs)
                list.append(ruleFor(pair.section(QLatin1Char(':'), 0, 0), pair.section(QLatin1Char(':'), 1)));
            return list;
        };
        // A list read from the file may hold two rules for one application.
        EngineHarness harness;
        auto& store = static_cast<MemoryRulesStore&>(*harness.store);
        store.rules = rules(existing);
        RuleEngine& engine = harness.start();
        const QList<AppRule> incoming = rules(imported);
        QSignalSpy changes(&engine, &RuleEngine::rulesChanged);
        QCOMPARE(engine.addRules(incoming), incoming.size());
        QCOMPARE(changes.size(), 1);
        QStringList merged;
        for (const AppRule& rule : engine.rules())
            merged.append(rule.appBundleID + QLatin1Char(':') + rule.targetInputSourceID);
        QCOMPARE(merged, result);
        QCOMPARE(store.rules, engine.rules());
    }

    void failedWriteKeepsTheOldFileAndTheChangeInMemory_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<int>("kept"); // copies of the old file beside it
        QTest::newRow("readable") << kOneRule << 0;
        QTest::newRow("unreadable: kept under a second name, which needs no room") << manyRulesOneBad() << 1;
    }

    // A file-size limit makes the write fail part-way, as a full disk would; a
    // buffered save used to commit the truncated file. The next save tries again.
    void failedWriteKeepsTheOldFileAndTheChangeInMemory()
    {
        QFETCH(QByteArray, contents);
        QFETCH(int, kept);
        const QString path = RuleEngine::rulesFileURL();
        QVERIFY(writeFile(path, contents));
        StandardOutputCapture output;
        EngineHarness harness;
        harness.useRulesFile();
        RuleEngine& engine = harness.start();
        bool saved = true;
        withFileSizeLimit(64, [&] {
            engine.addRule(ruleFor("second", "xkb:ru"));
            saved = engine.saveRules();
        });
        QVERIFY(!saved);
        QVERIFY(!engine.rulesSaveError().isEmpty());
        QCOMPARE(engine.rules().last().appBundleID, QStringLiteral("second"));
        QVERIFY(readFile(path) == contents);
        QCOMPARE(keptCopies().size(), kept);

        QVERIFY(engine.saveRules());
        QVERIFY(engine.rulesSaveError().isEmpty());
        QCOMPARE(RulesCodec::decode(readFile(path)).rules, engine.rules());
        QCOMPARE(keptCopies().size(), kept);
    }
};

TOLVANE_TEST_GUILESS_MAIN(RuleEngineTest)
#include "RuleEngineTest.moc"
