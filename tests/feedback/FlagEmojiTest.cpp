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
};

TOLVANE_TEST_GUILESS_MAIN(FlagEmojiTest)
#include "FlagEmojiTest.moc"
