#include "LaunchAtLoginManager.h"

#include "base/Logger.h"
#include "base/Tolvane.h"
#include "platform/LoginItemService.h"
#include "platform/Platform.h"

#include <QPointer>

LaunchAtLoginManager& LaunchAtLoginManager::shared()
{
    static auto* instance = new LaunchAtLoginManager(Platform::instance().loginItemService());
    return *instance;
}

LaunchAtLoginManager::LaunchAtLoginManager(LoginItemService* service, QObject* parent)
    : QObject(parent)
    , m_service(service)
{
    m_isEnabled = m_service && m_service->isRegistered();
    updateLoginItem();
}

void LaunchAtLoginManager::setEnabled(bool enabled)
{
    storeEnabled(enabled);
    updateLoginItem();
}

void LaunchAtLoginManager::storeEnabled(bool enabled)
{
    if (enabled == m_isEnabled)
        return;
    m_isEnabled = enabled;
    Q_EMIT isEnabledChanged();
}

void LaunchAtLoginManager::setLastError(const QString& error)
{
    if (error == m_lastError)
        return;
    m_lastError = error;
    Q_EMIT lastErrorChanged();
}

void LaunchAtLoginManager::updateLoginItem()
{
    const bool enable = m_isEnabled;
    std::optional<QString> failure;
    if (!m_service)
        failure = Tolvane::tr("Could not update the autostart entry: %1")
                      .arg(Tolvane::tr("this desktop has no autostart service"));
    else
        failure = enable ? m_service->registerItem() : m_service->unregisterItem();

    if (!failure) {
        Logger::shared().info(enable ? QStringLiteral("Launch at Login enabled")
                                     : QStringLiteral("Launch at Login disabled"));
        setLastError(QString());
        return;
    }
    Logger::shared().error(QStringLiteral("Failed to update Launch at Login: ") + *failure);
    setLastError(*failure);
    // The toggle then shows what the system has. The correction is stored,
    // not applied: applying it could fail the other way and alternate forever.
    QPointer<LaunchAtLoginManager> self(this);
    QMetaObject::invokeMethod(
        this,
        [self] {
            if (!self)
                return;
            self->storeEnabled(self->m_service ? self->m_service->isRegistered() : false);
        },
        Qt::QueuedConnection);
}
