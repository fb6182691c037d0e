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
const char* const kOn = R"(,"isEnabled":true)";

} // namespace

class RulesExportManagerTest : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<EngineHarness> m_harness;

    RuleEngine& engineWith(const QList<AppRule>& rules)
    {
        m_harness = std::make_unique<EngineHarness>();
        RuleEngine& engine = m_harness->start();
        for (const AppRule& r : rules)
            engine.addRule(r);
        return engine;
    }
    QUrl file(const QString& name) const { return QUrl::fromLocalFile(m_dir->filePath(name)); }

private Q_SLOTS:
    void init()
    {
        QFile::remove(RuleEngine::rulesFileURL());
        Preferences::store().clear();
        m_dir = std::make_unique<QTemporaryDir>();
    }
    void cleanup() { m_harness.reset(); }

    void importsOrRefuses_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QList<AppRule>>("rulesAfter"); // empty: unchanged, and the failure is logged

        const QString invalid = QStringLiteral("Import failed: The file is not a valid Tolvane rules backup.");
        QTest::newRow("empty array: zero rules, nothing changes")
            << QByteArray("[]") << "Successfully imported 0 rules" << kExisting;
        QTest::newRow("two rules of one new app: appended, then replaced in place")
            << "[" + ruleJson(kIdC, "org.kde.kate", "xkb:ru", kOn) + "," + ruleJson(kIdD, "org.kde.kate", "xkb:de", kOn) + "]"
            << "Successfully imported 2 rules"
            << QList<AppRule>{kExisting[0], kExisting[1], rule(kIdD, "org.kde.kate", "xkb:de")};
        QTest::newRow("rule for an app that has one: replaced at its position with the file's id")
            << "[" + ruleJson(kIdC, "org.gnome.gedit", "xkb:ru", R"(,"isEnabled":false)") + "]"
            << "Successfully imported 1 rules" << QList<AppRule>{rule(kIdC, "org.gnome.gedit", "xkb:ru", false), kExisting[1]};
        QTest::newRow("any layout and key order, like the compact rules file")
            << QByteArray(R"(  [ {"isEnabled":true,"targetInputSourceID":"xkb:ru","appName":"vim App",)"
                          R"("appBundleID":"vim","id":"cccccccc-0000-4000-8000-000000000003"} ]  )")
            << "Successfully imported 1 rules" << QList<AppRule>{kExisting[0], kExisting[1], rule(kIdC, "vim", "xkb:ru")};

        QTest::newRow("object instead of an array") << ruleJson(kIdC, "vim", "xkb:ru", kOn) << invalid << QList<AppRule>{};
        QTest::newRow("rule without isEnabled") << "[" + ruleJson(kIdC, "vim", "xkb:ru") + "]" << invalid << QList<AppRule>{};
        QTest::newRow("a bad rule after a good one: nothing is handed on")
            << "[" + ruleJson(kIdC, "vim", "xkb:ru", kOn) + "," + ruleJson(kIdD, "emacs", "xkb:de", R"(,"isEnabled":"yes")") + "]"
            << invalid << QList<AppRule>{};
        QTest::newRow("id that is no UUID") << QByteArray(R"([{"id":"nope","appBundleID":"a","appName":"a",)"
                                                          R"("targetInputSourceID":"xkb:de","isEnabled":true}])")
                                            << invalid << QList<AppRule>{};
        QTest::newRow("not JSON") << QByteArray("appBundleID=vim\n") << invalid << QList<AppRule>{};
        QTest::newRow("truncated JSON") << "[" + ruleJson(kIdC, "vim", "xkb:ru", kOn).left(30) << invalid << QList<AppRule>{};
        QTest::newRow("empty file") << QByteArray() << invalid << QList<AppRule>{};
        QTest::newRow("deeply nested arrays") << QByteArray(100000, '[') << invalid << QList<AppRule>{};
    }
    void importsOrRefuses()
    {
        QFETCH(QByteArray, contents);
        QFETCH(QString, message);
        QFETCH(QList<AppRule>, rulesAfter);
        RuleEngine& engine = engineWith(kExisting);
        RulesExportManager manager(engine);
        RecordingLogSink log;
        QFile input(m_dir->filePath(QStringLiteral("import.json")));
        QVERIFY(input.open(QIODevice::WriteOnly) && input.write(contents) == contents.size());
        input.close();

        QCOMPARE(manager.importCompleted({QUrl::fromLocalFile(input.fileName())}), std::optional<QString>(message));
        const bool failed = rulesAfter.isEmpty();
        QCOMPARE(engine.rules(), failed ? kExisting : rulesAfter);
        QCOMPARE(log.lines().size(), failed ? 1 : 0);
        if (failed)
            QVERIFY2(log.lines().first().startsWith("error: Failed to import rules: "), qPrintable(log.lines().first()));
    }

    void refusesFilesTooLargeBeforeReading()
    {
        RuleEngine& engine = engineWith({kExisting[0]});
        RulesExportManager manager(engine);
        RecordingLogSink log;

        // 50 MB, sparse: refused by its size, so nothing of it is read.
        QFile huge(m_dir->filePath(QStringLiteral("huge.json")));
        QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(50LL * 1024 * 1024));
        huge.close();
        QCOMPARE(manager.importCompleted({QUrl::fromLocalFile(huge.fileName())}).value_or(QString()),
                 QStringLiteral("Import failed: The file is too large to import (over 4 MB)."));
        QVERIFY(log.lines().value(0).startsWith("error: Failed to import rules: "));

        QVERIFY(!manager.importRules(file(QStringLiteral("absent.json"))).count);
        QVERIFY(!manager.importRules(QUrl::fromLocalFile(m_dir->path())).count);
        QVERIFY(!manager.importCompleted({})); // nothing chosen: no message
        QCOMPARE(engine.rules(), QList<AppRule>{kExisting[0]});
    }

    void exportWritesSortedPrettyArrayInListOrder()
    {
        const QList<AppRule> rules{rule(kIdB, "kitty", "xkb:us", false), rule(kIdA, "a/b", "xkb:de")};
        const QByteArray bytes = RulesDocument{rules}.fileContents();
        // One key per line, indented, keys sorted within each rule.
        qsizetype previous = -1;
        for (const char* key : {"\"appBundleID\"", "\"appName\"", "\"id\"", "\"isEnabled\"", "\"targetInputSourceID\""}) {
            const qsizetype at = bytes.indexOf(QByteArray("    ") + key);
            QVERIFY2(at > previous, key);
            previous = at;
        }
        QVERIFY(bytes.count('\n') >= 12);
        const QJsonArray array = QJsonDocument::fromJson(bytes).array();
        QCOMPARE(array.size(), 2);
        QCOMPARE(array.at(0).toObject().value("appBundleID").toString(), QStringLiteral("kitty"));
        QCOMPARE(array.at(1).toObject().value("appBundleID").toString(), QStringLiteral("a/b"));
    }

    void exportThenImportLeavesTheListUnchanged_data()
    {
        QTest::addColumn<QList<AppRule>>("rules");
        QTest::newRow("empty list") << QList<AppRule>{};
        QTest::newRow("several rules") << QList<AppRule>{kExisting[0], kExisting[1], rule(kIdC, "vim \"quoted\" ✓", "xkb:ru")};
    }
    void exportThenImportLeavesTheListUnchanged()
    {
        QFETCH(QList<AppRule>, rules);
        RuleEngine& engine = engineWith(rules);
        RulesExportManager manager(engine);
        RecordingLogSink log;
        const QUrl location = file(RulesDocument::defaultFileName() + ".json");
        QVERIFY(manager.exportRules(location));
        QCOMPARE(log.lines(), QStringList{"info: Exported rules to " + location.toString()});
        QCOMPARE(manager.importRules(location).count, std::optional<int>(int(rules.size())));
        QCOMPARE(engine.rules(), rules);
    }

    void exportFailureIsLoggedAndKeepsAnExistingFile()
    {
        RulesExportManager manager(engineWith({kExisting[0]}));
        RecordingLogSink log;
        QVERIFY(!manager.exportRules(file(QStringLiteral("no/such/dir/rules.json"))));
        // Writing onto a directory fails; the directory is untouched.
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("taken.json")));
        QVERIFY(!manager.exportRules(file(QStringLiteral("taken.json"))));
        QVERIFY(QFileInfo(m_dir->filePath(QStringLiteral("taken.json"))).isDir());
        QCOMPARE(log.lines().size(), 2);
        for (const QString& line : log.lines())
            QVERIFY2(line.startsWith("error: Export failed: "), qPrintable(line));
    }
};

TOLVANE_TEST_GUILESS_MAIN(RulesExportManagerTest)
#include "RulesExportManagerTest.moc"
