#pragma once

#include "BusRecords.h"

#include "platform/RunningApplication.h"

#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QPointer>
#include <QTimer>
#include <QVariantMap>

#include <functional>

class InputSourceManager;
class RuleEngine;
class WindowWatcher;

// The interface com.kelvora.Tolvane1 (data/dbus/com.kelvora.Tolvane1.xml) of
// the running Tolvane. Everything a caller sends is checked by QtDBus against
// these signatures; the only file it makes Tolvane read is the user's own
// rules file.
class TolvaneBusAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.kelvora.Tolvane1")
    Q_PROPERTY(bool IsPaused READ isPaused)
    Q_PROPERTY(BusInputSource CurrentInputSource READ currentInputSource)
    Q_PROPERTY(BusApplication FrontmostApplication READ frontmostApplication)
    Q_PROPERTY(uint RuleCount READ ruleCount)
    Q_PROPERTY(QString Backend READ backend)
public:
    struct Dependencies {
        RuleEngine* ruleEngine = nullptr;
        WindowWatcher* watcher = nullptr;
        QString backend;
        std::function<void(bool)> setPaused;
        std::function<void()> openSettings;
        std::function<QList<RunningApplication>()> runningApplications;
    };

    // `host` is the object registered at /com/kelvora/Tolvane on `connection`.
    TolvaneBusAdaptor(QObject* host, const QDBusConnection& connection, Dependencies dependencies);

    bool isPaused() const;
    BusInputSource currentInputSource() const;
    BusApplication frontmostApplication() const;
    uint ruleCount() const;
    QString backend() const { return m_dependencies.backend; }

public Q_SLOTS:
    void Pause();
    void Resume();
    void TogglePause();
    void OpenSettings();
    // Fails with com.kelvora.Tolvane1.Error.RulesUnreadable, keeping the rules
    // in use, when the rules file cannot be read.
    void ReloadRules(const QDBusMessage& message);
    QList<BusInputSource> ListInputSources() const;
    QList<BusApplication> ListApplications() const;

Q_SIGNALS:
    void Switched(const QString& applicationID, const QString& inputSourceID);

private:
    InputSourceManager& inputSources() const;
    QVariantMap currentProperties() const;
    void publishChangedPropertiesSoon();
    void publishChangedProperties();

    QDBusConnection m_connection;
    Dependencies m_dependencies;
    QVariantMap m_published;
    QTimer m_publishTimer;
};
