#include "core/Preferences.h"
#include "core/RulesCodec.h"
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

QString rulesPath()
{
    return RuleEngine::rulesFileURL();
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeFile(const QString& path, const QByteArray& contents)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(contents), contents.size());
}

AppRule rule(const QString& bundle, const QString& target)
{
    AppRule r;
    r.id = QUuid::fromString(QStringLiteral("{11111111-2222-4333-8444-555555555555}"));
    r.appBundleID = bundle;
    r.appName = bundle;
    r.targetInputSourceID = target;
    return r;
}

const QByteArray kOneRule =
    R"J([{"id":"11111111-2222-4333-8444-555555555555","appBundleID":"org.example\/app","appName":"org.example\/app","targetInputSourceID":"xkb:de","isEnabled":true}])J";

QStringList keptCopies()
{
    return QFileInfo(rulesPath()).dir().entryList({QStringLiteral("rules.json.corrupt-*")}, QDir::Files);
}

} // namespace

class RuleStoreTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void freshInstallWritesNothingUntilFirstChange();
    void rewritesReadableFileCompactly();
    void unreadableFileLoadsNothingAndIsKept_data();
    void unreadableFileLoadsNothingAndIsKept();
    void keepsOnlyAFewUnreadableCopies();
    void failedWriteKeepsTheOldFile();
    void unwritableDirectoryKeepsTheChangeInMemory();
};

void RuleStoreTest::init()
{
    QDir(QFileInfo(rulesPath()).path()).removeRecursively();
    Preferences::store().clear();
}

void RuleStoreTest::freshInstallWritesNothingUntilFirstChange()
{
    StandardOutputCapture output;
    EngineHarness harness;
    RuleEngine& engine = harness.start();
    QVERIFY(engine.rules().isEmpty());
    QVERIFY(!QFile::exists(rulesPath()));
    QVERIFY(output.text().startsWith("Failed to load rules (might be fresh install): "));

    engine.addRule(rule("org.example/app", "xkb:de"));
    QCOMPARE(readFile(rulesPath()), kOneRule);
    QVERIFY(keptCopies().isEmpty());
}

void RuleStoreTest::rewritesReadableFileCompactly()
{
    QDir().mkpath(QFileInfo(rulesPath()).path());
    writeFile(rulesPath(), "[]");
    {
        EngineHarness harness;
        QVERIFY(harness.start().rules().isEmpty());
        QCOMPARE(readFile(rulesPath()), QByteArray("[]"));
    }
    writeFile(rulesPath(), "[\n  {\n    \"appName\" : \"org.example/app\", \"comment\": \"mine\",\n"
                           "    \"appBundleID\" : \"org.example/app\", \"isEnabled\" : true,\n"
                           "    \"targetInputSourceID\" : \"xkb:de\", \"id\" : \"11111111-2222-4333-8444-555555555555\"\n  }\n]\n");
    EngineHarness harness;
    QCOMPARE(harness.start().rules().size(), 1);
    QCOMPARE(readFile(rulesPath()), kOneRule);
}

void RuleStoreTest::unreadableFileLoadsNothingAndIsKept_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::newRow("binary junk") << QByteArray("\x7f" "ELF\x02\x01\x01\x00\xff\xfe", 10);
    QTest::newRow("truncated") << kOneRule.left(kOneRule.size() / 2);
    QTest::newRow("one bad element")
        << QByteArray(kOneRule).replace("\"isEnabled\":true", "\"isEnabled\":\"true\"").replace("]", ",") + kOneRule.mid(1);
    QTest::newRow("wrong types") << QByteArray(R"J({"rules":[1,2,3]})J");
    QTest::newRow("invalid UTF-8") << QByteArray(kOneRule).replace("xkb:de", "xkb:\xc3\x28");
    QTest::newRow("bad UUID") << QByteArray(kOneRule).replace("11111111-2222", "zzzzzzzz-2222");
    QTest::newRow("nested 100,000 levels") << QByteArray(100000, '[') + QByteArray(100000, ']');
    QByteArray huge(50 * 1024 * 1024, ' ');
    huge.replace(0, kOneRule.size(), kOneRule);
    QTest::newRow("50 MB") << huge;
}

void RuleStoreTest::unreadableFileLoadsNothingAndIsKept()
{
    QFETCH(QByteArray, contents);
    QDir().mkpath(QFileInfo(rulesPath()).path());
    writeFile(rulesPath(), contents);

    RecordingLogSink log;
    StandardOutputCapture output;
    EngineHarness harness;
    RuleEngine& engine = harness.start();
    QVERIFY(engine.rules().isEmpty());
    const QByteArray printed = output.text();
    QVERIFY2(printed.startsWith("Failed to load rules (might be fresh install): ") && printed.endsWith('\n')
                 && printed.count('\n') == 1,
             printed.constData());
    // Untouched until the first change...
    QVERIFY(readFile(rulesPath()) == contents);
    QVERIFY(keptCopies().isEmpty());

    // ...which replaces it with the rules made since, after keeping the original beside it.
    engine.addRule(rule("org.example/app", "xkb:de"));
    QCOMPARE(readFile(rulesPath()), kOneRule);
    const QStringList kept = keptCopies();
    QCOMPARE(kept.size(), 1);
    QVERIFY(readFile(QFileInfo(rulesPath()).dir().filePath(kept.first())) == contents);
    QVERIFY(log.lines().contains(QStringLiteral("info: Kept the unreadable rules file as ")
                                 + QFileInfo(rulesPath()).dir().filePath(kept.first())));

    // Only once per run.
    engine.addRule(rule("other", "xkb:ru"));
    QCOMPARE(keptCopies().size(), 1);
}

void RuleStoreTest::keepsOnlyAFewUnreadableCopies()
{
    QDir directory(QFileInfo(rulesPath()).path());
    QDir().mkpath(directory.path());
    for (const char* old : {"20200101-000000", "20210101-000000", "20220101-000000"})
        writeFile(directory.filePath(QStringLiteral("rules.json.corrupt-") + QLatin1String(old)), "old");
    writeFile(rulesPath(), "junk");
    StandardOutputCapture output;
    EngineHarness harness;
    harness.start().addRule(rule("a", "xkb:de"));
    const QStringList kept = keptCopies();
    QCOMPARE(kept.size(), 3);
    QVERIFY(!kept.contains(QStringLiteral("rules.json.corrupt-20200101-000000")));
    QVERIFY(std::any_of(kept.begin(), kept.end(), [&](const QString& name) {
        return readFile(directory.filePath(name)) == "junk";
    }));
}

void RuleStoreTest::failedWriteKeepsTheOldFile()
{
    EngineHarness harness;
    RuleEngine& engine = harness.start();
    engine.addRule(rule("org.example/app", "xkb:de"));
    QCOMPARE(readFile(rulesPath()), kOneRule);

    // A file-size limit makes the write fail part-way, as a full disk would.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit tiny = saved;
    tiny.rlim_cur = 64;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &tiny), 0);
    AppRule second = rule("second", "xkb:ru");
    second.id = QUuid::createUuid();
    engine.addRule(second);
    const bool savedAgain = engine.saveRules();
    setrlimit(RLIMIT_FSIZE, &saved);

    QVERIFY(!savedAgain);
    QCOMPARE(engine.rules().size(), 2);
    QCOMPARE(readFile(rulesPath()), kOneRule);
}

void RuleStoreTest::unwritableDirectoryKeepsTheChangeInMemory()
{
    // A plain file where the data directory should be: neither root nor anyone can write there.
    const QString directory = QFileInfo(rulesPath()).path();
    QDir(directory).removeRecursively();
    writeFile(directory, "not a directory");

    StandardOutputCapture output;
    EngineHarness harness;
    RuleEngine& engine = harness.start();
    engine.addRule(rule("a", "xkb:de"));
    QCOMPARE(engine.rules().size(), 1);
    const QByteArray printed = output.text();
    QVERIFY2(printed.contains("Failed to save rules: "), printed.constData());
    QFile::remove(directory);
}

TOLVANE_TEST_GUILESS_MAIN(RuleStoreTest)
#include "RuleStoreTest.moc"
