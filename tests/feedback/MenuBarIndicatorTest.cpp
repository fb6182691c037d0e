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
        QVERIFY(setLayouts(QStringLiteral("us,de,ru,fr"), QStringLiteral(",,,")));
        auto restore = qScopeGuard([&] { setLayouts(QStringLiteral("us,de,ru"), QStringLiteral(",,")); });
        auto platform = X11Platform::create();
        QVERIFY2(platform, "needs an X display");
        InputSourceManager manager(platform->inputSourceProvider());
        MenuBarIndicatorController controller(manager);
        // XKB holds at most four groups: the keymap is checked in two halves.
        const QList<std::pair<QString, QStringList>> keymaps{
            {QStringLiteral("us,de,ru,fr"), {"🇺🇸", "🇩🇪", "🇷🇺", "🇫🇷"}},
            {QStringLiteral("jp,cz"), {"🇯🇵", "🇨🇿"}},
        };
        for (const auto& [layouts, flags] : keymaps) {
            QVERIFY(setLayouts(layouts,
                               layouts == QLatin1String("jp,cz") ? QStringLiteral(",bksl") : QStringLiteral(",,,")));
            QTRY_COMPARE(manager.installedInputSources().size(), flags.size());
            for (qsizetype group = 0; group < flags.size(); ++group) {
                QVERIFY(TestWindow::lockGroupElsewhere(int(group)));
                const QString id = manager.installedInputSources().at(group).id;
                QTRY_COMPARE(controller.currentInputSourceName(), manager.displayName(id));
                QVERIFY2(controller.currentInputSourceIcon() == flags.at(group), qPrintable(id));
            }
        }
        QCOMPARE(manager.installedInputSources().constLast().id, QStringLiteral("xkb:cz(bksl)"));
    }
};

TOLVANE_TEST_GUILESS_MAIN(MenuBarIndicatorTest)
#include "MenuBarIndicatorTest.moc"
