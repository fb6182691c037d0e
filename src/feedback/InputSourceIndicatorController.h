#pragma once

#include "IndicatorWindow.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <optional>

class ApplicationSource;
class DesktopCompositing;
class QScreen;
class InputSourceManager;
class OverlayPresenter;
class QTimer;

// The floating panel that shows the new input source after a switch, and the
// pause/resume messages. At most one panel exists; a new show replaces the old
// one at once. Shown only while "indicatorEnabled" is on, for
// "indicatorDuration" seconds (1.5 when not above 0), then faded out over 0.2 s,
// at the place "indicatorPosition" names ("top" for anything unknown) on the
// screen of the active window. Where the desktop does not let an application
// place its windows (Wayland), an overlay shows the panel's picture instead.
class InputSourceIndicatorController : public QObject {
    Q_OBJECT
public:
    static InputSourceIndicatorController& shared();

    // `compositing` tells whether the panel can be translucent; null: opaque.
    // `inputSources` gives the country of a source for its flag; null: the
    // identifier's keywords alone. `applications` tells where the active
    // window is; null: the panel goes to the pointer's screen.
    explicit InputSourceIndicatorController(DesktopCompositing* compositing = nullptr,
                                            InputSourceManager* inputSources = nullptr,
                                            ApplicationSource* applications = nullptr, QObject* parent = nullptr);
    ~InputSourceIndicatorController() override;

    // Both return at once, from any thread; the panel appears from the main event loop.
    void showInputSource(const QString& name, const QString& id);
    void showMessage(const QString& text, const QString& icon);

    // Shows the panels through this overlay (null: as windows of their own).
    void setOverlay(OverlayPresenter* overlay) { m_overlay = overlay; }

    // The panel on screen (also while it fades), or null.
    IndicatorWindow* window() const { return m_window; }

    static constexpr int kFadeDurationMs = 200;
    // The panel's distance from the screen's top or bottom edge.
    static constexpr int kEdgeMargin = 80;
    static constexpr double kDefaultDuration = 1.5;
    static constexpr double kMinimumDuration = 0.5;
    static constexpr double kMaximumDuration = 3.0;

    // The stored "indicatorDuration" in seconds: 1.5 when absent, not a
    // number or not above 0, else held to 0.5 to 3.0 (what the settings offer).
    static double displayDuration();

Q_SIGNALS:
    void windowShown(IndicatorWindow* window);
    void windowHidden(IndicatorWindow* window);

private:
    void presentIndicator(const QString& name, const QString& id, const std::optional<QString>& icon);
    void positionIndicatorWindow(IndicatorWindow* window);
    bool presentThroughOverlay(IndicatorWindow* window);
    void hideIndicator();
    void orderOut(IndicatorWindow* window);
    bool useTranslucency();

    QString flagFor(const QString& id) const;
    // The screen the user works on: the active window's, else the pointer's.
    QScreen* workScreen() const;

    DesktopCompositing* m_compositing;
    QPointer<InputSourceManager> m_inputSources;
    QPointer<ApplicationSource> m_applications;
    QPointer<IndicatorWindow> m_window;
    QPointer<QTimer> m_hideWorkItem;
    OverlayPresenter* m_overlay = nullptr;
    // The panel the overlay shows; it is never shown as a window itself.
    QPointer<IndicatorWindow> m_overlayWindow;
};
