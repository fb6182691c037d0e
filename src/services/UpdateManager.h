#pragma once

#include "AppcastItem.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

class AppcastUpdater;
class UpdateUserDriver;

// Checks the update feed when the user asks and turns the updater's results
// into two observable values and log lines. Created at the first "Check for
// Updates"; there are no automatic checks.
class UpdateManager : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool isCheckingForUpdates READ isCheckingForUpdates NOTIFY isCheckingForUpdatesChanged)
    Q_PROPERTY(QString lastCheckMessage READ lastCheckMessage NOTIFY lastCheckMessageChanged)
public:
    static UpdateManager& shared();

    // The feed address fixed at build time (TOLVANE_UPDATE_FEED_URL).
    static QUrl defaultFeedURL();

    // Takes over `updater` and listens to it.
    explicit UpdateManager(AppcastUpdater* updater, QObject* parent = nullptr);

    bool isCheckingForUpdates() const { return m_isCheckingForUpdates; }
    QString lastCheckMessage() const { return m_lastCheckMessage; }

    // Starts a user-initiated check; the updater shows its own dialogs.
    void checkForUpdates();

Q_SIGNALS:
    void isCheckingForUpdatesChanged();
    void lastCheckMessageChanged();

private:
    void didFinishLoadingAppcast(int itemCount);
    void didNotFindUpdate();
    void didFindValidUpdate(const AppcastItem& item);
    void didAbortWithError(const QString& localizedDescription);
    void willInstallUpdate(const AppcastItem& item);
    void willRelaunchApplication();

    void setCheckingForUpdates(bool checking);
    void setLastCheckMessage(const QString& message);

    QPointer<AppcastUpdater> m_updaterController;
    bool m_isCheckingForUpdates = false;
    QString m_lastCheckMessage;
};
