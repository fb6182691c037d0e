#include "InputSourceIndicatorController.h"

#include "FlagEmoji.h"
#include "IndicatorPosition.h"
#include "IndicatorWindow.h"

#include "base/PreferenceKeys.h"
#include "base/Preferences.h"
#include "core/InputSourceManager.h"
#include "platform/ApplicationSource.h"
#include "platform/DesktopCompositing.h"
#include "platform/Platform.h"

#include <QCursor>
#include <QGuiApplication>
#include <QPropertyAnimation>
#include <QScreen>
#include <QTimer>
#include <QVariantAnimation>

#include <algorithm>
#include <cmath>

InputSourceIndicatorController& InputSourceIndicatorController::shared()
{
    static auto* instance = [] {
        auto* controller =
            new InputSourceIndicatorController(Platform::instance().desktopCompositing(), &InputSourceManager::shared(),
                                               Platform::instance().applicationSource());
        controller->setOverlay(Platform::instance().overlayPresenter());
        return controller;
    }();
    return *instance;
}

InputSourceIndicatorController::InputSourceIndicatorController(DesktopCompositing* compositing,
                                                               InputSourceManager* inputSources,
                                                               ApplicationSource* applications, QObject* parent)
    : QObject(parent)
    , m_compositing(compositing)
    , m_inputSources(inputSources)
    , m_applications(applications)
{
}

QString InputSourceIndicatorController::flagFor(const QString& id) const
{
    if (m_inputSources) {
        if (const auto source = m_inputSources->inputSource(id))
            return flagEmoji(*source);
    }
    return flagEmoji(id);
}

InputSourceIndicatorController::~InputSourceIndicatorController()
{
    if (m_window)
        orderOut(m_window);
}

void InputSourceIndicatorController::showInputSource(const QString& name, const QString& id)
{
    QMetaObject::invokeMethod(
        this,
        [self = QPointer<InputSourceIndicatorController>(this), name, id] {
            if (self)
                self->presentIndicator(name, id, std::nullopt);
        },
        Qt::QueuedConnection);
}

void InputSourceIndicatorController::showMessage(const QString& text, const QString& icon)
{
    QMetaObject::invokeMethod(
        this,
        [self = QPointer<InputSourceIndicatorController>(this), text, icon] {
            if (self)
                self->presentIndicator(text, QString(), icon);
        },
        Qt::QueuedConnection);
}

bool InputSourceIndicatorController::useTranslucency()
{
    return m_compositing && m_compositing->isActive();
}

void InputSourceIndicatorController::presentIndicator(const QString& name, const QString& id,
                                                      const std::optional<QString>& icon)
{
    if (!Preferences::boolValue(PreferenceKeys::indicatorEnabled))
        return;
    if (m_hideWorkItem) {
        m_hideWorkItem->stop();
        m_hideWorkItem->deleteLater();
        m_hideWorkItem = nullptr;
    }
    if (m_window) {
        orderOut(m_window);
        m_window = nullptr;
    }

    auto* window = new IndicatorWindow(name, icon ? *icon : flagFor(id), useTranslucency());
    if (!presentThroughOverlay(window)) {
        positionIndicatorWindow(window);
        window->show();
        window->raise();
    }
    m_window = window;
    Q_EMIT windowShown(window);

    const int milliseconds = static_cast<int>(std::lround(displayDuration() * 1000.0));
    auto* hide = new QTimer(this);
    hide->setSingleShot(true);
    connect(hide, &QTimer::timeout, this, [self = QPointer<InputSourceIndicatorController>(this)] {
        if (self)
            self->hideIndicator();
    });
    hide->start(milliseconds);
    m_hideWorkItem = hide;
}

double InputSourceIndicatorController::displayDuration()
{
    const double stored = Preferences::doubleValue(PreferenceKeys::indicatorDuration.name);
    if (!(stored > 0))
        return kDefaultDuration;
    return std::clamp(stored, kMinimumDuration, kMaximumDuration);
}

QScreen* InputSourceIndicatorController::workScreen() const
{
    if (const auto frame = m_applications ? m_applications->activeWindowFrame() : std::nullopt) {
        // The screen holding most of the window.
        QScreen* best = nullptr;
        qint64 bestArea = 0;
        for (QScreen* screen : QGuiApplication::screens()) {
            const QRect shared = screen->geometry().intersected(*frame);
            const qint64 area = qint64(shared.width()) * shared.height();
            if (area > bestArea) {
                best = screen;
                bestArea = area;
            }
        }
        if (best)
            return best;
    }
    if (QScreen* screen = QGuiApplication::screenAt(QCursor::pos()))
        return screen;
    return QGuiApplication::primaryScreen();
}

void InputSourceIndicatorController::positionIndicatorWindow(IndicatorWindow* window)
{
    QScreen* screen = workScreen();
    if (!screen)
        return;
    const QRect visible = screen->availableGeometry();
    const QSize size = window->size();
    const int x = visible.x() + (visible.width() - size.width()) / 2;
    int y = visible.y() + kEdgeMargin;
    const QString position = Preferences::stringValue(PreferenceKeys::indicatorPosition.name).value_or(QString());
    switch (IndicatorPositions::fromRawValue(position).value_or(IndicatorPosition::topCenter)) {
    case IndicatorPosition::center:
        y = visible.y() + (visible.height() - size.height()) / 2;
        break;
    case IndicatorPosition::bottomCenter:
        y = visible.y() + visible.height() - size.height() - kEdgeMargin;
        break;
    case IndicatorPosition::topCenter:
        break;
    }
    window->move(x, y);
}

bool InputSourceIndicatorController::presentThroughOverlay(IndicatorWindow* window)
{
    if (!m_overlay)
        return false;
    const QString position = Preferences::stringValue(PreferenceKeys::indicatorPosition.name).value_or(QString());
    OverlayPresenter::Placement placement = OverlayPresenter::Placement::Top;
    switch (IndicatorPositions::fromRawValue(position).value_or(IndicatorPosition::topCenter)) {
    case IndicatorPosition::center:
        placement = OverlayPresenter::Placement::Center;
        break;
    case IndicatorPosition::bottomCenter:
        placement = OverlayPresenter::Placement::Bottom;
        break;
    case IndicatorPosition::topCenter:
        break;
    }
    if (!m_overlay->show(window->renderedImage(), placement, kEdgeMargin))
        return false;
    m_overlayWindow = window;
    return true;
}

void InputSourceIndicatorController::hideIndicator()
{
    if (!m_window)
        return;
    if (m_window == m_overlayWindow) {
        auto* fade = new QVariantAnimation(m_window);
        fade->setDuration(kFadeDurationMs);
        fade->setStartValue(1.0);
        fade->setEndValue(0.0);
        connect(fade, &QVariantAnimation::valueChanged, this, [this, window = m_window](const QVariant& opacity) {
            if (window && window == m_overlayWindow)
                m_overlay->setOpacity(opacity.toDouble());
        });
        connect(fade, &QVariantAnimation::finished, this, [this, window = m_window] {
            if (!window)
                return;
            orderOut(window);
            if (m_window == window)
                m_window = nullptr;
        });
        fade->start(QAbstractAnimation::DeleteWhenStopped);
        return;
    }
    IndicatorWindow* faded = m_window;
    auto* animation = new QPropertyAnimation(faded, "windowOpacity", faded);
    animation->setDuration(kFadeDurationMs);
    animation->setEndValue(0.0);
    connect(animation, &QPropertyAnimation::finished, this,
            [self = QPointer<InputSourceIndicatorController>(this), window = QPointer<IndicatorWindow>(faded)] {
                if (!window)
                    return;
                if (!self) {
                    window->close();
                    return;
                }
                self->orderOut(window);
                // A newer panel that replaced this one stays on screen.
                if (self->m_window == window)
                    self->m_window = nullptr;
            });
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void InputSourceIndicatorController::orderOut(IndicatorWindow* window)
{
    if (window == m_overlayWindow) {
        m_overlay->hide();
        m_overlayWindow = nullptr;
        Q_EMIT windowHidden(window);
        window->deleteLater();
        return;
    }
    if (window->isHidden())
        return;
    window->hide();
    Q_EMIT windowHidden(window);
    window->deleteLater();
}
