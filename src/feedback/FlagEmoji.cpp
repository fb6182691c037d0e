#include "FlagEmoji.h"

#include <array>
#include <utility>

namespace {

constexpr char16_t kChina[] = u"\U0001F1E8\U0001F1F3";
constexpr char16_t kJapan[] = u"\U0001F1EF\U0001F1F5";
constexpr char16_t kKorea[] = u"\U0001F1F0\U0001F1F7";
constexpr char16_t kGermany[] = u"\U0001F1E9\U0001F1EA";
constexpr char16_t kFrance[] = u"\U0001F1EB\U0001F1F7";
constexpr char16_t kSpain[] = u"\U0001F1EA\U0001F1F8";
constexpr char16_t kPortugal[] = u"\U0001F1F5\U0001F1F9";
constexpr char16_t kRussia[] = u"\U0001F1F7\U0001F1FA";
constexpr char16_t kUnitedStates[] = u"\U0001F1FA\U0001F1F8";
constexpr char16_t kKeyboard[] = u"\u2328\uFE0F";

// Order matters: the first keyword found wins, so "russian" comes before "us"
// and the CJK names before everything after them.
constexpr std::array<std::pair<const char*, const char16_t*>, 18> kFlagTable{{
    {"chinese", kChina},
    {"pinyin", kChina},
    {"wubi", kChina},
    {"baidu", kChina},
    {"sougou", kChina},
    {"japanese", kJapan},
    {"hiragana", kJapan},
    {"katakana", kJapan},
    {"korean", kKorea},
    {"hangul", kKorea},
    {"german", kGermany},
    {"french", kFrance},
    {"spanish", kSpain},
    {"portuguese", kPortugal},
    {"russian", kRussia},
    {"abc", kUnitedStates},
    {"us", kUnitedStates},
    {"english", kUnitedStates},
}};

} // namespace

QString flagEmoji(const QString& id)
{
    const QString lowered = id.toLower();
    for (const auto& [keyword, emoji] : kFlagTable) {
        if (lowered.contains(QLatin1String(keyword)))
            return QString::fromUtf16(emoji);
    }
    return QString::fromUtf16(kKeyboard);
}

QString flagEmojiForCountry(const QString& countryCode)
{
    if (countryCode.size() != 2)
        return QString::fromUtf16(kKeyboard);
    QString flag;
    for (const QChar letter : countryCode.toUpper()) {
        if (letter < QLatin1Char('A') || letter > QLatin1Char('Z'))
            return QString::fromUtf16(kKeyboard);
        const char32_t indicator = U'\U0001F1E6' + (letter.unicode() - u'A');
        flag += QString::fromUcs4(&indicator, 1);
    }
    return flag;
}

QString flagEmoji(const InputSource& source)
{
    if (!source.countryCode)
        return flagEmoji(source.id);
    return flagEmojiForCountry(*source.countryCode);
}

QString keyboardSign()
{
    return QString::fromUtf16(kKeyboard);
}
