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
#include <QWidget>

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
} // namespace

class TolvaneAppTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        Preferences::store().clear();
        LocalizationManager::shared().setLanguage(QStringLiteral("en"), false);
    }

    void menuFollowsTheSourceAndTheFlagPreference()
    {
        AppHarness harness;
        TolvaneApp& app = harness.start();
        QSignalSpy flagChanged(&app, &TolvaneApp::menuBarShowFlagChanged);
        const QStringList tail{QStringLiteral("Settings...\tCtrl+,"),
                               QStringLiteral("-"),
                               QStringLiteral("Pause Switching\tCtrl+Alt+P"),
                               QStringLiteral("-"),
                               QStringLiteral("v2.4.1 (dim)"),
                               QStringLiteral("Quit\tCtrl+Q")};
        QCOMPARE(visibleRows(*app.menu()),
                 (QStringList{QStringLiteral("🇺🇸 English (US) (dim)"), QStringLiteral("-")} + tail));

        // A name is data: no mnemonic is made of its ampersand, no second line of a line break.
        harness.engine.provider.current =
            FakeInputSourceProvider::source(QStringLiteral("xkb:russian"), QStringLiteral("Q&A\nLayout"));
        Q_EMIT harness.engine.provider.selectedInputSourceChanged();
        QCOMPARE(visibleRows(*app.menu()).value(0), QStringLiteral("🇷🇺 Q&&A Layout (dim)"));
        QCOMPARE(app.trayIcon()->toolTip(), QStringLiteral("Q&A\nLayout"));
        const QImage flag = app.labelIcon().pixmap(QSize(22, 22)).toImage();

        // The settings page turns the flag off: read again when the menu opens.
        Preferences::setValue(QStringLiteral("menuBarShowFlag"), false);
        Q_EMIT app.menu()->aboutToShow();
        QCOMPARE(flagChanged.count(), 1);
        QVERIFY(!app.menuBarShowFlag());
        QCOMPARE(visibleRows(*app.menu()), tail);
        const QImage keyboard = app.labelIcon().pixmap(QSize(22, 22)).toImage();
        QVERIFY(keyboard != flag);

        // ... and without the menu opening, once the preferences reach their file.
        Preferences::setValue(QStringLiteral("menuBarShowFlag"), true);
        Preferences::store().sync();
        QTRY_COMPARE(flagChanged.count(), 2);
        QCOMPARE(visibleRows(*app.menu()).value(0), QStringLiteral("🇷🇺 Q&&A Layout (dim)"));
        QCOMPARE(app.labelIcon().pixmap(QSize(22, 22)).toImage(), flag);

        // A source without a flag: the keyboard symbol, as with the flag off.
        harness.engine.provider.current =
            FakeInputSourceProvider::source(QStringLiteral("xkb:italian"), QStringLiteral("Italian"));
        Q_EMIT harness.engine.provider.selectedInputSourceChanged();
        QCOMPARE(app.labelIcon().pixmap(QSize(22, 22)).toImage(), keyboard);
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
            const QImage image = app.labelIcon().pixmap(QSize(size, size)).toImage();
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
        const QImage running = app.labelIcon().pixmap(QSize(60, 22)).toImage();
        QAction* item = rowNamed(*app.menu(), QStringLiteral("Pause Switching"));
        QVERIFY(item);
        item->trigger();
        QVERIFY(harness.engine.engine->isPaused());
        QCOMPARE(item->text(), QStringLiteral("Resume Switching"));
        QVERIFY(app.labelIcon().pixmap(QSize(60, 22)).toImage() != running);

        LocalizationManager::shared().setLanguage(QStringLiteral("de"), false);
        QVERIFY(rowNamed(*app.menu(), QStringLiteral("Einstellungen...")));
        QVERIFY(rowNamed(*app.menu(), QStringLiteral("v2.4.1"))); // the version is data
        QCOMPARE(item->text(), QStringLiteral("Umschalten fortsetzen"));
        item->trigger();
        QVERIFY(!harness.engine.engine->isPaused());
        QVERIFY(app.labelIcon().pixmap(QSize(60, 22)).toImage() == running);
        // The message is the only feedback: no notification, no sound, no switch.
        QCOMPARE(
            harness.messages,
            (QStringList{QStringLiteral("Switching Paused ⏸️"), QStringLiteral("Umschalten fortgesetzt ▶️")}));
        QCOMPARE(harness.engine.feedbackEvents(), QStringList());

        LocalizationManager::shared().setLanguage(QStringLiteral("en"), false);
        QCOMPARE(item->text(), QStringLiteral("Pause Switching"));
    }

    void settingsWindowIsOneWindow()
    {
        QGuiApplication::setQuitOnLastWindowClosed(true);
        AppHarness harness;
        TolvaneApp& app = harness.start();
        QSignalSpy opened(&app, &TolvaneApp::settingsOpened);
        QCOMPARE(app.settingsWindow(), nullptr);

        rowNamed(*app.menu(), QStringLiteral("Settings..."))->trigger();
        QWidget* window = app.settingsWindow();
        QVERIFY(window && window->isVisible());
        QCOMPARE(window->windowTitle(), QStringLiteral("Tolvane Settings"));
        // It opens at the size its content asks for, not the least it allows.
        QCOMPARE(window->size(), QSize(820, 640));
        // Ctrl+, Ctrl+Alt+P and Ctrl+Q also work while the window is in front.
        QVERIFY(window->actions().contains(rowNamed(*app.menu(), QStringLiteral("Quit"))));
        QVERIFY(window->actions().contains(rowNamed(*app.menu(), QStringLiteral("Pause Switching"))));

        // Closed and opened again: the same window, brought back; closing it does not quit.
        window->close();
        QVERIFY(!QGuiApplication::quitOnLastWindowClosed());
        app.openSettings();
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
        Preferences::setValue(QStringLiteral("NSQuitAlwaysKeepsWindows"), true);
        RecordingLogSink log;
        StandardOutputCapture standardError(stderr);
        AppHarness harness;
        harness.start();
        // Windows are never restored: written before the analytics start; the
        // managers are obtained after them; the settings window is not built at start.
        QCOMPARE(harness.calls,
                 (QStringList{QStringLiteral("analytics, keeps windows: false"), QStringLiteral("managers"),
                              QStringLiteral("services")}));

        // The offscreen platform has no tray: said on standard error and in the log, and switching goes on.
        QVERIFY(!QSystemTrayIcon::isSystemTrayAvailable());
        const QString notice =
            QStringLiteral("No system tray is available; Tolvane keeps switching in the background.");
        QVERIFY(QString::fromLocal8Bit(standardError.text()).contains(notice));
        QVERIFY(log.lines().contains(QStringLiteral("error: ") + notice));
    }

    // Without a tray the first start of a session shows the settings, saying
    // how to come back; later starts do not; a tray that appears gets the item.
    void noTrayShowsTheSettingsOncePerSessionAndTheItemWhenATrayAppears()
    {
        QTemporaryDir session;
        FakeTrayMonitor tray;
        AppHarness first;
        first.dependencies.trayMonitor = [&tray] { return &tray; };
        first.dependencies.sessionDirectory = session.path();
        TolvaneApp& app = first.start();
        QVERIFY(!app.trayIcon());
        QVERIFY(app.settingsWindow() && app.settingsWindow()->isVisible());
        auto* notice = app.settingsWindow()->findChild<QLabel*>(QStringLiteral("noTrayNotice"));
        QVERIFY(notice && notice->isVisible());
        QVERIFY(notice->text().contains(QStringLiteral("start Tolvane again")));

        AppHarness later;
        later.dependencies.trayMonitor = [&tray] { return &tray; };
        later.dependencies.sessionDirectory = session.path();
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
