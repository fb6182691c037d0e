#include "AppHarness.h"

#include "support/RecordingLogSink.h"
#include "support/StandardOutputCapture.h"
#include "support/TestMain.h"

#include "services/LocalizationManager.h"

#include <QAction>
#include <QMenu>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QWidget>

#include <cstdio>

Q_DECLARE_METATYPE(std::optional<bool>)

namespace {
// The menu's visible rows: texts, "-" for a divider, "(dim)" after rows that cannot be chosen.
QStringList visibleRows(const QMenu& menu)
{
    QStringList rows;
    for (QAction* action : menu.actions()) {
        if (!action->isVisible())
            continue;
        if (action->isSeparator())
            rows.append(QStringLiteral("-"));
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

    void menuRows_data()
    {
        QTest::addColumn<std::optional<bool>>("showFlag");
        QTest::addColumn<QString>("sourceName");
        QTest::addColumn<QStringList>("rows");

        const QStringList tail{QStringLiteral("Settings..."), QStringLiteral("-"), QStringLiteral("Pause Switching"),
                               QStringLiteral("-"), QStringLiteral("v2.4.1 (dim)"), QStringLiteral("Quit")};
        QTest::newRow("flag preference absent: shown") << std::optional<bool>() << QStringLiteral("English (US)")
                                                       << (QStringList{QStringLiteral("🇺🇸 English (US) (dim)"),
                                                                       QStringLiteral("-")} + tail);
        QTest::newRow("flag off: begins with Settings") << std::optional<bool>(false) << QStringLiteral("English (US)")
                                                        << tail;
        // A name is data: no mnemonic is made of its ampersand, no second line of a line break.
        QTest::newRow("name with ampersand and line break")
            << std::optional<bool>() << QStringLiteral("Q&A\nLayout")
            << (QStringList{QStringLiteral("🇺🇸 Q&&A Layout (dim)"), QStringLiteral("-")} + tail);
    }

    void menuRows()
    {
        QFETCH(std::optional<bool>, showFlag);
        QFETCH(QString, sourceName);
        QFETCH(QStringList, rows);
        if (showFlag)
            Preferences::setValue(QStringLiteral("menuBarShowFlag"), *showFlag);

        AppHarness harness;
        harness.engine.provider.current = FakeInputSourceProvider::source(QStringLiteral("xkb:us"), sourceName);
        TolvaneApp& app = harness.start();
        Q_EMIT harness.engine.provider.selectedInputSourceChanged();

        QCOMPARE(visibleRows(*app.menu()), rows);
        QCOMPARE(app.menuBarShowFlag(), showFlag.value_or(true));

        // The label: the keyboard alone, or the keyboard and the flag beside it.
        const QSize labelSize = app.labelIcon().availableSizes().value(0);
        QCOMPARE(labelSize.height(), 22);
        if (app.menuBarShowFlag())
            QVERIFY2(labelSize.width() > 22 + 4, qPrintable(QString::number(labelSize.width())));
        else
            QCOMPARE(labelSize.width(), 22);
        QCOMPARE(app.trayIcon()->toolTip(), sourceName);

        // Key equivalents of the three buttons, and of no other row.
        const QStringList keys{QStringLiteral("Ctrl+,"), QStringLiteral("Ctrl+Alt+P"), QStringLiteral("Ctrl+Q")};
        QStringList found;
        for (QAction* action : app.menu()->actions())
            if (!action->shortcut().isEmpty())
                found.append(action->text() + QLatin1Char(' ') + action->shortcut().toString());
        QCOMPARE(found, (QStringList{QStringLiteral("Settings... Ctrl+,"), QStringLiteral("Pause Switching Ctrl+Alt+P"),
                                     QStringLiteral("Quit Ctrl+Q")}));
    }

    void menuFollowsTheCurrentSourceAndTheFlagPreference()
    {
        AppHarness harness;
        TolvaneApp& app = harness.start();
        QSignalSpy flagChanged(&app, &TolvaneApp::menuBarShowFlagChanged);

        harness.engine.provider.current =
            FakeInputSourceProvider::source(QStringLiteral("xkb:russian"), QStringLiteral("Russian"));
        Q_EMIT harness.engine.provider.selectedInputSourceChanged();
        QCOMPARE(visibleRows(*app.menu()).value(0), QStringLiteral("🇷🇺 Russian (dim)"));
        QCOMPARE(app.trayIcon()->toolTip(), QStringLiteral("Russian"));

        // The settings page turns the flag off: read again when the menu opens.
        Preferences::setValue(QStringLiteral("menuBarShowFlag"), false);
        Q_EMIT app.menu()->aboutToShow();
        QCOMPARE(flagChanged.count(), 1);
        QCOMPARE(visibleRows(*app.menu()).value(0), QStringLiteral("Settings..."));
        QCOMPARE(app.labelIcon().availableSizes().value(0).width(), 22);

        // ... and without the menu opening, once the preferences reach their file.
        Preferences::setValue(QStringLiteral("menuBarShowFlag"), true);
        Preferences::store().sync();
        QTRY_COMPARE(flagChanged.count(), 2);
        QCOMPARE(visibleRows(*app.menu()).value(0), QStringLiteral("🇷🇺 Russian (dim)"));
    }

    void pauseItem_data()
    {
        QTest::addColumn<bool>("pausedBefore");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("labelAfter");
        QTest::newRow("paused: resumes") << true << QStringLiteral("Resume Switching")
                                         << QStringLiteral("Switching Resumed ▶️") << QStringLiteral("Pause Switching");
        QTest::newRow("running: pauses") << false << QStringLiteral("Pause Switching")
                                         << QStringLiteral("Switching Paused ⏸️") << QStringLiteral("Resume Switching");
    }

    void pauseItem()
    {
        QFETCH(bool, pausedBefore);
        QFETCH(QString, label);
        QFETCH(QString, message);
        QFETCH(QString, labelAfter);

        AppHarness harness;
        TolvaneApp& app = harness.start();
        harness.engine.engine->setPaused(pausedBefore);
        const QImage before = app.labelIcon().pixmap(QSize(60, 22)).toImage();

        QAction* item = rowNamed(*app.menu(), label);
        QVERIFY(item);
        item->trigger();

        QCOMPARE(harness.engine.engine->isPaused(), !pausedBefore);
        QCOMPARE(harness.messages, QStringList{message});
        // The message is the only feedback: no notification, no sound, no switch.
        QCOMPARE(harness.engine.feedbackEvents(), QStringList());
        QCOMPARE(item->text(), labelAfter);
        QVERIFY(app.labelIcon().pixmap(QSize(60, 22)).toImage() != before);
    }

    void startUpOrder()
    {
        Preferences::setValue(QStringLiteral("NSQuitAlwaysKeepsWindows"), true);
        AppHarness harness;
        harness.start();
        // Windows are never restored: written before the analytics start; the
        // managers are obtained after them; the settings window is not built at start.
        QCOMPARE(harness.calls, (QStringList{QStringLiteral("analytics, keeps windows: false"),
                                             QStringLiteral("managers"), QStringLiteral("services")}));
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

    void versionFallsBackWhenAbsentOrEmpty_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QString>("shown");
        QTest::newRow("set") << QVariant(QStringLiteral("2.4.1")) << "2.4.1";
        QTest::newRow("absent") << QVariant() << "1.0";
        QTest::newRow("empty") << QVariant(QString()) << "1.0";
        QTest::newRow("not a string") << QVariant(7) << "1.0";
    }

    void versionFallsBackWhenAbsentOrEmpty()
    {
        QFETCH(QVariant, stored);
        QFETCH(QString, shown);
        QCOMPARE(TolvaneApp::versionString(stored), shown);
    }

    void labelsFollowTheInterfaceLanguage()
    {
        AppHarness harness;
        TolvaneApp& app = harness.start();
        harness.engine.engine->setPaused(true);

        LocalizationManager::shared().setLanguage(QStringLiteral("de"), false);
        QVERIFY(rowNamed(*app.menu(), QStringLiteral("Einstellungen...")));
        QVERIFY(rowNamed(*app.menu(), QStringLiteral("v2.4.1"))); // the version is data
        QAction* resume = rowNamed(*app.menu(), QStringLiteral("Umschalten fortsetzen"));
        QVERIFY(resume);
        resume->trigger();
        QCOMPARE(harness.messages, QStringList{QStringLiteral("Umschalten fortgesetzt ▶️")});

        LocalizationManager::shared().setLanguage(QStringLiteral("en"), false);
        QVERIFY(rowNamed(*app.menu(), QStringLiteral("Pause Switching")));
    }

    void withoutTraySaysSoAndKeepsSwitching()
    {
        // The offscreen platform has no tray.
        QVERIFY(!QSystemTrayIcon::isSystemTrayAvailable());
        RecordingLogSink log;
        StandardOutputCapture standardError(stderr);
        AppHarness harness;
        harness.start();
        const QString notice = QStringLiteral("No system tray is available; Tolvane keeps switching in the background.");
        QVERIFY(QString::fromLocal8Bit(standardError.text()).contains(notice));
        QVERIFY(log.lines().contains(QStringLiteral("error: ") + notice));
        QVERIFY(harness.calls.contains(QStringLiteral("services")));
    }
};

TOLVANE_TEST_MAIN(TolvaneAppTest)
#include "TolvaneAppTest.moc"
