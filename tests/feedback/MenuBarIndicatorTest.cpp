#include "support/TestMain.h"
#include "support/TestWindow.h"

#include "core/InputSourceManager.h"
#include "feedback/MenuBarIndicatorController.h"
#include "platform/x11/X11Platform.h"

#include <QProcess>
#include <QScopeGuard>

// The tray flag: the flag of each source of a real keymap, following every
// change of the selected source, including changes made outside Tolvane.
class MenuBarIndicatorTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Every group of the keymap gets its country's flag from xkeyboard-config
    // (the keyword table gave ru and cz none), and a group locked by another
    // client shows its flag too.
    void keymapFlags()
    {
        const auto setLayouts = [](const QString& layouts, const QString& variants) {
            return QProcess::execute(QStringLiteral("setxkbmap"),
                                     {QStringLiteral("-layout"), layouts, QStringLiteral("-variant"), variants})
                == 0;
        };
        // XKB holds at most four groups.
        QVERIFY(setLayouts(QStringLiteral("us,ru,jp,cz"), QStringLiteral(",,,bksl")));
        auto restore = qScopeGuard([&] { setLayouts(QStringLiteral("us,de,ru"), QStringLiteral(",,")); });
        auto platform = X11Platform::create();
        QVERIFY2(platform, "needs an X display");
        InputSourceManager manager(platform->inputSourceProvider());
        MenuBarIndicatorController controller(manager);
        const QStringList flags{"🇺🇸", "🇷🇺", "🇯🇵", "🇨🇿"};
        QTRY_COMPARE(manager.installedInputSources().size(), flags.size());
        QCOMPARE(manager.installedInputSources().constLast().id, QStringLiteral("xkb:cz(bksl)"));
        for (qsizetype group = flags.size() - 1; group >= 0; --group) {
            QVERIFY(TestWindow::lockGroupElsewhere(int(group)));
            const QString id = manager.installedInputSources().at(group).id;
            QTRY_COMPARE(controller.currentInputSourceName(), manager.displayName(id));
            QVERIFY2(controller.currentInputSourceIcon() == flags.at(group), qPrintable(id));
        }
    }
};

TOLVANE_TEST_GUILESS_MAIN(MenuBarIndicatorTest)
#include "MenuBarIndicatorTest.moc"
