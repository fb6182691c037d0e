// xkeyboard-config's layout list as the registry reads it (the system's own
// evdev.xml, and damaged copies of it), and the countries of Linux input
// sources that come from it and from the input-method frameworks' languages.
#include "platform/freedesktop/XkbRegistry.h"
#include "feedback/FlagEmoji.h"
#include "platform/freedesktop/InputSourceCountry.h"
#include "support/TestFiles.h"
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
        const auto row = [](const char* tag, const QString& layout, const QString& variant, const QString& description,
                            const QString& country) {
            QTest::newRow(tag) << layout << variant << description << country;
        };
        row("us", "us", "", "English (US)", "US");
        row("de", "de", "", "German", "DE");
        // Markup characters, read from XML entities (the backslash is the file's own).
        row("cz(bksl)", "cz", "bksl", "Czech (with <\\|> key)", "CZ");
        // A variant without a list of its own takes its layout's.
        row("in(eng)", "in", "eng", "English (India, with rupee)", "IN");
        // Many countries: the first the file lists.
        row("latam", "latam", "", "Spanish (Latin American)", "AR");
        // No country at all.
        row("epo", "epo", "", "Esperanto", "");
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
        QVERIFY(tolvane::test::writeFile(dir.filePath(QStringLiteral("evdev.xml")), contents));
        const XkbRegistry registry = XkbRegistry::fromFile(dir.filePath(QStringLiteral("evdev.xml")));
        QCOMPARE(registry.size(), entries);
        if (entries > 0)
            QCOMPARE(registry.find(QStringLiteral("de"))->countries, QStringList{QStringLiteral("DE")});
        QVERIFY(XkbRegistry::fromFile(dir.filePath(QStringLiteral("missing.xml"))).isEmpty());
    }

    // The flag each kind of Linux source gets, with the names and languages IBus and fcitx5
    // report for their engines (the common ones are checked against the daemons themselves).
    void linuxSourceFlags_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("flag");
        const auto row = [](const QString& kind, const QString& name, const QString& language, const QString& flag) {
            QTest::addRow("%s:%s", qPrintable(kind), qPrintable(name)) << kind << name << language << flag;
        };
        row("xkb", "mx", "", "🇲🇽"); // not in the file, but a country code
        row("xkb", "custom", "", "⌨️");
        // The engine's layout, not its language, names the country.
        row("ibus", "xkb:gb:extd:eng", "en", "🇬🇧");
        // Otherwise the language's own country, or the one it names.
        row("ibus", "anthy", "ja", "🇯🇵");
        row("ibus", "libbopomofo", "zh_TW", "🇹🇼");
        row("ibus", "m17n:t:latn-pre", "other", "⌨️"); // an engine of no language
        row("fcitx5", "keyboard-cz-bksl", "cs", "🇨🇿");
        row("fcitx5", "keyboard-us-alt-intl", "en", "🇺🇸");
        row("fcitx5", "unicode", "", "⌨️"); // no language
    }
    void linuxSourceFlags()
    {
        QFETCH(QString, kind);
        QFETCH(QString, name);
        QFETCH(QString, language);
        QString country;
        if (kind == QLatin1String("xkb"))
            country = InputSourceCountry::ofXkbGroupIdentifier(name);
        else if (kind == QLatin1String("ibus"))
            country = InputSourceCountry::ofIBusEngine(name, language);
        else
            country = InputSourceCountry::ofFcitx5InputMethod(name, language);
        const InputSource source{kind + QLatin1Char(':') + name, name, std::nullopt, country};
        QTEST(flagEmoji(source), "flag");
    }

    // A rule written on another system keeps the flag of its identifier's keywords: the first
    // keyword found in the lower-cased id wins ("russian" before the "us" in it).
    void sourcesWithoutCountryInformation()
    {
        QCOMPARE(flagEmoji(QStringLiteral("com.apple.keylayout.Russian")), QStringLiteral("🇷🇺"));
        QCOMPARE(flagEmoji(QStringLiteral("GERMAN-Ä")), QStringLiteral("🇩🇪"));
        const InputSource mac{QStringLiteral("com.apple.keylayout.German"), QStringLiteral("German"), std::nullopt,
                              std::nullopt};
        QCOMPARE(flagEmoji(mac), QStringLiteral("🇩🇪"));
        QCOMPARE(flagEmojiForCountry(QStringLiteral("t1")), QString::fromUtf16(u"\u2328\uFE0F"));
    }
};

TOLVANE_TEST_GUILESS_MAIN(XkbRegistryTest)
#include "XkbRegistryTest.moc"
