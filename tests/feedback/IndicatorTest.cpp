#include "support/TestMain.h"

#include "core/Preferences.h"
#include "core/Tolvane.h"
#include "feedback/IndicatorWindow.h"
#include "feedback/InputSourceIndicatorController.h"
#include "platform/DesktopCompositing.h"
#include "services/LocalizationManager.h"

#include <QProcess>
#include <QScreen>
#include <QSignalSpy>
#include <QTimer>

namespace {

struct FixedCompositing : DesktopCompositing {
    explicit FixedCompositing(bool active) : active(active) {}
    bool isActive() override { return active; }
    bool active;
};

void setPreference(const QString& key, const QVariant& value)
{
    if (value.isValid())
        Preferences::setValue(key, value);
    else
        Preferences::remove(key);
}

// Shows German and waits for the queued show to put up its panel.
IndicatorWindow* showGerman(InputSourceIndicatorController& controller)
{
    controller.showInputSource(QStringLiteral("German"), QStringLiteral("xkb:de"));
    return QTest::qWaitFor([&] { return controller.window() != nullptr; }) ? controller.window() : nullptr;
}

} // namespace

// Runs on the real X server: fonts, screen geometry and window placement are
// those of a desktop.
class IndicatorTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        Preferences::setValue(QStringLiteral("indicatorEnabled"), true);
        Preferences::remove(QStringLiteral("indicatorDuration"));
        Preferences::remove(QStringLiteral("indicatorPosition"));
    }

    void showIsQueuedAndPicksTheIcon_data()
    {
        QTest::addColumn<QVariant>("enabled");
        QTest::addColumn<bool>("message");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("idOrIcon");
        QTest::addColumn<QString>("icon"); // empty: nothing is shown
        const QVariant on(true);
        QTest::newRow("flag of the id") << on << false << "Russian" << "xkb:russian" << "🇷🇺";
        QTest::newRow("message icon") << on << true << "Switching Paused" << "⏸️" << "⏸️";
        QTest::newRow("off while absent") << QVariant() << false << "German" << "xkb:german" << QString();
    }
    void showIsQueuedAndPicksTheIcon()
    {
        QFETCH(QVariant, enabled);
        QFETCH(bool, message);
        QFETCH(QString, text);
        QFETCH(QString, idOrIcon);
        QFETCH(QString, icon);
        setPreference(QStringLiteral("indicatorEnabled"), enabled);
        InputSourceIndicatorController controller;
        QSignalSpy shown(&controller, &InputSourceIndicatorController::windowShown);
        if (message)
            controller.showMessage(text, idOrIcon);
        else
            controller.showInputSource(text, idOrIcon);
        QVERIFY(!controller.window());
        if (icon.isEmpty()) {
            QTest::qWait(50);
            QCOMPARE(shown.count(), 0);
            QVERIFY(!controller.window());
            return;
        }
        QTRY_VERIFY(controller.window());
        QCOMPARE(controller.window()->icon(), icon);
        QCOMPARE(controller.window()->name(), text);
        QVERIFY(controller.window()->isVisible());
        QCOMPARE(controller.window()->windowOpacity(), 1.0);
    }

    void duration_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<int>("milliseconds");
        QTest::newRow("absent") << QVariant() << 1500;
        QTest::newRow("negative") << QVariant(-2.0) << 1500;
        QTest::newRow("beyond a timer") << QVariant(1e300) << INT_MAX;
    }
    void duration()
    {
        QFETCH(QVariant, stored);
        QFETCH(int, milliseconds);
        setPreference(QStringLiteral("indicatorDuration"), stored);
        InputSourceIndicatorController controller;
        QVERIFY(showGerman(controller));
        QCOMPARE(controller.hideWorkItem()->interval(), milliseconds);
        QVERIFY(controller.hideWorkItem()->isActive());
    }

    void halfSecondPanelFadesAndGoes()
    {
        Preferences::setValue(QStringLiteral("indicatorDuration"), 0.5);
        InputSourceIndicatorController controller;
        QSignalSpy hidden(&controller, &InputSourceIndicatorController::windowHidden);
        QPointer<IndicatorWindow> window = showGerman(controller);
        QVERIFY(window);
        QElapsedTimer clock;
        clock.start();
        QTRY_VERIFY_WITH_TIMEOUT(window->windowOpacity() < 1.0, 2000);
        QVERIFY2(clock.elapsed() >= 450, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(controller.window() == window); // still referenced while it fades
        QTRY_COMPARE(hidden.count(), 1);
        QVERIFY(!controller.window());
        QVERIFY(clock.elapsed() >= 650);
    }

    void newShowReplacesThePanel_data()
    {
        QTest::addColumn<double>("firstDuration");
        QTest::newRow("while displayed") << 1.5;
        QTest::newRow("during the fade") << 0.05;
    }
    void newShowReplacesThePanel()
    {
        QFETCH(double, firstDuration);
        const bool fading = firstDuration < 1.0;
        Preferences::setValue(QStringLiteral("indicatorDuration"), firstDuration);
        InputSourceIndicatorController controller;
        QSignalSpy hidden(&controller, &InputSourceIndicatorController::windowHidden);
        QPointer<IndicatorWindow> first = showGerman(controller);
        QVERIFY(first);
        QPointer<QTimer> firstHide = controller.hideWorkItem();
        if (fading)
            QTRY_VERIFY(first->windowOpacity() < 1.0);
        else
            QTest::qWait(300);
        Preferences::setValue(QStringLiteral("indicatorDuration"), 1.5);
        controller.showInputSource(QStringLiteral("Russian"), QStringLiteral("xkb:ru"));
        QTRY_VERIFY(controller.window() && controller.window() != first);
        // The old panel went at once, without fading on, and its hide task with it.
        QCOMPARE(hidden.count(), 1);
        QVERIFY(!first || (first->isHidden() && (fading || first->windowOpacity() == 1.0)));
        QVERIFY(!firstHide || !firstHide->isActive());
        IndicatorWindow* current = controller.window();
        QCOMPARE(current->name(), QStringLiteral("Russian"));
        QVERIFY(controller.hideWorkItem()->remainingTime() > 1300);
        // Well past the end of the old fade, the new panel stays and stays referenced.
        QTest::qWait(400);
        QCOMPARE(controller.window(), current);
        QVERIFY(current->isVisible());
        QCOMPARE(current->windowOpacity(), 1.0);
    }

    void widthAndTruncation()
    {
        IndicatorWindow shortName(QStringLiteral("US"), QStringLiteral("🇺🇸"), false);
        QCOMPARE(shortName.size(), QSize(150, 60));
        QCOMPARE(shortName.displayedName(), QStringLiteral("US"));
        const QString name = QStringLiteral("English (US, international with dead keys)");
        IndicatorWindow longName(name, QStringLiteral("🇺🇸"), false);
        QCOMPARE(longName.size(), QSize(300, 60));
        QVERIFY(longName.displayedName() != name && longName.displayedName().endsWith(QChar(0x2026)));
    }

    void positions_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QString>("expected");
        QTest::newRow("absent") << QVariant() << "top";
        QTest::newRow("center") << QVariant("center") << "center";
        QTest::newRow("bottom") << QVariant("bottom") << "bottom";
        QTest::newRow("unknown text") << QVariant("sideways") << "top";
    }
    void positions()
    {
        QFETCH(QVariant, stored);
        QFETCH(QString, expected);
        setPreference(QStringLiteral("indicatorPosition"), stored);
        InputSourceIndicatorController controller;
        IndicatorWindow* window = showGerman(controller);
        QVERIFY(window);
        QVERIFY(QTest::qWaitForWindowExposed(window));
        const QRect visible = QGuiApplication::primaryScreen()->availableGeometry();
        const QRect frame = window->geometry();
        QCOMPARE(frame.center().x(), visible.center().x());
        if (expected == QLatin1String("top"))
            QCOMPARE(frame.top(), visible.top() + 80);
        else if (expected == QLatin1String("bottom"))
            QCOMPARE(frame.bottom(), visible.bottom() - 80);
        else
            QVERIFY(qAbs(frame.center().y() - visible.center().y()) <= 1);
        // Never focused, never in the way of a click.
        QVERIFY(window->windowFlags().testFlag(Qt::WindowTransparentForInput));
        QVERIFY(!window->isActiveWindow());
        QVERIFY(!QGuiApplication::focusWindow());
    }

    void translucentOnlyWhereTheDesktopComposites()
    {
        for (const bool compositing : {true, false}) {
            FixedCompositing desktop(compositing);
            InputSourceIndicatorController controller(&desktop);
            IndicatorWindow* window = showGerman(controller);
            QVERIFY(window);
            QCOMPARE(window->testAttribute(Qt::WA_TranslucentBackground), compositing);
            // Opaque panels get their rounded corners from the window shape.
            QCOMPARE(window->mask().isEmpty(), compositing);
        }
    }

    // With TOLVANE_SCREENSHOT_DIR set, saves the screen with the panel at each
    // position in English and Japanese as indicator-<position>-<language>.png.
    void screenshots()
    {
        const QString directory = qEnvironmentVariable("TOLVANE_SCREENSHOT_DIR");
        if (directory.isEmpty())
            QSKIP("TOLVANE_SCREENSHOT_DIR is not set");
        for (const QString language : {QStringLiteral("en"), QStringLiteral("ja")}) {
            LocalizationManager::shared().setLanguage(language, false);
            const bool ja = language == QLatin1String("ja");
            for (const char* place : {"top", "center", "bottom"}) {
                const QString position = QString::fromLatin1(place);
                Preferences::setValue(QStringLiteral("indicatorPosition"), position);
                InputSourceIndicatorController controller;
                if (position == QLatin1String("top"))
                    controller.showInputSource(ja ? QStringLiteral("日本語 (かな入力)") : QStringLiteral("German"),
                                               ja ? QStringLiteral("ibus:anthy-japanese")
                                                  : QStringLiteral("xkb:german"));
                else if (position == QLatin1String("center"))
                    controller.showMessage(Tolvane::tr("Switching Paused"), QStringLiteral("⏸️"));
                else
                    controller.showMessage(Tolvane::tr("Switching Resumed"), QStringLiteral("▶️"));
                QTRY_VERIFY(controller.window());
                QVERIFY(QTest::qWaitForWindowExposed(controller.window()));
                QTest::qWait(300);
                const QString file = QStringLiteral("%1/indicator-%2-%3.png").arg(directory, position, language);
                const QStringList arguments{QStringLiteral("-window"), QStringLiteral("root"), file};
                QCOMPARE(QProcess::execute(QStringLiteral("import"), arguments), 0);
            }
        }
        LocalizationManager::shared().setLanguage(QStringLiteral("system"), false);
    }
};

TOLVANE_TEST_MAIN(IndicatorTest)
#include "IndicatorTest.moc"
