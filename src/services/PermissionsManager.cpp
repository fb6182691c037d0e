#include "PermissionsManager.h"

#include "base/Logger.h"
#include "platform/Platform.h"

#include <QDesktopServices>
#include <QGuiApplication>

PermissionsManager& PermissionsManager::shared()
{
    GlobalKeyMonitor* const monitor = Platform::instance().globalKeyMonitor();
    const Recheck recheck =
        monitor && monitor->answerChangesOnlyWithDisplay() ? Recheck::onDisplayChange : Recheck::poll;
    static auto* instance = [monitor, recheck] {
        auto* manager = new PermissionsManager([monitor] { return monitor && monitor->canMonitorKeys(); }, recheck);
        if (monitor)
            manager->setSettingsPage(monitor->permissionSettingsPage());
        return manager;
    }();
    return *instance;
}

PermissionsManager::PermissionsManager(TrustQuery isTrusted, Recheck recheck, QObject* parent)
    : QObject(parent)
    , m_isTrusted(std::move(isTrusted))
{
    checkAccessibility();
    if (recheck == Recheck::poll)
        startPolling();
    else
        recheckOnDisplayChange();
}

PermissionsManager::~PermissionsManager()
{
    if (m_timer)
        m_timer->stop();
}

void PermissionsManager::checkAccessibility()
{
    const bool trusted = m_isTrusted && m_isTrusted();
    // Published after the current main-thread work, even when unchanged.
    QPointer<PermissionsManager> self(this);
    QMetaObject::invokeMethod(
        this,
        [self, trusted] {
            if (self)
                self->publish(trusted);
        },
        Qt::QueuedConnection);
}

void PermissionsManager::startPolling()
{
    if (m_timer)
        return;
    auto* timer = new QTimer(this);
    timer->setInterval(pollingIntervalMs);
    // The timer is a child: it cannot outlive the manager it calls.
    connect(timer, &QTimer::timeout, this, &PermissionsManager::checkAccessibility);
    timer->start();
    m_timer = timer;
}

void PermissionsManager::recheckOnDisplayChange()
{
    // Nothing wakes the process while the display stays as it is.
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (!app)
        return;
    connect(app, &QGuiApplication::screenAdded, this, &PermissionsManager::checkAccessibility);
    connect(app, &QGuiApplication::screenRemoved, this, &PermissionsManager::checkAccessibility);
    connect(app, &QGuiApplication::primaryScreenChanged, this, &PermissionsManager::checkAccessibility);
}

void PermissionsManager::requestAccess()
{
    if (canRequestAccess()) {
        QDesktopServices::openUrl(m_settingsPage);
        return;
    }
    Logger::shared().info(QStringLiteral(
        "Key monitoring needs no permission on this desktop; it works whenever the X server offers the RECORD "
        "extension, so there is nothing to open"));
}

void PermissionsManager::publish(bool trusted)
{
    if (trusted == m_isAccessibilityTrusted)
        return;
    m_isAccessibilityTrusted = trusted;
    Q_EMIT isAccessibilityTrustedChanged();
}
