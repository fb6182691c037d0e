#include "support/RecordingLogSink.h"
#include "support/TestMain.h"

#include "core/Preferences.h"
#include "core/Tolvane.h"
#include "services/LocalizationManager.h"

#include <QLabel>
#include <QSignalSpy>

namespace {

// A window that re-translates itself on QEvent::LanguageChange, as every view does.
class LiveLabel : public QLabel {
public:
    LiveLabel() { retranslate(); }
    void retranslate() { setText(Tolvane::tr("Input Source Changed")); }

protected:
    void changeEvent(QEvent* event) override
    {
        if (event->type() == QEvent::LanguageChange)
            retranslate();
        QLabel::changeEvent(event);
    }
};

const QStringList kEnglishDesktop{QStringLiteral("en-US"), QStringLiteral("en")};

} // namespace

class LocalizationManagerTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        Preferences::remove(QStringLiteral("appLanguage"));
        Preferences::remove(QStringLiteral("AppleLanguages"));
    }

    void everyLanguageHasATable()
    {
        const auto languages = LocalizationManager::supportedLanguages();
        QCOMPARE(languages.size(), 9);
        QCOMPARE(languages.constFirst().code, QStringLiteral("system"));
        for (const auto& language : languages.mid(1))
            QVERIFY2(LocalizationManager::hasTranslationTable(language.code), qPrintable(language.code));
        QVERIFY(!LocalizationManager::hasTranslationTable(QStringLiteral("xx")));
        QVERIFY(!LocalizationManager::hasTranslationTable(QStringLiteral("../i18n/tolvane_de")));
    }

    void startsWithTheStoredChoice_data()
    {
        QTest::addColumn<QString>("stored"); // appLanguage, "" for none
        QTest::addColumn<QString>("top");    // "Top" as shown, "" for any translation
        QTest::addColumn<QString>("logLine");
        QTest::newRow("first start: the desktop's English") << "" << "Top" << "";
        QTest::newRow("stored table") << "ko" << "" << "";
        QTest::newRow("\"xx\" stored by hand: the desktop's German")
            << "xx" << "Oben" << "info: Language bundle not found for: xx";
    }
    void startsWithTheStoredChoice()
    {
        QFETCH(QString, stored);
        QFETCH(QString, top);
        QFETCH(QString, logLine);
        if (!stored.isEmpty())
            Preferences::setValue(QStringLiteral("appLanguage"), stored);
        RecordingLogSink log;
        LocalizationManager manager(stored == "xx" ? QStringList{QStringLiteral("de-DE")} : kEnglishDesktop);
        QCOMPARE(manager.currentLanguage(), stored.isEmpty() ? QStringLiteral("system") : stored);
        const QString shown = manager.localized(QStringLiteral("Top"));
        QVERIFY2(top.isEmpty() ? shown != QStringLiteral("Top") : shown == top, qPrintable(shown));
        QCOMPARE(log.lines().contains(logLine), !logLine.isEmpty());
        // Nothing is written at start, and a stored choice is left as it was.
        QCOMPARE(Preferences::contains(QStringLiteral("appLanguage")), !stored.isEmpty());
        QCOMPARE(Preferences::stringValue(QStringLiteral("appLanguage")).value_or(QString()), stored);
        QVERIFY(!Preferences::contains(QStringLiteral("AppleLanguages")));
    }

    void selections_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("expected"); // "Input Source Changed" in that language
        QTest::newRow("de") << "de" << "Eingabequelle gewechselt";
        QTest::newRow("ja") << "ja" << "入力ソースが変更されました";
        QTest::newRow("zh-Hans") << "zh-Hans" << QString();
        QTest::newRow("en") << "en" << "Input Source Changed";
    }
    void selections()
    {
        QFETCH(QString, code);
        QFETCH(QString, expected);
        LocalizationManager manager(kEnglishDesktop);
        LiveLabel window;
        window.show();
        QSignalSpy notice(&manager, &LocalizationManager::languageDidChange);
        QSignalSpy language(&manager, &LocalizationManager::currentLanguageChanged);
        manager.setLanguage(code, true);
        QCOMPARE(manager.currentLanguage(), code);
        QCOMPARE(notice.count(), 1);
        QCOMPARE(language.count(), 1);
        QCOMPARE(Preferences::stringValue(QStringLiteral("appLanguage")), code);
        QCOMPARE(Preferences::stringListValue(QStringLiteral("AppleLanguages")), QStringList{code});
        const QString translated = manager.localized(QStringLiteral("Input Source Changed"));
        if (!expected.isEmpty())
            QCOMPARE(translated, expected);
        else
            QVERIFY(translated != QStringLiteral("Input Source Changed"));
        // The open window follows at once.
        QTRY_COMPARE(window.text(), translated);

        // Back to the system: both keys go, the texts follow the desktop again.
        manager.setLanguage(QStringLiteral("system"), true);
        QVERIFY(!Preferences::contains(QStringLiteral("appLanguage")));
        QVERIFY(!Preferences::contains(QStringLiteral("AppleLanguages")));
        QTRY_COMPARE(window.text(), QStringLiteral("Input Source Changed"));
    }

    void repeatedSelectionRenewsOnlyTheTrigger()
    {
        LocalizationManager manager(kEnglishDesktop);
        manager.setLanguage(QStringLiteral("fr"), false);
        const QUuid before = manager.updateTrigger();
        QSignalSpy language(&manager, &LocalizationManager::currentLanguageChanged);
        QSignalSpy bundle(&manager, &LocalizationManager::localizedBundleChanged);
        QSignalSpy notice(&manager, &LocalizationManager::languageDidChange);
        manager.setLanguage(QStringLiteral("fr"), false);
        QCOMPARE(language.count(), 0);
        QCOMPARE(bundle.count(), 0);
        QCOMPARE(notice.count(), 1);
        QVERIFY(manager.updateTrigger() != before);
        QVERIFY(!Preferences::contains(QStringLiteral("appLanguage"))); // not persisted
    }

    void missingKeyShowsTheKey()
    {
        LocalizationManager manager(kEnglishDesktop);
        manager.setLanguage(QStringLiteral("es"), false);
        QCOMPARE(manager.localized(QStringLiteral("No such text")), QStringLiteral("No such text"));
    }

    void desktopLanguages_data()
    {
        QTest::addColumn<QStringList>("ui");
        QTest::addColumn<QString>("code");
        QTest::newRow("german") << QStringList{"de-AT", "de"} << "de";
        QTest::newRow("simplified chinese") << QStringList{"zh-Hans-CN", "zh-CN", "zh"} << "zh-Hans";
        QTest::newRow("traditional chinese skipped") << QStringList{"zh-Hant-TW", "ja-JP"} << "ja";
        QTest::newRow("brazilian portuguese") << QStringList{"pt-BR"} << "pt";
        QTest::newRow("no table") << QStringList{"it-IT", "nl"} << "";
        QTest::newRow("second choice") << QStringList{"it-IT", "fr-CA"} << "fr";
        QTest::newRow("C locale") << QStringList{"C"} << "";
        QTest::newRow("nothing") << QStringList{} << "";
    }
    void desktopLanguages()
    {
        QFETCH(QStringList, ui);
        QFETCH(QString, code);
        QCOMPARE(LocalizationManager::tableCodeForLanguages(ui), code);
    }
};

TOLVANE_TEST_MAIN(LocalizationManagerTest)
#include "LocalizationManagerTest.moc"
