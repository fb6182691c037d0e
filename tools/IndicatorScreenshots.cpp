#include "support/TestMain.h"

#include "base/Preferences.h"
#include "base/Tolvane.h"
#include "feedback/InputSourceIndicatorController.h"
#include "services/LocalizationManager.h"

#include <QProcess>

// Not a test: the documentation's pictures of the floating indicator (see the
// README), taken on the private desktop. Built beside the feedback tests but not
// run by ctest.
class IndicatorScreenshots : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { Preferences::setValue(QStringLiteral("indicatorEnabled"), true); }

    // With TOLVANE_SCREENSHOT_DIR set, saves the screen with the panel at each
    // position in English and Japanese as indicator-<position>-<language>.png.
    void screenshots()
    {
        const QString directory = qEnvironmentVariable("TOLVANE_SCREENSHOT_DIR");
        if (directory.isEmpty())
            QFAIL("set TOLVANE_SCREENSHOT_DIR to the folder for the pictures");
        for (const QString& language : {QStringLiteral("en"), QStringLiteral("ja")}) {
            LocalizationManager::shared().setLanguage(language, false);
            const bool ja = language == QLatin1String("ja");
            const QList<std::array<QString, 3>> shots{{"top", ja ? "日本語 (かな入力)" : "German", ja ? "🇯🇵" : "🇩🇪"},
                                                      {"center", Tolvane::tr("Switching Paused"), "⏸️"},
                                                      {"bottom", Tolvane::tr("Switching Resumed"), "▶️"}};
            for (const auto& [position, text, icon] : shots) {
                Preferences::setValue(QStringLiteral("indicatorPosition"), position);
                InputSourceIndicatorController controller;
                controller.showMessage(text, icon);
                QTRY_VERIFY(controller.window());
                QVERIFY(QTest::qWaitForWindowExposed(controller.window()));
                QTest::qWait(300);
                const QString file = QStringLiteral("%1/indicator-%2-%3.png").arg(directory, position, language);
                QCOMPARE(QProcess::execute(QStringLiteral("import"), {"-window", "root", file}), 0);
            }
        }
        LocalizationManager::shared().setLanguage(QStringLiteral("system"), false);
    }
};

TOLVANE_TEST_MAIN(IndicatorScreenshots)
#include "IndicatorScreenshots.moc"
