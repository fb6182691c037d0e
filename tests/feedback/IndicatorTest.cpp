#include "support/TestMain.h"

#include "base/Preferences.h"
#include "base/Tolvane.h"
#include "feedback/InputSourceIndicatorController.h"
#include "platform/OverlayPresenter.h"
#include "services/LocalizationManager.h"

#include <QScopeGuard>
#include <QScreen>

namespace {

// Records what the controller asks of the desktop's overlay.
struct RecordingOverlay : OverlayPresenter {
    bool show(const QImage& image, Placement placement, int margin) override
    {
        shown.append({image, placement, margin});
        opacity = 1.0;
        visible = true;
        return acceptsImages;
    }
    void setOpacity(qreal value) override { opacity = value; }
    void hide() override { visible = false; }
    bool isShown() const override { return visible; }

    struct Show {
        QImage image;
        Placement placement;
        int margin;
    };
    QList<Show> shown;
    qreal opacity = 1.0;
    bool visible = false;
    bool acceptsImages = true;
};

} // namespace

// On the real X server: fonts, screen geometry and window placement of a desktop.
class IndicatorTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        Preferences::setValue(QStringLiteral("indicatorEnabled"), true);
        Preferences::remove(QStringLiteral("indicatorDuration"));
    }

    // The panel goes where the position says, on X11 as a window of its own, never focused,
    // never in the way of a click; on Wayland as a picture the compositor's overlay places
    // (no window appears; it fades and goes).
    void placement_data()
    {
        QTest::addColumn<QString>("position");
        QTest::addColumn<int>("placement");
        QTest::newRow("unknown place: top") << "sideways" << int(OverlayPresenter::Placement::Top);
        QTest::newRow("center") << "center" << int(OverlayPresenter::Placement::Center);
        QTest::newRow("bottom") << "bottom" << int(OverlayPresenter::Placement::Bottom);
    }
    void placement()
    {
        QFETCH(QString, position);
        QFETCH(int, placement);
        Preferences::setValue(QStringLiteral("indicatorPosition"), position);
        {
            InputSourceIndicatorController controller;
            controller.showInputSource(QStringLiteral("Russian"), QStringLiteral("xkb:russian"));
            QVERIFY(!controller.window()); // queued
            QTRY_VERIFY(controller.window());
            IndicatorWindow* window = controller.window();
            QCOMPARE(window->icon(), QStringLiteral("🇷🇺"));
            QCOMPARE(window->name(), QStringLiteral("Russian"));
            QVERIFY(QTest::qWaitForWindowExposed(window));
            const QRect visible = QGuiApplication::primaryScreen()->availableGeometry();
            const QRect frame = window->geometry();
            QCOMPARE(frame.center().x(), visible.center().x());
            if (position == QLatin1String("center"))
                QVERIFY(qAbs(frame.center().y() - visible.center().y()) <= 1);
            else if (position == QLatin1String("bottom"))
                QCOMPARE(frame.bottom(), visible.bottom() - 80);
            else
                QCOMPARE(frame.top(), visible.top() + 80);
            QVERIFY(window->windowFlags().testFlag(Qt::WindowTransparentForInput));
            QVERIFY(!QGuiApplication::focusWindow());
        }

        Preferences::setValue(QStringLiteral("indicatorDuration"), 0.5);
        RecordingOverlay overlay;
        InputSourceIndicatorController controller;
        controller.setOverlay(&overlay);
        QSignalSpy hidden(&controller, &InputSourceIndicatorController::windowHidden);
        controller.showInputSource(QStringLiteral("German"), QStringLiteral("xkb:de"));
        QTRY_COMPARE(overlay.shown.size(), 1);
        const RecordingOverlay::Show& show = overlay.shown.first();
        QCOMPARE(int(show.placement), placement);
        QCOMPARE(show.margin, 80);
        QCOMPARE(show.image.size(), controller.window()->size());
        // The panel's dark body is painted, its rounded corner left clear.
        QVERIFY(qAlpha(show.image.pixel(show.image.width() / 2, 4)) > 0);
        QCOMPARE(qAlpha(show.image.pixel(0, 0)), 0);
        QVERIFY(!controller.window()->isVisible());
        QTRY_VERIFY(overlay.opacity < 1.0);
        QTRY_VERIFY(!overlay.visible);
        QCOMPARE(hidden.size(), 1);
        QVERIFY(!controller.window());

        // A compositor that refuses: the panel shows as a window after all.
        overlay.acceptsImages = false;
        controller.showInputSource(QStringLiteral("German"), QStringLiteral("xkb:de"));
        QTRY_VERIFY(controller.window() && controller.window()->isVisible());
    }

    // Tolvane's own messages are never cut, in any language: the label grows
    // with the panel (DejaVu Sans measured "Switching Resumed" wider than the
    // old fixed 170-pixel label). Only a name too wide for the widest panel is.
    void messagesFitInEveryLanguage_data()
    {
        QTest::addColumn<QString>("language");
        for (const auto& language : LocalizationManager::supportedLanguages()) {
            if (language.code != QLatin1String("system"))
                QTest::newRow(qPrintable(language.code)) << language.code;
        }
    }
    void messagesFitInEveryLanguage()
    {
        QFETCH(QString, language);
        LocalizationManager::shared().setLanguage(language, false);
        auto restore = qScopeGuard([] { LocalizationManager::shared().setLanguage(QStringLiteral("en"), false); });
        for (const QString& message : {Tolvane::tr("Switching Paused"), Tolvane::tr("Switching Resumed")}) {
            IndicatorWindow window(message, QStringLiteral("⏸️"), false);
            QCOMPARE(window.displayedName(), message);
            QVERIFY(window.width() <= IndicatorWindow::kMaximumWidth);
            QVERIFY(window.nameLabelGeometry().width() >= window.nameTextWidth());
            QVERIFY(window.nameLabelGeometry().right() < window.width());
        }
        if (language == QLatin1String("en")) {
            const QString tooLong = QStringLiteral("English (international AltGr dead keys, macOS-like)");
            IndicatorWindow window(tooLong, QStringLiteral("🇺🇸"), false);
            QCOMPARE(window.width(), IndicatorWindow::kMaximumWidth);
            QVERIFY(window.displayedName().endsWith(QChar(0x2026)));
            QVERIFY(window.nameLabelGeometry().right() < window.width());
        }
    }

    // A panel stays for its duration, then fades and goes. A new show puts its
    // panel up at once, also over one that fades, and that fade leaves the new
    // panel alone. Nothing shows while the indicator is off.
    void fadesIsReplacedAndCanBeOff()
    {
        Preferences::setValue(QStringLiteral("indicatorDuration"), 0.5);
        InputSourceIndicatorController controller;
        QSignalSpy hidden(&controller, &InputSourceIndicatorController::windowHidden);
        controller.showInputSource(QStringLiteral("German"), QStringLiteral("xkb:de"));
        const QDeadlineTimer duration(450); // the half second, less a margin
        QTRY_VERIFY(controller.window());
        QPointer<IndicatorWindow> first = controller.window();
        QTRY_VERIFY_WITH_TIMEOUT(first->windowOpacity() < 1.0, 2000);
        QVERIFY(duration.hasExpired());
        QVERIFY(controller.window() == first); // still referenced while it fades

        Preferences::setValue(QStringLiteral("indicatorDuration"), 1.0);
        controller.showMessage(QStringLiteral("Switching Paused"), QStringLiteral("⏸️"));
        QTRY_VERIFY(controller.window() && controller.window() != first);
        QCOMPARE(hidden.count(), 1); // the old panel went at once
        IndicatorWindow* current = controller.window();
        QCOMPARE(current->icon(), QStringLiteral("⏸️"));
        // Well past the end of the old fade, the new panel stays and stays referenced.
        QTest::qWait(400);
        QCOMPARE(controller.window(), current);
        QVERIFY(current->isVisible());
        QCOMPARE(current->windowOpacity(), 1.0);
        QTRY_COMPARE(hidden.count(), 2);
        QVERIFY(!controller.window());

        Preferences::remove(QStringLiteral("indicatorEnabled")); // absent: off
        controller.showInputSource(QStringLiteral("German"), QStringLiteral("xkb:de"));
        QTest::qWait(50);
        QVERIFY(!controller.window());
    }
};

TOLVANE_TEST_MAIN(IndicatorTest)
#include "IndicatorTest.moc"
