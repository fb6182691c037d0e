#include "AppHarness.h"

#include "support/RecordingLogSink.h"
#include "support/StandardOutputCapture.h"
#include "support/TestMain.h"

#include "services/LocalizationManager.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTemporaryDir>

#include <cstdio>

namespace {
// The menu's visible rows: texts, "-" for a divider, "(dim)" after rows that
// cannot be chosen, and after a tab the key equivalent.
QStringList visibleRows(const QMenu& menu)
{
    QStringList rows;
    for (QAction* action : menu.actions()) {
        if (!action->isVisible())
            continue;
        if (action->isSeparator())
            rows.append(QStringLiteral("-"));
        else if (!action->shortcut().isEmpty())
            rows.append(action->text() + QLatin1Char('\t') + action->shortcut().toString());
        else
            rows.append(action->text() + (action->isEnabled() ? QString() : QStringLiteral(" (dim)")));
    }
    return rows;
}

QAction* rowNamed(const QMenu& menu, const QString& text)
{
    for (QAction* action : menu.actions())
        if (action->isVisible() && action->text() == text)
            return action;
    return nullptr;
}

QImage labelImage(const TolvaneApp& app, QSize size = {22, 22})
{
    return app.labelIcon().pixmap(size).toImage();
}

void selectSource(AppHarness& harness, const QString& id, const QString& name)
{
    harness.engine.provider.current = FakeInputSourceProvider::source(id, name);
    Q_EMIT harness.engine.provider.selectedInputSourceChanged();
}
} // namespace

class TolvaneAppTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        Preferences::store().clear();
        LocalizationManager::shared().setLanguage("en", false);
    }

    void menuFollowsTheSourceAndTheFlagPreference()
    {
        AppHarness harness;
        TolvaneApp& app = harness.start();
        QSignalSpy flagChanged(&app, &TolvaneApp::menuBarShowFlagChanged);
        QStringList tail{"Settings...\tCtrl+,", "-", "Pause Switching\tCtrl+Alt+P", "-", "v2.4.1 (dim)"};
        tail.append("Quit\tCtrl+Q");
        QCOMPARE(visibleRows(*app.menu()), (QStringList{"🇺🇸 English (US) (dim)", "-"} + tail));

        // A name is data: no mnemonic is made of its ampersand, no second line of a line break.
        selectSource(harness, "xkb:russian", "Q&A\nLayout");
        QCOMPARE(visibleRows(*app.menu()).value(0), QStringLiteral("🇷🇺 Q&&A Layout (dim)"));
        QCOMPARE(app.trayIcon()->toolTip(), QStringLiteral("Q&A\nLayout"));
        const QImage flag = labelImage(app);

        // The settings page turns the flag off: read again when the menu opens.
        Preferences::setValue("menuBarShowFlag", false);
        Q_EMIT app.menu()->aboutToShow();
        QCOMPARE(flagChanged.count(), 1);
        QVERIFY(!app.menuBarShowFlag());
        QCOMPARE(visibleRows(*app.menu()), tail);
        const QImage keyboard = labelImage(app);
        QVERIFY(keyboard != flag);

        // ... and without the menu opening, once the preferences reach their file.
        Preferences::setValue("menuBarShowFlag", true);
        Preferences::store().sync();
        QTRY_COMPARE(flagChanged.count(), 2);
        QCOMPARE(visibleRows(*app.menu()).value(0), QStringLiteral("🇷🇺 Q&&A Layout (dim)"));
        QCOMPARE(labelImage(app), flag);

        // A source without a flag: the keyboard symbol, as with the flag off.
        selectSource(harness, "xkb:italian", "Italian");
        QCOMPARE(labelImage(app), keyboard);
    }

    // Trays give square slots from 16 to 48 pixels: the icon is square at each,
    // the flag filling its width (the old label squeezed a wide image into the
    // slot, leaving a flag a third of it); paused shows the paused symbol.
    void trayIconIsSquareAtTraySizes_data()
    {
        QTest::addColumn<int>("size");
        for (int size : {16, 22, 24, 32, 48})
            QTest::addRow("%d px", size) << size;
    }
    void trayIconIsSquareAtTraySizes()
    {
        QFETCH(int, size);
        AppHarness harness;
        TolvaneApp& app = harness.start();
        const auto covered = [&] {
            const QImage image = labelImage(app, {size, size});
            QRect area;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if (qAlpha(image.pixel(x, y)) > 128)
                        area |= QRect(x, y, 1, 1);
            return std::pair{image, area};
        };
        QVERIFY(app.labelIcon().availableSizes().contains(QSize(size, size)));
        const auto [flag, flagArea] = covered();
        QCOMPARE(flag.size(), QSize(size, size));
        QVERIFY2(flagArea.width() >= size - 1, qPrintable(QStringLiteral("flag %1 px wide").arg(flagArea.width())));
        QVERIFY(flagArea.height() >= size / 2);
        // The US flag: red stripes near its right edge.
        bool red = false;
        for (int y = flagArea.top(); y <= flagArea.bottom(); ++y) {
            const QColor colour = flag.pixelColor(flagArea.right() - 1, y);
            red = red || (colour.red() > 150 && colour.green() < 100 && colour.blue() < 100);
        }
        QVERIFY(red);

        harness.engine.engine->setPaused(true);
        const auto [paused, pausedArea] = covered();
        QCOMPARE(paused.size(), QSize(size, size));
        QVERIFY(paused != flag);
        QVERIFY(pausedArea.width() >= size * 3 / 4);
    }

    void pauseItemTogglesInTheInterfaceLanguage()
    {
        AppHarness harness;
        TolvaneApp& app = harness.start();
        const QImage running = labelImage(app);
        QAction* item = rowNamed(*app.menu(), "Pause Switching");
        QVERIFY(item);
        item->trigger();
        QVERIFY(harness.engine.engine->isPaused());
        QCOMPARE(item->text(), QStringLiteral("Resume Switching"));
        QVERIFY(labelImage(app) != running);

        LocalizationManager::shared().setLanguage("de", false);
        QVERIFY(rowNamed(*app.menu(), "Einstellungen..."));
        QVERIFY(rowNamed(*app.menu(), "v2.4.1")); // the version is data
        QCOMPARE(item->text(), QStringLiteral("Umschalten fortsetzen"));
        item->trigger();
        QVERIFY(!harness.engine.engine->isPaused());
        QCOMPARE(labelImage(app), running);
        // The message is the only feedback: no notification, no sound, no switch.
        QCOMPARE(harness.messages, (QStringList{"Switching Paused ⏸️", "Umschalten fortgesetzt ▶️"}));
        QCOMPARE(harness.engine.feedbackEvents(), QStringList());

        LocalizationManager::shared().setLanguage("en", false);
        QCOMPARE(item->text(), QStringLiteral("Pause Switching"));
    }

    void settingsWindowIsOneWindow()
    {
        QGuiApplication::setQuitOnLastWindowClosed(true);
        AppHarness harness;
        TolvaneApp& app = harness.start();
        QSignalSpy opened(&app, &TolvaneApp::settingsOpened);
        QCOMPARE(app.settingsWindow(), nullptr);

        QAction* settings = rowNamed(*app.menu(), "Settings...");
        settings->trigger();
        QWidget* window = app.settingsWindow();
        QVERIFY(window && window->isVisible());
        QCOMPARE(window->windowTitle(), QStringLiteral("Tolvane Settings"));
        // It opens at the size its content asks for, not the least it allows.
        QCOMPARE(window->size(), QSize(820, 640));
        // Ctrl+, Ctrl+Alt+P and Ctrl+Q also work while the window is in front.
        QVERIFY(window->actions().contains(rowNamed(*app.menu(), "Quit")));
        QVERIFY(window->actions().contains(rowNamed(*app.menu(), "Pause Switching")));

        // Closed and opened again: the same window, brought back; closing it does not quit.
        window->close();
        QVERIFY(!QGuiApplication::quitOnLastWindowClosed());
        settings->trigger();
        QCOMPARE(app.settingsWindow(), window);
        QVERIFY(window->isVisible());
        QCOMPARE(harness.calls.count(QStringLiteral("settings content")), 1);
        QCOMPARE(opened.count(), 2);
    }

    void versionFallsBackWhenAbsentOrEmpty()
    {
        QCOMPARE(TolvaneApp::versionString(QVariant()), QStringLiteral("1.0"));
        QCOMPARE(TolvaneApp::versionString(QVariant(QString())), QStringLiteral("1.0"));
    }

    void startUpOrderAndNoTrayNotice()
    {
        Preferences::setValue("NSQuitAlwaysKeepsWindows", true);
        RecordingLogSink log;
        StandardOutputCapture standardError(stderr);
        AppHarness harness;
        harness.start();
        // Windows are never restored: written before the analytics start; the
        // managers are obtained after them; the settings window is not built at start.
        QCOMPARE(harness.calls, (QStringList{"analytics, keeps windows: false", "managers", "services"}));

        // The offscreen platform has no tray: said on standard error and in the log, and switching goes on.
        QVERIFY(!QSystemTrayIcon::isSystemTrayAvailable());
        const QString notice = "No system tray is available; Tolvane keeps switching in the background.";
        QVERIFY(QString::fromLocal8Bit(standardError.text()).contains(notice));
        QVERIFY(log.lines().contains("error: " + notice));
    }

    // Without a tray the first start of a session shows the settings, saying
    // how to come back; later starts do not; a tray that appears gets the item.
    void noTrayShowsTheSettingsOncePerSessionAndTheItemWhenATrayAppears()
    {
        QTemporaryDir session;
        FakeTrayMonitor tray;
        AppHarness first, later;
        for (AppHarness* harness : {&first, &later}) {
            harness->dependencies.trayMonitor = [&tray] { return &tray; };
            harness->dependencies.sessionDirectory = session.path();
        }
        TolvaneApp& app = first.start();
        QVERIFY(!app.trayIcon());
        QVERIFY(app.settingsWindow() && app.settingsWindow()->isVisible());
        auto* notice = app.settingsWindow()->findChild<QLabel*>("noTrayNotice");
        QVERIFY(notice && notice->isVisible());
        QVERIFY(notice->text().contains("start Tolvane again"));
        QVERIFY(!later.start().settingsWindow());

        tray.appear();
        QVERIFY(app.trayIcon() && app.trayIcon()->isVisible());
        QCOMPARE(app.trayIcon()->contextMenu(), app.menu());
        QVERIFY(!notice->isVisible());
        QVERIFY(later.app->trayIcon());
    }
};

TOLVANE_TEST_MAIN(TolvaneAppTest)
#include "TolvaneAppTest.moc"
