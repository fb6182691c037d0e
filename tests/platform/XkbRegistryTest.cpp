// xkeyboard-config's layout list as the registry reads it (the system's own
// evdev.xml, and damaged copies of it), and the countries of Linux input
// sources that come from it and from the input-method frameworks' languages.
#include "platform/freedesktop/XkbRegistry.h"
#include "feedback/FlagEmoji.h"
#include "platform/freedesktop/InputSourceCountry.h"
#include "support/TestMain.h"

#include <QFile>
#include <QTemporaryDir>

class XkbRegistryTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        if (XkbRegistry::system().isEmpty())
            QSKIP("needs xkeyboard-config's rules file (Debian package xkb-data)");
    }

    void systemLayouts_data()
    {
        QTest::addColumn<QString>("layout");
        QTest::addColumn<QString>("variant");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("country");
        QTest::newRow("us") << "us"
                            << ""
                            << "English (US)"
                            << "US";
        QTest::newRow("gb") << "gb"
                            << ""
                            << "English (UK)"
                            << "GB";
        QTest::newRow("de") << "de"
                            << ""
                            << "German"
                            << "DE";
        QTest::newRow("ru") << "ru"
                            << ""
                            << "Russian"
                            << "RU";
        QTest::newRow("ua") << "ua"
                            << ""
                            << "Ukrainian"
                            << "UA";
        QTest::newRow("jp") << "jp"
                            << ""
                            << "Japanese"
                            << "JP";
        // Markup characters, read from XML entities (the backslash is the file's own).
        QTest::newRow("cz(bksl)") << "cz"
                                  << "bksl"
                                  << "Czech (with <\\|> key)"
                                  << "CZ";
        // A variant without a list of its own takes its layout's.
        QTest::newRow("in(eng)") << "in"
                                 << "eng"
                                 << "English (India, with rupee)"
                                 << "IN";
        // Many countries: the first the file lists.
        QTest::newRow("latam") << "latam"
                               << ""
                               << "Spanish (Latin American)"
                               << "AR";
        QTest::newRow("ara") << "ara"
                             << ""
                             << "Arabic"
                             << "AE";
        // No country at all.
        QTest::newRow("epo") << "epo"
                             << ""
                             << "Esperanto"
                             << "";
    }
    void systemLayouts()
    {
        QFETCH(QString, layout);
        QFETCH(QString, variant);
        QFETCH(QString, description);
        QFETCH(QString, country);
        const auto info = XkbRegistry::system().find(layout, variant);
        QVERIFY(info);
        QCOMPARE(info->description, description);
        QCOMPARE(InputSourceCountry::ofXkbLayout(layout, variant), country);
        // The way back from a description, as the desktop shows it.
        QCOMPARE(XkbRegistry::system().findByDescription(description), info);
    }

    void unknownNamesFindNothing()
    {
        const XkbRegistry& registry = XkbRegistry::system();
        QVERIFY(!registry.find(QStringLiteral("no-such-layout")));
        QVERIFY(!registry.find(QStringLiteral("de"), QStringLiteral("no-such-variant")));
        QVERIFY(!registry.findByDescription(QStringLiteral("german")));
        // An unknown variant still has its layout's country.
        QCOMPARE(InputSourceCountry::ofXkbLayout(QStringLiteral("de"), QStringLiteral("no-such-variant")), "DE");
    }

    // Whatever the file holds, reading it ends, keeps the layouts it could
    // read whole, and never crashes.
    void damagedFiles_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<int>("entries");
        const QByteArray layout = "<layout><configItem><name>de</name><description>German</description>"
                                  "<countryList><iso3166Id>de</iso3166Id></countryList></configItem></layout>";
        QTest::newRow("empty") << QByteArray() << 0;
        QTest::newRow("not xml") << QByteArray("\x00\xff{\"layouts\": []}", 16) << 0;
        QTest::newRow("whole") << "<xkbConfigRegistry><layoutList>" + layout + "</layoutList></xkbConfigRegistry>" << 1;
        QTest::newRow("cut inside the second layout")
            << "<xkbConfigRegistry><layoutList>" + layout + "<layout><configItem><name>fr" << 1;
        QTest::newRow("layout without a name")
            << QByteArray("<layoutList><layout><configItem><description>X</description></configItem>"
                          "<variantList><variant><configItem><name>v</name></configItem></variant></variantList>"
                          "</layout></layoutList>")
            << 0;
        QTest::newRow("undeclared entity") << "<layoutList>" + layout + "<layout>&bogus;</layout></layoutList>" << 1;
        QTest::newRow("deep nesting") << QByteArray("<a>").repeated(5000) << 0;
    }
    void damagedFiles()
    {
        QFETCH(QByteArray, contents);
        QFETCH(int, entries);
        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("evdev.xml")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(contents);
        file.close();
        const XkbRegistry registry = XkbRegistry::fromFile(file.fileName());
        QCOMPARE(registry.size(), entries);
        if (entries > 0)
            QCOMPARE(registry.find(QStringLiteral("de"))->countries, QStringList{QStringLiteral("DE")});
        QVERIFY(XkbRegistry::fromFile(dir.filePath(QStringLiteral("missing.xml"))).isEmpty());
    }

    // The flag each kind of Linux source gets, with the names and languages
    // IBus and fcitx5 report for their engines.
    void linuxSourceFlags_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("flag");
        QTest::newRow("xkb:us") << "xkb"
                                << "us"
                                << ""
                                << "🇺🇸";
        QTest::newRow("xkb:fr") << "xkb"
                                << "fr"
                                << ""
                                << "🇫🇷";
        QTest::newRow("xkb:cz(bksl)") << "xkb"
                                      << "cz(bksl)"
                                      << ""
                                      << "🇨🇿";
        QTest::newRow("xkb:jp") << "xkb"
                                << "jp"
                                << ""
                                << "🇯🇵";
        // Not in the file, but a country code.
        QTest::newRow("xkb:xx unknown, country code") << "xkb"
                                                      << "mx"
                                                      << ""
                                                      << "🇲🇽";
        QTest::newRow("xkb:custom") << "xkb"
                                    << "custom"
                                    << ""
                                    << "⌨️";
        QTest::newRow("ibus:xkb:de::ger") << "ibus"
                                          << "xkb:de::ger"
                                          << "de"
                                          << "🇩🇪";
        QTest::newRow("ibus:xkb:fr::fra") << "ibus"
                                          << "xkb:fr::fra"
                                          << "fr"
                                          << "🇫🇷";
        QTest::newRow("ibus:xkb:us::eng") << "ibus"
                                          << "xkb:us::eng"
                                          << "en"
                                          << "🇺🇸";
        QTest::newRow("ibus:xkb:gb:extd:eng") << "ibus"
                                              << "xkb:gb:extd:eng"
                                              << "en"
                                              << "🇬🇧";
        QTest::newRow("ibus:anthy") << "ibus"
                                    << "anthy"
                                    << "ja"
                                    << "🇯🇵";
        QTest::newRow("ibus:mozc-jp") << "ibus"
                                      << "mozc-jp"
                                      << "ja"
                                      << "🇯🇵";
        QTest::newRow("ibus:hangul") << "ibus"
                                     << "hangul"
                                     << "ko"
                                     << "🇰🇷";
        QTest::newRow("ibus:libpinyin") << "ibus"
                                        << "libpinyin"
                                        << "zh_CN"
                                        << "🇨🇳";
        QTest::newRow("ibus:libbopomofo") << "ibus"
                                          << "libbopomofo"
                                          << "zh_TW"
                                          << "🇹🇼";
        QTest::newRow("ibus:unikey") << "ibus"
                                     << "Unikey"
                                     << "vi"
                                     << "🇻🇳";
        QTest::newRow("ibus engine of no language") << "ibus"
                                                    << "m17n:t:latn-pre"
                                                    << "other"
                                                    << "⌨️";
        QTest::newRow("fcitx5:keyboard-de") << "fcitx5"
                                            << "keyboard-de"
                                            << "de"
                                            << "🇩🇪";
        QTest::newRow("fcitx5:keyboard-cz-bksl") << "fcitx5"
                                                 << "keyboard-cz-bksl"
                                                 << "cs"
                                                 << "🇨🇿";
        QTest::newRow("fcitx5:keyboard-us-alt-intl") << "fcitx5"
                                                     << "keyboard-us-alt-intl"
                                                     << "en"
                                                     << "🇺🇸";
        QTest::newRow("fcitx5:mozc") << "fcitx5"
                                     << "mozc"
                                     << "ja"
                                     << "🇯🇵";
        QTest::newRow("fcitx5:pinyin") << "fcitx5"
                                       << "pinyin"
                                       << "zh_CN"
                                       << "🇨🇳";
        QTest::newRow("fcitx5:chewing") << "fcitx5"
                                        << "chewing"
                                        << "zh_TW"
                                        << "🇹🇼";
        QTest::newRow("fcitx5:unicode, no language") << "fcitx5"
                                                     << "unicode"
                                                     << ""
                                                     << "⌨️";
    }
    void linuxSourceFlags()
    {
        QFETCH(QString, kind);
        QFETCH(QString, name);
        QFETCH(QString, language);
        QFETCH(QString, flag);
        QString country;
        if (kind == QLatin1String("xkb"))
            country = InputSourceCountry::ofXkbGroupIdentifier(name);
        else if (kind == QLatin1String("ibus"))
            country = InputSourceCountry::ofIBusEngine(name, language);
        else
            country = InputSourceCountry::ofFcitx5InputMethod(name, language);
        const InputSource source{kind + QLatin1Char(':') + name, name, std::nullopt, country};
        QCOMPARE(flagEmoji(source), flag);
    }

    // A rule written on another system keeps the flag of its identifier's keywords.
    void sourcesWithoutCountryInformation()
    {
        const InputSource mac{QStringLiteral("com.apple.keylayout.German"), QStringLiteral("German"), std::nullopt,
                              std::nullopt};
        QCOMPARE(flagEmoji(mac), QStringLiteral("🇩🇪"));
        QCOMPARE(flagEmojiForCountry(QStringLiteral("t1")), QString::fromUtf16(u"\u2328\uFE0F"));
    }
};

TOLVANE_TEST_GUILESS_MAIN(XkbRegistryTest)
#include "XkbRegistryTest.moc"
