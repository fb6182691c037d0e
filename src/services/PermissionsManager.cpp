#include "PermissionsManager.h"

#include "app/Logger.h"
#include "platform/Platform.h"

PermissionsManager& PermissionsManager::shared()
{
    static auto* instance = new PermissionsManager([] {
        GlobalKeyMonitor* monitor = Platform::instance().globalKeyMonitor();
        return monitor && monitor->canMonitorKeys();
    });
    return *instance;
}

PermissionsManager::PermissionsManager(TrustQuery isTrusted, QObject* parent)
    : QObject(parent)
    , m_isTrusted(std::move(isTrusted))
{
    checkAccessibility();
    startPolling();
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
        this, [self, trusted] { if (self) self->publish(trusted); }, Qt::QueuedConnection);
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

void PermissionsManager::requestAccess()
{
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
