#include "UpdateManager.h"

#include "AppcastUpdater.h"

#include "base/Logger.h"
#include "base/Tolvane.h"

#ifndef TOLVANE_UPDATE_FEED_URL
#define TOLVANE_UPDATE_FEED_URL "https://updates.kelvora.com/tolvane/appcast.xml"
#endif

QUrl UpdateManager::defaultFeedURL()
{
    return QUrl(QStringLiteral(TOLVANE_UPDATE_FEED_URL));
}

UpdateManager::UpdateManager(AppcastUpdater* updater, QObject* parent)
    : QObject(parent)
    , m_updaterController(updater)
{
    if (!updater)
        return;
    updater->setParent(this);
    connect(updater, &AppcastUpdater::didFinishLoadingAppcast, this, &UpdateManager::didFinishLoadingAppcast);
    connect(updater, &AppcastUpdater::didNotFindUpdate, this, &UpdateManager::didNotFindUpdate);
    connect(updater, &AppcastUpdater::didFindValidUpdate, this, &UpdateManager::didFindValidUpdate);
    connect(updater, &AppcastUpdater::didAbortWithError, this, &UpdateManager::didAbortWithError);
    connect(updater, &AppcastUpdater::willInstallUpdate, this, &UpdateManager::willInstallUpdate);
    connect(updater, &AppcastUpdater::willRelaunchApplication, this, &UpdateManager::willRelaunchApplication);
}

void UpdateManager::checkForUpdates()
{
    setCheckingForUpdates(true);
    if (m_updaterController)
        m_updaterController->checkForUpdates();
}

void UpdateManager::didFinishLoadingAppcast(int itemCount)
{
    Logger::shared().info(QStringLiteral("Sparkle: Loaded appcast with %1 items").arg(itemCount));
}

void UpdateManager::didNotFindUpdate()
{
    setCheckingForUpdates(false);
    setLastCheckMessage(Tolvane::tr("You're up to date!"));
    Logger::shared().info(QStringLiteral("Sparkle: No updates available"));
}

void UpdateManager::didFindValidUpdate(const AppcastItem& item)
{
    setCheckingForUpdates(false);
    setLastCheckMessage(Tolvane::tr("Update available: ") + item.displayVersionString);
    Logger::shared().info(QStringLiteral("Sparkle: Found update - ") + item.displayVersionString);
}

void UpdateManager::didAbortWithError(const QString& localizedDescription)
{
    setCheckingForUpdates(false);
    setLastCheckMessage(Tolvane::tr("Update check failed"));
    Logger::shared().error(QStringLiteral("Sparkle error: ") + localizedDescription);
}

void UpdateManager::willInstallUpdate(const AppcastItem& item)
{
    Logger::shared().info(QStringLiteral("Sparkle: Installing update ") + item.displayVersionString);
}

void UpdateManager::willRelaunchApplication()
{
    Logger::shared().info(QStringLiteral("Sparkle: Relaunching application after update"));
}

void UpdateManager::setCheckingForUpdates(bool checking)
{
    if (checking == m_isCheckingForUpdates)
        return;
    m_isCheckingForUpdates = checking;
    Q_EMIT isCheckingForUpdatesChanged();
}

void UpdateManager::setLastCheckMessage(const QString& message)
{
    if (message == m_lastCheckMessage)
        return;
    m_lastCheckMessage = message;
    Q_EMIT lastCheckMessageChanged();
}
