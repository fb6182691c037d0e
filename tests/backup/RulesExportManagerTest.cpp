#include "backup/RulesExportManager.h"
#include "backup/RulesDocument.h"
#include "core/RulesCodec.h"
#include "support/EngineHarness.h"
#include "support/RecordingLogSink.h"
#include "support/StandardOutputCapture.h"
#include "support/TestFiles.h"
#include "support/TestMain.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

using tolvane::test::readFile;
using tolvane::test::writeFile;

namespace {
const QList<AppRule> kExisting{ruleFor("org.gnome.gedit", "xkb:de"), ruleFor("kitty", "xkb:us", false)};
} // namespace

class RulesExportManagerTest : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    std::unique_ptr<EngineHarness> m_harness;
    std::unique_ptr<RulesExportManager> m_manager;

private Q_SLOTS:
    void init()
    {
        QFile::remove(RuleEngine::rulesFileURL());
        m_harness = std::make_unique<EngineHarness>();
        RuleEngine& engine = m_harness->start();
        for (const AppRule& r : kExisting)
            engine.addRule(r);
        m_manager = std::make_unique<RulesExportManager>(engine);
    }
    void cleanup()
    {
        m_manager.reset();
        m_harness.reset();
    }

    void importsOrRefuses_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QList<AppRule>>("rulesAfter"); // empty: unchanged, and the failure is logged

        const QString invalid = QStringLiteral("Import failed: The file is not a valid Tolvane rules backup.");
        const AppRule gedit = ruleFor("org.gnome.gedit", "xkb:ru", false);
        const AppRule kate = ruleFor("org.kde.kate", "xkb:de");
        QTest::newRow("a rule of a known app replaces it in place, others are appended")
            << RulesCodec::encode({gedit, kate}) << "Successfully imported 2 rules"
            << QList<AppRule>{gedit, kExisting[1], kate};
        AppRule vim = ruleFor("vim", "xkb:ru");
        vim.id = QUuid::fromString(QStringLiteral("cccccccc-0000-4000-8000-000000000003"));
        QTest::newRow("any layout, key order and extra members, like the rules file")
            << QByteArray(R"(  [ {"isEnabled":true,"targetInputSourceID":"xkb:ru","appName":"vim","extra":[1,2],)"
                          R"("appBundleID":"vim","id":"cccccccc-0000-4000-8000-000000000003"} ]  )")
            << "Successfully imported 1 rules" << QList<AppRule>{kExisting[0], kExisting[1], vim};

        QTest::newRow("a bad rule after a good one: nothing is handed on")
            << RulesCodec::encode({vim, gedit}).replace("\"isEnabled\":false", "\"isEnabled\":\"yes\"") << invalid
            << QList<AppRule>{};
        QTest::newRow("over 4 MB") << QByteArray(RulesExportManager::maximumImportFileSize + 1, '[')
                                   << "Import failed: The file is too large to import (over 4 MB)." << QList<AppRule>{};
    }
    void importsOrRefuses()
    {
        QFETCH(QByteArray, contents);
        QFETCH(QString, message);
        QFETCH(QList<AppRule>, rulesAfter);
        RecordingLogSink log;
        const QString input = m_dir.filePath(QStringLiteral("import.json"));
        QVERIFY(writeFile(input, contents));

        QSignalSpy changes(m_harness->engine.get(), &RuleEngine::rulesChanged);
        QCOMPARE(m_manager->importCompleted({QUrl::fromLocalFile(input)}), std::optional<QString>(message));
        const bool failed = rulesAfter.isEmpty();
        QCOMPARE(changes.size(), failed ? 0 : 1); // one batch, not one change per rule
        QCOMPARE(m_harness->engine->rules(), failed ? kExisting : rulesAfter);
        QCOMPARE(log.lines().size(), failed ? 1 : 0);
        if (failed)
            QVERIFY2(log.lines().first().startsWith("error: Failed to import rules: "),
                     qPrintable(log.lines().first()));
    }

    // The merged rules stay in memory and the failure shows as for any save.
    void importThatCannotBeSavedIsReportedAsAnySave()
    {
        const QString input = m_dir.filePath(QStringLiteral("import.json"));
        QVERIFY(writeFile(input, RulesCodec::encode({ruleFor("org.kde.kate", "xkb:de")})));
        static_cast<MemoryRulesStore&>(*m_harness->store).saveError = QStringLiteral("No space left on device");
        StandardOutputCapture output;
        QCOMPARE(m_manager->importCompleted({QUrl::fromLocalFile(input)}),
                 std::optional<QString>(QStringLiteral("Successfully imported 1 rules")));
        QCOMPARE(m_harness->engine->rules().size(), kExisting.size() + 1);
        QVERIFY(!m_harness->engine->rulesSaveError().isEmpty());
        QVERIFY(output.text().startsWith("Failed to save rules: "));
    }

    void exportsPrettyAndImportsBack()
    {
        RuleEngine& engine = *m_harness->engine;
        engine.addRule(ruleFor("vim \"quoted\" ✓", "xkb:ru"));
        const QList<AppRule> rules = engine.rules();
        RecordingLogSink log;
        const QUrl location = QUrl::fromLocalFile(m_dir.filePath(RulesDocument::defaultFileName() + ".json"));
        QVERIFY(m_manager->exportRules(location));
        QCOMPARE(log.lines(), QStringList{"info: Exported rules to " + location.toString()});
        QCOMPARE(readFile(location.toLocalFile()), RulesCodec::encode(rules, RulesCodec::Style::PrettySorted));
        QCOMPARE(m_manager->importRules(location).count, std::optional<int>(3));
        QCOMPARE(engine.rules(), rules);

        log.clear();
        QVERIFY(!m_manager->exportRules(QUrl::fromLocalFile(m_dir.filePath(QStringLiteral("no/such/dir/rules.json")))));
        QCOMPARE(log.lines().size(), 1);
        QVERIFY2(log.lines().first().startsWith("error: Export failed: "), qPrintable(log.lines().first()));
    }
};

TOLVANE_TEST_GUILESS_MAIN(RulesExportManagerTest)
#include "RulesExportManagerTest.moc"
