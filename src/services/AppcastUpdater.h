#pragma once

#include "AppcastItem.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

class QNetworkAccessManager;
#include <QNetworkReply>
class UpdateUserDriver;

// Reads the update feed, picks the newest release and tells the user through
// its driver. It reports each step through signals, never installs anything
// and checks only when asked. The feed is untrusted: its size, the time it
// may take and its redirects are bounded, and only https download links are
// ever offered.
class AppcastUpdater : public QObject {
    Q_OBJECT
public:
    struct Options {
        QUrl feedURL;
        QString currentVersion;
        qint64 maximumFeedSize = 1024 * 1024;
        int transferTimeoutMs = 30000;
        int maximumRedirects = 5;
        // Accept a plain-http feed on a loopback address (tests only).
        bool allowLoopbackHttp = false;
    };

    // `driver` may be null: nothing is shown.
    AppcastUpdater(Options options, UpdateUserDriver* driver, QObject* parent = nullptr);
    ~AppcastUpdater() override;

    bool isChecking() const { return m_reply != nullptr; }

    // Starts a check unless one is running.
    void checkForUpdates();

Q_SIGNALS:
    void didFinishLoadingAppcast(int itemCount);
    void didNotFindUpdate();
    void didFindValidUpdate(const AppcastItem& item);
    void didAbortWithError(const QString& localizedDescription);
    // Never emitted: this updater offers downloads and leaves installing to the user.
    void willInstallUpdate(const AppcastItem& item);
    void willRelaunchApplication();

private:
    void finishReply();
    // `localizedReason`: what went wrong, translated, or the system's own text.
    void abortWithError(const QString& localizedReason);
    void handleFeed(const QByteArray& document);

    Options m_options;
    UpdateUserDriver* m_driver;
    QNetworkAccessManager* m_network;
    QPointer<QNetworkReply> m_reply;
    QByteArray m_buffer;
    bool m_tooLarge = false;
};
