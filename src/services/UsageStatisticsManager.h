#pragma once

#include "base/PreferenceKeys.h"

#include <QObject>
#include <QString>
#include <QUrl>

// The user's say over the anonymous usage statistics, and the start of the analytics
// client that honours it. Sharing is on unless the user turned it off ("shareUsageStatistics")
// or the environment asks for silence (DO_NOT_TRACK=1, or the preview variable); a build
// without the analytics client shares nothing and offers no choice.
//
// Silenced or off: no request leaves, no session statistics are written and the queued
// records (the cache file) are deleted.
class UsageStatisticsManager : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool isSharingEnabled READ isSharingEnabled WRITE setSharingEnabled NOTIFY isSharingEnabledChanged)
public:
    static UsageStatisticsManager& shared();
    explicit UsageStatisticsManager(QObject* parent = nullptr);

    static QString sharingKey() { return PreferenceKeys::shareUsageStatistics.name; }
    static QString analyticsAppID() { return QStringLiteral("5V1I0D37-9A42-4R6O-8V21-3A7V9O04R6O2"); }
    // Built with the analytics client.
    static bool isAvailable();

    // The environment variable that silences the client whatever the user chose
    // ("DO_NOT_TRACK" or the preview variable, set to 1); empty when none is set.
    static QString silencingVariable();
    // An ingestion server on this machine to use instead of the real one, for tests and
    // benchmarks: "TOLVANE_ANALYTICS_URL", honoured only for a loopback address.
    static QUrl loopbackEndpoint();

    bool isSharingEnabled() const;
    // Stores the choice; once the client runs, it is silenced or restarted at once.
    void setSharingEnabled(bool enabled);

    // Configures the client with the application identifier and sends "appLaunched". Call once,
    // on the main thread, after the QGuiApplication exists.
    void start();

Q_SIGNALS:
    void isSharingEnabledChanged();

private:
    void configureClient();
    static void installDeviceFacts();
    static void forwardApplicationState();

    bool m_started = false;
};
