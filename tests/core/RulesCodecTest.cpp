#include "core/RulesCodec.h"
#include "support/EngineHarness.h"
#include "support/TestMain.h"

namespace {
AppRule rule(const char* uuid, const QString& text, const QString& target, bool enabled = true)
{
    AppRule r = ruleFor(text, target, enabled);
    r.id = QUuid::fromString(QLatin1String(uuid));
    return r;
}
} // namespace

class RulesCodecTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void encodesCompactAndPrettyFormats()
    {
        const QList<AppRule> rules = {
            rule("{6f1c2d3e-4a5b-4c6d-8e9f-0a1b2c3d4e5f}", "org.mozilla/firefox", "xkb:de(nodeadkeys)"),
            rule("{00000000-0000-0000-0000-00000000abcd}", "kitty \"term\"", "xkb:us", false),
        };
        // The second rule is an ordinary literal: moc misreads \" in a raw string in a class.
        QCOMPARE(
            RulesCodec::encode(rules),
            QByteArray(
                R"J([{"id":"6F1C2D3E-4A5B-4C6D-8E9F-0A1B2C3D4E5F","appBundleID":"org.mozilla\/firefox",)J"
                R"J("appName":"org.mozilla\/firefox","targetInputSourceID":"xkb:de(nodeadkeys)","isEnabled":true},)J"
                "{\"id\":\"00000000-0000-0000-0000-00000000ABCD\",\"appBundleID\":\"kitty \\\"term\\\"\","
                "\"appName\":\"kitty \\\"term\\\"\",\"targetInputSourceID\":\"xkb:us\",\"isEnabled\":false}]"));
        QCOMPARE(RulesCodec::encode({}), QByteArray("[]"));
        // Backups: indented, members sorted by name.
        QCOMPARE(
            RulesCodec::encode({rules.first()}, RulesCodec::Style::PrettySorted),
            QByteArray(
                "[\n  {\n    \"appBundleID\" : \"org.mozilla\\/firefox\",\n"
                "    \"appName\" : \"org.mozilla\\/firefox\",\n    \"id\" : \"6F1C2D3E-4A5B-4C6D-8E9F-0A1B2C3D4E5F\",\n"
                "    \"isEnabled\" : true,\n    \"targetInputSourceID\" : \"xkb:de(nodeadkeys)\"\n  }\n]"));
    }

    void roundTripsAwkwardText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("escapes") << QStringLiteral("a\"b\\c/d\te\nf\x01g");
        QTest::newRow("non-ASCII") << QStringLiteral("日本語 Ünïcödé 🇩🇪");
        // A JSON file may escape unpaired UTF-16 halves; they must survive a save.
        QTest::newRow("unpaired UTF-16 halves") << (QString(QChar(0xdc00)) + QLatin1Char('a') + QChar(0xd800)
                                                    + QLatin1Char('b') + QChar(0xdfff) + QChar(0xd800));
    }

    void roundTripsAwkwardText()
    {
        QFETCH(QString, text);
        AppRule original = rule("{6f1c2d3e-4a5b-4c6d-8e9f-0a1b2c3d4e5f}", text, text);
        const auto decoded = RulesCodec::decode(RulesCodec::encode({original}));
        QVERIFY2(decoded.rules, qPrintable(decoded.error));
        QCOMPARE(*decoded.rules, QList<AppRule>{original});
    }
};

TOLVANE_TEST_GUILESS_MAIN(RulesCodecTest)
#include "RulesCodecTest.moc"
