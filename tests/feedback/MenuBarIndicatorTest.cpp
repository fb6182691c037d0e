#include "support/TestMain.h"
#include "support/TestWindow.h"

#include "core/InputSourceManager.h"
#include "feedback/FlagEmoji.h"
#include "feedback/MenuBarIndicatorController.h"
#include "platform/x11/X11Platform.h"

// The tray flag: the flag of a source id, following every change of the
// selected source, including changes made outside Tolvane.
class MenuBarIndicatorTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The first keyword found in the lower-cased id wins.
    void flags_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("flag");
        QTest::newRow("russian before us") << "com.apple.keylayout.Russian" << "🇷🇺";
        QTest::newRow("upper case") << "GERMAN-Ä" << "🇩🇪";
    }
    void flags()
    {
        QFETCH(QString, id);
        QFETCH(QString, flag);
        QCOMPARE(flagEmoji(id), flag);
    }

    void outsideGroupChangeUpdatesTheFlag()
    {
        auto platform = X11Platform::create();
        QVERIFY2(platform, "needs an X display");
        InputSourceManager manager(platform->inputSourceProvider());
        QVERIFY(manager.selectInputSource(QStringLiteral("xkb:us")));
        MenuBarIndicatorController controller(manager);
        QTRY_COMPARE(controller.currentInputSourceIcon(), QStringLiteral("🇺🇸"));

        // Another client locks the third group (ru), as the user's layout hotkey would.
        QVERIFY(TestWindow::lockGroupElsewhere(2));
        // "xkb:ru" holds no keyword of the flag table: the keyboard sign.
        QTRY_VERIFY(controller.currentInputSourceName().contains(QStringLiteral("Russian")));
        QCOMPARE(controller.currentInputSourceIcon(), QString::fromUtf16(u"\u2328\uFE0F"));
        QVERIFY(TestWindow::lockGroupElsewhere(0));
        QTRY_COMPARE(controller.currentInputSourceIcon(), QStringLiteral("🇺🇸"));
    }
};

TOLVANE_TEST_GUILESS_MAIN(MenuBarIndicatorTest)
#include "MenuBarIndicatorTest.moc"
