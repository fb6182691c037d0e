#include "core/RulesCodec.h"
#include "support/TestMain.h"

class RulesCodecTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void encodesCompactlyInFieldOrder();
    void encodesPrettySortedForBackups();
    void roundTripsAwkwardText_data();
    void roundTripsAwkwardText();
    void refusesBadDocuments_data();
    void refusesBadDocuments();
    void acceptsAnyLayoutAndIgnoresExtraMembers();
};

namespace {
AppRule rule(const char* uuid, const QString& bundle, const QString& name, const QString& target, bool enabled)
{
    AppRule r;
    r.id = QUuid::fromString(QLatin1String(uuid));
    r.appBundleID = bundle;
    r.appName = name;
    r.targetInputSourceID = target;
    r.isEnabled = enabled;
    return r;
}
} // namespace

void RulesCodecTest::encodesCompactlyInFieldOrder()
{
    const QList<AppRule> rules = {
        rule("{6f1c2d3e-4a5b-4c6d-8e9f-0a1b2c3d4e5f}", "org.mozilla/firefox", "Firefox", "xkb:de(nodeadkeys)", true),
        rule("{00000000-0000-0000-0000-00000000abcd}", "kitty", "kitty \"term\"", "xkb:us", false),
    };
    QCOMPARE(RulesCodec::encode(rules),
             QByteArray(R"J([{"id":"6F1C2D3E-4A5B-4C6D-8E9F-0A1B2C3D4E5F","appBundleID":"org.mozilla\/firefox",)J"
                        R"J("appName":"Firefox","targetInputSourceID":"xkb:de(nodeadkeys)","isEnabled":true},)J"
                        R"J({"id":"00000000-0000-0000-0000-00000000ABCD","appBundleID":"kitty",)J"
                        R"J("appName":"kitty \"term\"","targetInputSourceID":"xkb:us","isEnabled":false}])J"));
    QCOMPARE(RulesCodec::encode({}), QByteArray("[]"));
}

void RulesCodecTest::encodesPrettySortedForBackups()
{
    const QList<AppRule> rules = {rule("{6f1c2d3e-4a5b-4c6d-8e9f-0a1b2c3d4e5f}", "a/b", "A", "xkb:us", true)};
    QCOMPARE(RulesCodec::encode(rules, RulesCodec::Style::PrettySorted),
             QByteArray("[\n  {\n    \"appBundleID\" : \"a\\/b\",\n    \"appName\" : \"A\",\n"
                        "    \"id\" : \"6F1C2D3E-4A5B-4C6D-8E9F-0A1B2C3D4E5F\",\n    \"isEnabled\" : true,\n"
                        "    \"targetInputSourceID\" : \"xkb:us\"\n  }\n]"));
}

void RulesCodecTest::roundTripsAwkwardText_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("quotes and backslashes") << QStringLiteral("a\"b\\c");
    QTest::newRow("control characters") << QStringLiteral("tab\there\nnew\x01line");
    QTest::newRow("non-ASCII") << QStringLiteral("日本語 Ünïcödé 🇩🇪");
    QTest::newRow("slashes") << QStringLiteral("/usr/share/applications/x.desktop");
    QTest::newRow("empty") << QString();
    // A JSON file may escape unpaired UTF-16 halves; they must survive a save.
    QTest::newRow("lone high surrogate") << (QStringLiteral("a") + QChar(0xd800) + QStringLiteral("b"));
    QTest::newRow("lone low surrogate at the end") << (QStringLiteral("a") + QChar(0xdfff));
    QTest::newRow("halves in the wrong order") << (QString(QChar(0xdc00)) + QChar(0xd800));
}

void RulesCodecTest::roundTripsAwkwardText()
{
    QFETCH(QString, text);
    AppRule original = rule("{6f1c2d3e-4a5b-4c6d-8e9f-0a1b2c3d4e5f}", text, text, text, true);
    const auto decoded = RulesCodec::decode(RulesCodec::encode({original}));
    QVERIFY2(decoded.rules, qPrintable(decoded.error));
    QCOMPARE(decoded.rules->size(), 1);
    QVERIFY(decoded.rules->first() == original);
}

void RulesCodecTest::refusesBadDocuments_data()
{
    QTest::addColumn<QByteArray>("json");
    const QByteArray good = R"J({"id":"6F1C2D3E-4A5B-4C6D-8E9F-0A1B2C3D4E5F","appBundleID":"a","appName":"A","targetInputSourceID":"xkb:us","isEnabled":true})J";
    QTest::newRow("object instead of array") << good;
    QTest::newRow("one bad element spoils all")
        << QByteArray("[" + good + R"J(,{"id":"6F1C2D3E-4A5B-4C6D-8E9F-0A1B2C3D4E5F","appBundleID":"b","appName":"B","targetInputSourceID":"x","isEnabled":"yes"}])J");
    QTest::newRow("missing isEnabled")
        << QByteArray(R"J([{"id":"6F1C2D3E-4A5B-4C6D-8E9F-0A1B2C3D4E5F","appBundleID":"a","appName":"A","targetInputSourceID":"x"}])J");
    QTest::newRow("number as name")
        << QByteArray(R"J([{"id":"6F1C2D3E-4A5B-4C6D-8E9F-0A1B2C3D4E5F","appBundleID":"a","appName":5,"targetInputSourceID":"x","isEnabled":true}])J");
    QTest::newRow("bad UUID") << QByteArray(R"J([{"id":"not-a-uuid","appBundleID":"a","appName":"A","targetInputSourceID":"x","isEnabled":true}])J");
    QTest::newRow("braced UUID")
        << QByteArray(R"J([{"id":"{6F1C2D3E-4A5B-4C6D-8E9F-0A1B2C3D4E5F}","appBundleID":"a","appName":"A","targetInputSourceID":"x","isEnabled":true}])J");
    QTest::newRow("element not an object") << QByteArray("[1]");
    QTest::newRow("truncated") << good.left(40).prepend('[');
    QTest::newRow("binary junk") << QByteArray("\x00\xff\xfe\x01garbage", 11);
    QTest::newRow("invalid UTF-8")
        << QByteArray("[{\"id\":\"6F1C2D3E-4A5B-4C6D-8E9F-0A1B2C3D4E5F\",\"appBundleID\":\"\xc3\x28\",\"appName\":\"A\",\"targetInputSourceID\":\"x\",\"isEnabled\":true}]");
    QTest::newRow("nested 100000 deep") << QByteArray(100000, '[') + QByteArray(100000, ']');
    QTest::newRow("empty input") << QByteArray();
}

void RulesCodecTest::refusesBadDocuments()
{
    QFETCH(QByteArray, json);
    const auto decoded = RulesCodec::decode(json);
    QVERIFY(!decoded.rules);
    QVERIFY(!decoded.error.isEmpty());
}

void RulesCodecTest::acceptsAnyLayoutAndIgnoresExtraMembers()
{
    const QByteArray json = "[\n  { \"isEnabled\" : false, \"extra\": [1,2], \"targetInputSourceID\":\"xkb:ru\",\n"
                            "    \"appName\":\"N\", \"appBundleID\":\"b\", \"id\":\"6f1c2d3e-4a5b-4c6d-8e9f-0a1b2c3d4e5f\" } ]";
    const auto decoded = RulesCodec::decode(json);
    QVERIFY2(decoded.rules, qPrintable(decoded.error));
    QVERIFY(decoded.rules->first() == rule("{6f1c2d3e-4a5b-4c6d-8e9f-0a1b2c3d4e5f}", "b", "N", "xkb:ru", false));
    QVERIFY(!RulesCodec::encode(*decoded.rules).contains("extra"));
}

TOLVANE_TEST_GUILESS_MAIN(RulesCodecTest)
#include "RulesCodecTest.moc"
