#include "support/TestMain.h"

#include "feedback/FlagEmoji.h"
#include "feedback/IndicatorPosition.h"

class FlagEmojiTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void flags_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("flag");
        const QString us = QStringLiteral("🇺🇸");
        const QString keyboard = QString::fromUtf16(u"\u2328\uFE0F");
        QTest::newRow("russian before us") << "com.apple.keylayout.Russian" << "🇷🇺";
        QTest::newRow("australian contains us") << "com.apple.keylayout.Australian" << us;
        QTest::newRow("upper-case ABC") << "com.apple.keylayout.ABC" << us;
        QTest::newRow("korean two-set") << "com.apple.inputmethod.Korean.2SetKorean" << "🇰🇷";
        QTest::newRow("italian matches nothing") << "com.apple.keylayout.Italian" << keyboard;
        QTest::newRow("earlier row wins") << "pinyin.english" << "🇨🇳";
        QTest::newRow("hiragana") << "fcitx5:mozc-Hiragana" << "🇯🇵";
        QTest::newRow("hangul") << "ibus:hangul" << "🇰🇷";
        QTest::newRow("portuguese, not spanish") << "xkb:Portuguese" << "🇵🇹";
        QTest::newRow("xkb de has no keyword") << "xkb:de" << keyboard;
        QTest::newRow("xkb us") << "xkb:us" << us;
        QTest::newRow("empty") << "" << keyboard;
        QTest::newRow("unicode lowercasing") << "GERMAN-Ä" << "🇩🇪";
    }
    void flags()
    {
        QFETCH(QString, id);
        QFETCH(QString, flag);
        QCOMPARE(flagEmoji(id), flag);
    }

    void encodings()
    {
        // A flag is two regional indicators (8 UTF-8 bytes), the fallback a
        // keyboard with variation selector 16 (6 bytes).
        QCOMPARE(flagEmoji(QStringLiteral("french")).toUtf8().size(), 8);
        QCOMPARE(flagEmoji(QStringLiteral("french")).toUcs4(), (QList<uint>{0x1F1EB, 0x1F1F7}));
        QCOMPARE(flagEmoji(QStringLiteral("none")).toUcs4(), (QList<uint>{0x2328, 0xFE0F}));
        QCOMPARE(flagEmoji(QStringLiteral("none")).toUtf8().size(), 6);
    }

    void positions_data()
    {
        QTest::addColumn<QString>("raw");
        QTest::addColumn<int>("position"); // -1: none
        QTest::newRow("top") << "top" << int(IndicatorPosition::topCenter);
        QTest::newRow("center") << "center" << int(IndicatorPosition::center);
        QTest::newRow("bottom") << "bottom" << int(IndicatorPosition::bottomCenter);
        QTest::newRow("case matters") << "Bottom" << -1;
        QTest::newRow("case name is not the raw value") << "topCenter" << -1;
        QTest::newRow("empty") << "" << -1;
    }
    void positions()
    {
        QFETCH(QString, raw);
        QFETCH(int, position);
        const auto parsed = IndicatorPositions::fromRawValue(raw);
        QCOMPARE(parsed ? int(*parsed) : -1, position);
        if (parsed)
            QCOMPARE(IndicatorPositions::rawValue(*parsed), raw);
    }

    void positionOrderAndNames()
    {
        const auto all = IndicatorPositions::allCases();
        QCOMPARE(all.size(), 3);
        QCOMPARE(IndicatorPositions::rawValue(all.at(0)), QStringLiteral("top"));
        QCOMPARE(IndicatorPositions::rawValue(all.at(2)), QStringLiteral("bottom"));
        QCOMPARE(IndicatorPositions::displayName(IndicatorPosition::center), QStringLiteral("Center"));
    }
};

TOLVANE_TEST_GUILESS_MAIN(FlagEmojiTest)
#include "FlagEmojiTest.moc"
