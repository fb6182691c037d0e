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
        const QString keyboard = QString::fromUtf16(u"\u2328\uFE0F");
        // The first keyword found in the lower-cased id wins.
        const std::pair<const char*, QString> table[] = {
            {"com.apple.keylayout.Russian", QStringLiteral("🇷🇺")}, // "russian" before "us"
            {"com.apple.keylayout.Australian", QStringLiteral("🇺🇸")},
            {"com.apple.keylayout.ABC", QStringLiteral("🇺🇸")},
            {"com.apple.inputmethod.Korean.2SetKorean", QStringLiteral("🇰🇷")},
            {"pinyin.english", QStringLiteral("🇨🇳")},
            {"fcitx5:mozc-Hiragana", QStringLiteral("🇯🇵")},
            {"GERMAN-Ä", QStringLiteral("🇩🇪")},
            {"xkb:us", QStringLiteral("🇺🇸")},
            {"xkb:de", keyboard},
            {"", keyboard},
        };
        for (const auto& [id, flag] : table)
            QTest::newRow(*id ? id : "empty") << QString::fromUtf8(id) << flag;
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
