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

    void nothingShownWhileDisabled_data()
    {
        QTest::addColumn<QVariant>("enabled");
        QTest::newRow("absent") << QVariant();
        QTest::newRow("false") << QVariant(false);
    }
    void nothingShownWhileDisabled()
    {
        QFETCH(QVariant, enabled);
        setPreference(QStringLiteral("indicatorEnabled"), enabled);
        InputSourceIndicatorController controller;
        QSignalSpy shown(&controller, &InputSourceIndicatorController::windowShown);
        controller.showInputSource(QStringLiteral("German"), QStringLiteral("xkb:german"));
        controller.showMessage(QStringLiteral("Switching Paused"), QStringLiteral("⏸️"));
        QTest::qWait(50);
        QCOMPARE(shown.count(), 0);
        QVERIFY(!controller.window());
    }

    void showIsQueuedAndPicksTheIcon_data()
    {
        QTest::addColumn<bool>("message");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("idOrIcon");
        QTest::addColumn<QString>("icon");
        QTest::newRow("flag of the id") << false << "Russian" << "xkb:russian" << "🇷🇺";
        QTest::newRow("no keyword") << false << "Italian" << "xkb:it" << QString::fromUtf16(u"\u2328\uFE0F");
        QTest::newRow("message icon") << true << "Switching Paused" << "⏸️" << "⏸️";
    }
    void showIsQueuedAndPicksTheIcon()
    {
        QFETCH(bool, message);
        QFETCH(QString, text);
        QFETCH(QString, idOrIcon);
        QFETCH(QString, icon);
        InputSourceIndicatorController controller;
        if (message)
            controller.showMessage(text, idOrIcon);
        else
            controller.showInputSource(text, idOrIcon);
        QVERIFY(!controller.window());
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
        QTest::newRow("zero") << QVariant(0.0) << 1500;
        QTest::newRow("negative") << QVariant(-2.0) << 1500;
        QTest::newRow("not a number") << QVariant(QStringLiteral("soon")) << 1500;
        QTest::newRow("half a second") << QVariant(0.5) << 500;
        QTest::newRow("beyond a timer") << QVariant(1e300) << INT_MAX;
    }
    void duration()
    {
        QFETCH(QVariant, stored);
        QFETCH(int, milliseconds);
        setPreference(QStringLiteral("indicatorDuration"), stored);
        InputSourceIndicatorController controller;
        controller.showInputSource(QStringLiteral("German"), QStringLiteral("xkb:de"));
        QTRY_VERIFY(controller.hideWorkItem());
        QCOMPARE(controller.hideWorkItem()->interval(), milliseconds);
        QVERIFY(controller.hideWorkItem()->isActive());
    }

    void halfSecondPanelFadesAndGoes()
    {
        Preferences::setValue(QStringLiteral("indicatorDuration"), 0.5);
        InputSourceIndicatorController controller;
        QSignalSpy hidden(&controller, &InputSourceIndicatorController::windowHidden);
        controller.showInputSource(QStringLiteral("German"), QStringLiteral("xkb:de"));
        QTRY_VERIFY(controller.window());
        QPointer<IndicatorWindow> window = controller.window();
        QElapsedTimer clock;
        clock.start();
        QTRY_VERIFY_WITH_TIMEOUT(window->windowOpacity() < 1.0, 2000);
        QVERIFY2(clock.elapsed() >= 450, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(controller.window() == window); // still referenced while it fades
        QTRY_COMPARE(hidden.count(), 1);
        QVERIFY(!controller.window());
        QVERIFY(clock.elapsed() >= 650);
    }

    void newShowWhileDisplayed()
    {
        InputSourceIndicatorController controller;
        QSignalSpy hidden(&controller, &InputSourceIndicatorController::windowHidden);
        controller.showInputSource(QStringLiteral("German"), QStringLiteral("xkb:de"));
        QTRY_VERIFY(controller.window());
        QPointer<IndicatorWindow> first = controller.window();
        QPointer<QTimer> firstHide = controller.hideWorkItem();
        QTest::qWait(300);
        controller.showInputSource(QStringLiteral("Russian"), QStringLiteral("xkb:ru"));
        QTRY_VERIFY(controller.window() != first);
        // The old panel went at once, without fading, and its hide task with it.
        QCOMPARE(hidden.count(), 1);
        QVERIFY(!first || (first->isHidden() && first->windowOpacity() == 1.0));
        QVERIFY(!firstHide || !firstHide->isActive());
        QCOMPARE(controller.window()->name(), QStringLiteral("Russian"));
        QCOMPARE(controller.hideWorkItem()->remainingTime() > 1300, true);
    }

    void newShowDuringTheFade()
    {
        Preferences::setValue(QStringLiteral("indicatorDuration"), 0.05);
        InputSourceIndicatorController controller;
        controller.showInputSource(QStringLiteral("German"), QStringLiteral("xkb:de"));
        QTRY_VERIFY(controller.window());
        QPointer<IndicatorWindow> fading = controller.window();
        QTRY_VERIFY(fading->windowOpacity() < 1.0);
        Preferences::setValue(QStringLiteral("indicatorDuration"), 1.5);
        controller.showInputSource(QStringLiteral("Russian"), QStringLiteral("xkb:ru"));
        QTRY_VERIFY(controller.window() && controller.window() != fading);
        QVERIFY(!fading || fading->isHidden());
        IndicatorWindow* current = controller.window();
        // Well past the end of the old fade, the new panel stays and stays referenced.
        QTest::qWait(400);
        QCOMPARE(controller.window(), current);
        QVERIFY(current->isVisible());
        QCOMPARE(current->windowOpacity(), 1.0);
    }

    void widthRule_data()
    {
        QTest::addColumn<qreal>("textWidth");
        QTest::addColumn<int>("panelWidth");
        QTest::newRow("short: minimum") << 40.0 << 150;
        QTest::newRow("at the minimum") << 70.0 << 150;
        QTest::newRow("medium") << 200.0 << 280;
        QTest::newRow("at the maximum") << 220.0 << 300;
        QTest::newRow("long: maximum") << 400.0 << 300;
    }
    void widthRule()
    {
        QFETCH(qreal, textWidth);
        QFETCH(int, panelWidth);
        QCOMPARE(IndicatorWindow::panelWidth(textWidth), panelWidth);
    }

    void realNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("minimum");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<bool>("truncated");
        QTest::newRow("short") << "US" << 150 << 150 << false;
        QTest::newRow("medium") << "German (Neo 2)" << 151 << 299 << false;
        QTest::newRow("long") << "English (US, international with dead keys)" << 300 << 300 << true;
    }
    void realNames()
    {
        QFETCH(QString, name);
        QFETCH(int, minimum);
        QFETCH(int, maximum);
        QFETCH(bool, truncated);
        IndicatorWindow window(name, QStringLiteral("🇺🇸"), false);
        const int width = window.width();
        QVERIFY2(width >= minimum && width <= maximum, qPrintable(QString::number(width)));
        QCOMPARE(width, IndicatorWindow::panelWidth(window.nameTextWidth()));
        QCOMPARE(window.height(), 60);
        QCOMPARE(window.displayedName() != name, truncated);
        if (truncated)
            QVERIFY(window.displayedName().endsWith(QChar(0x2026)));
    }

    void positions_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QString>("expected");
        QTest::newRow("absent") << QVariant() << "top";
        QTest::newRow("top") << QVariant("top") << "top";
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
        controller.showInputSource(QStringLiteral("German"), QStringLiteral("xkb:de"));
        QTRY_VERIFY(controller.window());
        IndicatorWindow* window = controller.window();
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
    }

    void neverTakesFocusOrClicks()
    {
        InputSourceIndicatorController controller;
        controller.showInputSource(QStringLiteral("German"), QStringLiteral("xkb:de"));
        QTRY_VERIFY(controller.window());
        IndicatorWindow* window = controller.window();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QVERIFY(window->windowFlags().testFlag(Qt::WindowTransparentForInput));
        QVERIFY(window->windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));
        QVERIFY(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(window->testAttribute(Qt::WA_ShowWithoutActivating));
        QTest::qWait(50);
        QVERIFY(!window->isActiveWindow());
        QVERIFY(!QGuiApplication::focusWindow());
    }

    void translucentOnlyWhereTheDesktopComposites_data()
    {
        QTest::addColumn<bool>("compositing");
        QTest::newRow("compositing") << true;
        QTest::newRow("not compositing") << false;
    }
    void translucentOnlyWhereTheDesktopComposites()
    {
        QFETCH(bool, compositing);
        FixedCompositing desktop(compositing);
        InputSourceIndicatorController controller(&desktop);
        controller.showInputSource(QStringLiteral("German"), QStringLiteral("xkb:de"));
        QTRY_VERIFY(controller.window());
        QCOMPARE(controller.window()->isTranslucent(), compositing);
        QCOMPARE(controller.window()->testAttribute(Qt::WA_TranslucentBackground), compositing);
        // Opaque panels get their rounded corners from the window shape.
        QCOMPARE(controller.window()->mask().isEmpty(), compositing);
    }

    // With TOLVANE_SCREENSHOT_DIR set, saves the screen with the panel at each
    // position in English and Japanese as indicator-<position>-<language>.png.
    void screenshots()
    {
        const QString directory = qEnvironmentVariable("TOLVANE_SCREENSHOT_DIR");
        if (directory.isEmpty())
            QSKIP("TOLVANE_SCREENSHOT_DIR is not set");
        struct Shot {
            const char* position;
            bool message;
            const char* text;
            QString idOrIcon;
        };
        for (const QString language : {QStringLiteral("en"), QStringLiteral("ja")}) {
            LocalizationManager::shared().setLanguage(language, false);
            const bool ja = language == QLatin1String("ja");
            const Shot shots[] = {
                {"top", false, ja ? "日本語 (かな入力)" : "German", ja ? QStringLiteral("ibus:anthy-japanese") : QStringLiteral("xkb:german")},
                {"center", true, "Switching Paused", QStringLiteral("⏸️")},
                {"bottom", true, "Switching Resumed", QStringLiteral("▶️")},
            };
            for (const Shot& shot : shots) {
                Preferences::setValue(QStringLiteral("indicatorPosition"), QString::fromLatin1(shot.position));
                InputSourceIndicatorController controller;
                if (shot.message)
                    controller.showMessage(Tolvane::tr(shot.text), shot.idOrIcon);
                else
                    controller.showInputSource(QString::fromUtf8(shot.text), shot.idOrIcon);
                QTRY_VERIFY(controller.window());
                QVERIFY(QTest::qWaitForWindowExposed(controller.window()));
                QTest::qWait(300);
                const QString file = QStringLiteral("%1/indicator-%2-%3.png")
                                         .arg(directory, QString::fromLatin1(shot.position), language);
                QCOMPARE(QProcess::execute(QStringLiteral("import"),
                                           {QStringLiteral("-window"), QStringLiteral("root"), file}),
                         0);
            }
        }
        LocalizationManager::shared().setLanguage(QStringLiteral("system"), false);
    }
};

TOLVANE_TEST_MAIN(IndicatorTest)
#include "IndicatorTest.moc"
