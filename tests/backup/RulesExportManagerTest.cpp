#include "backup/RulesDocument.h"
#include "backup/RulesExportManager.h"
#include "core/Preferences.h"
#include "support/EngineHarness.h"
#include "support/RecordingLogSink.h"
#include "support/TestMain.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

namespace {

AppRule rule(const QString& id, const QString& bundle, const QString& target, bool enabled = true)
{
    AppRule r;
    r.id = QUuid::fromString(id);
    r.appBundleID = bundle;
    r.appName = bundle + QStringLiteral(" App");
    r.targetInputSourceID = target;
    r.isEnabled = enabled;
    return r;
}

const QString kIdA = QStringLiteral("{AAAAAAAA-0000-4000-8000-000000000001}");
const QString kIdB = QStringLiteral("{BBBBBBBB-0000-4000-8000-000000000002}");
const QString kIdC = QStringLiteral("{CCCCCCCC-0000-4000-8000-000000000003}");
const QString kIdD = QStringLiteral("{DDDDDDDD-0000-4000-8000-000000000004}");

QByteArray ruleJson(const QString& id, const QString& bundle, const QString& target, const char* extra = "")
{
    return QStringLiteral(R"({"id":"%1","appBundleID":"%2","appName":"%2 App","targetInputSourceID":"%3"%4})")
        .arg(QUuid::fromString(id).toString(QUuid::WithoutBraces).toUpper(), bundle, target,
             QString::fromLatin1(extra))
        .toUtf8();
}

const QList<AppRule> kExisting{rule(kIdA, "org.gnome.gedit", "xkb:de"), rule(kIdB, "kitty", "xkb:us", false)};

} // namespace

class RulesExportManagerTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void importsOrRefuses_data();
    void importsOrRefuses();
    void refusesFilesTooLargeBeforeReading();
    void exportWritesSortedPrettyArrayInListOrder();
    void exportThenImportLeavesTheListUnchanged_data();
    void exportThenImportLeavesTheListUnchanged();
    void exportFailureIsLoggedAndKeepsAnExistingFile();
    void emptySelectionShowsNothing();

private:
    QString writeImportFile(const QByteArray& contents);
    std::unique_ptr<QTemporaryDir> m_dir;
};

void RulesExportManagerTest::init()
{
    QFile::remove(RuleEngine::rulesFileURL());
    Preferences::store().clear();
    m_dir = std::make_unique<QTemporaryDir>();
}

QString RulesExportManagerTest::writeImportFile(const QByteArray& contents)
{
    const QString path = m_dir->filePath(QStringLiteral("import.json"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(contents) != contents.size())
        qFatal("cannot write the import file");
    return path;
}

void RulesExportManagerTest::importsOrRefuses_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QList<AppRule>>("rulesAfter");
    QTest::addColumn<bool>("logsFailure");

    const QString invalid = QStringLiteral("Import failed: The file is not a valid Tolvane rules backup.");

    QTest::newRow("empty array: zero rules, nothing changes")
        << QByteArray("[]") << "Successfully imported 0 rules" << kExisting << false;
    QTest::newRow("two rules of one new app: appended, then replaced in place")
        << "[" + ruleJson(kIdC, "org.kde.kate", "xkb:ru", R"(,"isEnabled":true)") + ","
               + ruleJson(kIdD, "org.kde.kate", "xkb:de", R"(,"isEnabled":true)") + "]"
        << "Successfully imported 2 rules"
        << QList<AppRule>{kExisting[0], kExisting[1], rule(kIdD, "org.kde.kate", "xkb:de")} << false;
    QTest::newRow("rule for an app that has one: replaced at its position with the file's id")
        << "[" + ruleJson(kIdC, "org.gnome.gedit", "xkb:ru", R"(,"isEnabled":false)") + "]"
        << "Successfully imported 1 rules"
        << QList<AppRule>{rule(kIdC, "org.gnome.gedit", "xkb:ru", false), kExisting[1]} << false;
    QTest::newRow("any layout and key order, like the compact rules file")
        << QByteArray(R"(  [ {"isEnabled":true,"targetInputSourceID":"xkb:ru","appName":"vim App",)"
                      R"("appBundleID":"vim","id":"cccccccc-0000-4000-8000-000000000003"} ]  )")
        << "Successfully imported 1 rules"
        << QList<AppRule>{kExisting[0], kExisting[1], rule(kIdC, "vim", "xkb:ru")} << false;

    QTest::newRow("object instead of an array")
        << ruleJson(kIdC, "vim", "xkb:ru", R"(,"isEnabled":true)") << invalid << kExisting << true;
    QTest::newRow("rule without isEnabled") << "[" + ruleJson(kIdC, "vim", "xkb:ru") + "]" << invalid
                                            << kExisting << true;
    QTest::newRow("a bad rule after a good one: nothing is handed on")
        << "[" + ruleJson(kIdC, "vim", "xkb:ru", R"(,"isEnabled":true)") + ","
               + ruleJson(kIdD, "emacs", "xkb:de", R"(,"isEnabled":"yes")") + "]"
        << invalid << kExisting << true;
    QTest::newRow("id that is no UUID") << QByteArray(R"([{"id":"nope","appBundleID":"a","appName":"a",)"
                                                      R"("targetInputSourceID":"xkb:de","isEnabled":true}])")
                                        << invalid << kExisting << true;
    QTest::newRow("not JSON") << QByteArray("appBundleID=vim\n") << invalid << kExisting << true;
    QTest::newRow("truncated JSON") << "[" + ruleJson(kIdC, "vim", "xkb:ru", R"(,"isEnabled":true)").left(30)
                                    << invalid << kExisting << true;
    QTest::newRow("empty file") << QByteArray() << invalid << kExisting << true;
    QTest::newRow("deeply nested arrays") << QByteArray(100000, '[') << invalid << kExisting << true;
}

void RulesExportManagerTest::importsOrRefuses()
{
    QFETCH(QByteArray, contents);
    QFETCH(QString, message);
    QFETCH(QList<AppRule>, rulesAfter);
    QFETCH(bool, logsFailure);

    EngineHarness harness;
    RuleEngine& engine = harness.start();
    for (const AppRule& r : kExisting)
        engine.addRule(r);
    RulesExportManager manager(engine);
    RecordingLogSink log;

    const auto shown = manager.importCompleted({QUrl::fromLocalFile(writeImportFile(contents))});
    QVERIFY(shown);
    QCOMPARE(*shown, message);
    QCOMPARE(engine.rules(), rulesAfter);
    if (logsFailure) {
        QCOMPARE(log.lines().size(), 1);
        QVERIFY2(log.lines().first().startsWith("error: Failed to import rules: "), qPrintable(log.lines().first()));
    } else {
        QCOMPARE(log.lines(), QStringList());
    }
}

void RulesExportManagerTest::refusesFilesTooLargeBeforeReading()
{
    EngineHarness harness;
    RuleEngine& engine = harness.start();
    engine.addRule(kExisting[0]);
    RulesExportManager manager(engine);
    RecordingLogSink log;

    // 50 MB, sparse: refused by its size, so nothing of it is read.
    const QString path = m_dir->filePath(QStringLiteral("huge.json"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(file.resize(50LL * 1024 * 1024));
    file.close();

    const auto shown = manager.importCompleted({QUrl::fromLocalFile(path)});
    QCOMPARE(shown.value_or(QString()), QStringLiteral("Import failed: The file is too large to import (over 4 MB)."));
    QCOMPARE(engine.rules(), QList<AppRule>{kExisting[0]});
    QVERIFY(log.lines().value(0).startsWith("error: Failed to import rules: "));

    const auto missing = manager.importRules(QUrl::fromLocalFile(m_dir->filePath(QStringLiteral("absent.json"))));
    QVERIFY(!missing.count);
    const auto directory = manager.importRules(QUrl::fromLocalFile(m_dir->path()));
    QVERIFY(!directory.count);
    QCOMPARE(engine.rules(), QList<AppRule>{kExisting[0]});
}

void RulesExportManagerTest::exportWritesSortedPrettyArrayInListOrder()
{
    const QList<AppRule> rules{rule(kIdB, "kitty", "xkb:us", false), rule(kIdA, "a/b", "xkb:de")};
    const QByteArray bytes = RulesDocument{rules}.fileContents();
    const QString text = QString::fromUtf8(bytes);

    // One key per line, indented, keys sorted within each rule.
    const qsizetype bundle = text.indexOf(QLatin1String("\"appBundleID\""));
    const qsizetype name = text.indexOf(QLatin1String("\"appName\""));
    const qsizetype id = text.indexOf(QLatin1String("\"id\""));
    const qsizetype enabled = text.indexOf(QLatin1String("\"isEnabled\""));
    const qsizetype target = text.indexOf(QLatin1String("\"targetInputSourceID\""));
    QVERIFY(bundle >= 0 && bundle < name && name < id && id < enabled && enabled < target);
    QVERIFY(text.contains(QLatin1String("\n    \"appBundleID\"")) || text.contains(QLatin1String("\n  \"appBundleID\"")));
    QVERIFY(text.count(QLatin1Char('\n')) >= 12);

    const QJsonArray array = QJsonDocument::fromJson(bytes).array();
    QCOMPARE(array.size(), 2);
    QCOMPARE(array.at(0).toObject().value("appBundleID").toString(), QStringLiteral("kitty"));
    QCOMPARE(array.at(1).toObject().value("appBundleID").toString(), QStringLiteral("a/b"));

    const auto empty = QJsonDocument::fromJson(RulesDocument{}.fileContents());
    QVERIFY(empty.isArray());
    QVERIFY(empty.array().isEmpty());

    QCOMPARE(RulesDocument::fromFileContents(bytes), std::optional<RulesDocument>(RulesDocument{rules}));
    QVERIFY(!RulesDocument::fromFileContents(QByteArray()));
}

void RulesExportManagerTest::exportThenImportLeavesTheListUnchanged_data()
{
    QTest::addColumn<QList<AppRule>>("rules");
    QTest::newRow("empty list") << QList<AppRule>{};
    QTest::newRow("several rules") << QList<AppRule>{kExisting[0], kExisting[1], rule(kIdC, "vim \"quoted\" ✓", "xkb:ru")};
}

void RulesExportManagerTest::exportThenImportLeavesTheListUnchanged()
{
    QFETCH(QList<AppRule>, rules);
    EngineHarness harness;
    RuleEngine& engine = harness.start();
    for (const AppRule& r : rules)
        engine.addRule(r);
    RulesExportManager manager(engine);
    RecordingLogSink log;

    const QUrl location = QUrl::fromLocalFile(m_dir->filePath(RulesDocument::defaultFileName() + ".json"));
    QVERIFY(manager.exportRules(location));
    QCOMPARE(log.lines(), QStringList{"info: Exported rules to " + location.toString()});

    const auto result = manager.importRules(location);
    QCOMPARE(result.count, std::optional<int>(int(rules.size())));
    QCOMPARE(engine.rules(), rules);
}

void RulesExportManagerTest::exportFailureIsLoggedAndKeepsAnExistingFile()
{
    EngineHarness harness;
    RuleEngine& engine = harness.start();
    engine.addRule(kExisting[0]);
    RulesExportManager manager(engine);
    RecordingLogSink log;

    QVERIFY(!manager.exportRules(QUrl::fromLocalFile(m_dir->filePath(QStringLiteral("no/such/dir/rules.json")))));
    QCOMPARE(log.lines().size(), 1);
    QVERIFY(log.lines().first().startsWith("error: Export failed: "));

    // Writing onto a directory fails; the directory is untouched.
    log.clear();
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("taken.json")));
    QVERIFY(!manager.exportRules(QUrl::fromLocalFile(m_dir->filePath(QStringLiteral("taken.json")))));
    QVERIFY(log.lines().value(0).startsWith("error: Export failed: "));
    QVERIFY(QFileInfo(m_dir->filePath(QStringLiteral("taken.json"))).isDir());
}

void RulesExportManagerTest::emptySelectionShowsNothing()
{
    EngineHarness harness;
    RulesExportManager manager(harness.start());
    QVERIFY(!manager.importCompleted({}));
    QCOMPARE(manager.importFailed(QStringLiteral("The operation was cancelled.")),
             QStringLiteral("Import failed: The operation was cancelled."));
}

TOLVANE_TEST_GUILESS_MAIN(RulesExportManagerTest)
#include "RulesExportManagerTest.moc"
