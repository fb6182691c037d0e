#include "support/FakeInputSourceProvider.h"
#include "support/TestMain.h"

#include "core/InputSourceManager.h"
#include "feedback/MenuBarIndicatorController.h"
#include "platform/x11/X11Platform.h"

#include <QSignalSpy>

#include <X11/XKBlib.h>

// The tray flag follows every change of the selected source, including changes
// made outside Tolvane.
class MenuBarIndicatorTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void keepsTheLastSourceWhileNoneIsCurrent()
    {
        FakeInputSourceProvider provider;
        InputSourceManager manager(&provider);
        MenuBarIndicatorController controller(manager);
        QCOMPARE(controller.currentInputSourceIcon(), QString::fromUtf16(u"\u2328\uFE0F"));

        QSignalSpy icon(&controller, &MenuBarIndicatorController::currentInputSourceIconChanged);
        provider.current = FakeInputSourceProvider::source(QStringLiteral("xkb:russian"), QStringLiteral("Russian"));
        Q_EMIT provider.selectedInputSourceChanged();
        QCOMPARE(controller.currentInputSourceIcon(), QStringLiteral("🇷🇺"));
        provider.current.reset();
        Q_EMIT provider.selectedInputSourceChanged();
        QCOMPARE(controller.currentInputSourceName(), QStringLiteral("Russian"));
        QCOMPARE(icon.count(), 1);
    }

    void outsideGroupChangeUpdatesTheFlag()
    {
        auto platform = X11Platform::create();
        QVERIFY2(platform, "needs an X display");
        InputSourceManager manager(platform->inputSourceProvider());
        QVERIFY(manager.selectInputSource(QStringLiteral("xkb:us")));
        MenuBarIndicatorController controller(manager);
        QTRY_COMPARE(controller.currentInputSourceIcon(), QStringLiteral("🇺🇸"));

        // Another client locks the third group (ru), as the user's own layout
        // hotkey or setxkbmap would.
        Display* display = XOpenDisplay(nullptr);
        QVERIFY(display);
        XkbLockGroup(display, XkbUseCoreKbd, 2);
        XFlush(display);
        // "xkb:ru" holds no keyword of the flag table: the keyboard sign.
        QTRY_VERIFY(controller.currentInputSourceName().contains(QStringLiteral("Russian")));
        QCOMPARE(controller.currentInputSourceIcon(), QString::fromUtf16(u"\u2328\uFE0F"));

        XkbLockGroup(display, XkbUseCoreKbd, 0);
        XFlush(display);
        QTRY_COMPARE(controller.currentInputSourceIcon(), QStringLiteral("🇺🇸"));
        XCloseDisplay(display);
    }
};

TOLVANE_TEST_GUILESS_MAIN(MenuBarIndicatorTest)
#include "MenuBarIndicatorTest.moc"
