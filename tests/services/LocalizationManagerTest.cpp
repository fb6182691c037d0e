#include "support/TestMain.h"

#include "base/Preferences.h"
#include "base/Tolvane.h"
#include "services/LocalizationManager.h"

#include <QSignalSpy>

namespace {

const QStringList kJapaneseDesktop{QStringLiteral("ja-JP")};
const QString kJapanese = QStringLiteral("入力ソースが変更されました");

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

    void selectionIsStoredAndShownAtOnce()
    {
        // First start: the desktop's language, and nothing written.
        LocalizationManager manager(kJapaneseDesktop);
        QCOMPARE(manager.currentLanguage(), QStringLiteral("system"));
        QVERIFY(!Preferences::contains(QStringLiteral("appLanguage")));
        const auto shown = [] { return Tolvane::tr("Input Source Changed"); };
        QCOMPARE(shown(), kJapanese);
        QSignalSpy notice(&manager, &LocalizationManager::languageDidChange);
        QSignalSpy language(&manager, &LocalizationManager::currentLanguageChanged);
        QSignalSpy bundle(&manager, &LocalizationManager::localizedBundleChanged);
        manager.setLanguage(QStringLiteral("de"), true);
        QCOMPARE(manager.currentLanguage(), QStringLiteral("de"));
        QCOMPARE(notice.count(), 1);
        QCOMPARE(language.count(), 1);
        QCOMPARE(Preferences::stringValue(QStringLiteral("appLanguage")), QStringLiteral("de"));
        QCOMPARE(Preferences::stringListValue(QStringLiteral("AppleLanguages")), QStringList{QStringLiteral("de")});
        QCOMPARE(manager.localized(QStringLiteral("Input Source Changed")), QStringLiteral("Eingabequelle gewechselt"));
        QCOMPARE(manager.localized(QStringLiteral("No such text")), QStringLiteral("No such text"));
        QTRY_COMPARE(shown(), QStringLiteral("Eingabequelle gewechselt"));
        {
            LocalizationManager restarted(kJapaneseDesktop);
            QCOMPARE(restarted.currentLanguage(), QStringLiteral("de"));
        }

        // Chosen again: only the notice and the trigger are renewed.
        const QUuid trigger = manager.updateTrigger();
        manager.setLanguage(QStringLiteral("de"), false);
        QCOMPARE(language.count(), 1);
        QCOMPARE(bundle.count(), 1);
        QCOMPARE(notice.count(), 2);
        QVERIFY(manager.updateTrigger() != trigger);

        // Back to the system: both keys go, the texts follow the desktop again.
        manager.setLanguage(QStringLiteral("system"), true);
        QVERIFY(!Preferences::contains(QStringLiteral("appLanguage")));
        QVERIFY(!Preferences::contains(QStringLiteral("AppleLanguages")));
        QTRY_COMPARE(shown(), kJapanese);
    }

    void desktopLanguagesPickATable()
    {
        // Only simplified Chinese has a table; traditional falls through to the next language.
        QCOMPARE(LocalizationManager::tableCodeForLanguages({"zh-Hans-CN", "zh-CN"}), QStringLiteral("zh-Hans"));
        QCOMPARE(LocalizationManager::tableCodeForLanguages({"zh-Hant-TW", "ja-JP"}), QStringLiteral("ja"));
        QCOMPARE(LocalizationManager::tableCodeForLanguages({"it-IT", "nl"}), QString());
    }
};

TOLVANE_TEST_MAIN(LocalizationManagerTest)
#include "LocalizationManagerTest.moc"
