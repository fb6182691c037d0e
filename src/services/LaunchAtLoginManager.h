#pragma once

#include <QObject>
#include <QString>

class LoginItemService;

// Registers Tolvane to start at login (an XDG autostart entry), or removes it,
// and publishes whether it is registered and the last failure.
class LaunchAtLoginManager : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool isEnabled READ isEnabled WRITE setEnabled NOTIFY isEnabledChanged)
    // The translated description of the last failed change; empty after a success.
    Q_PROPERTY(QString lastError READ lastError NOTIFY lastErrorChanged)
public:
    static LaunchAtLoginManager& shared();

    // Reads the system's state and applies it once. `service` may be null (no
    // autostart mechanism): every change then fails with a message.
    explicit LaunchAtLoginManager(LoginItemService* service, QObject* parent = nullptr);

    bool isEnabled() const { return m_isEnabled; }
    // Stores the value and applies it to the system.
    void setEnabled(bool enabled);
    QString lastError() const { return m_lastError; }

    // Applies `isEnabled` to the system. After a failure the flag is set, from
    // the main queue, to the state the system actually has; that correction
    // is not applied again.
    void updateLoginItem();

Q_SIGNALS:
    void isEnabledChanged();
    void lastErrorChanged();

private:
    void setLastError(const QString& error);
    void storeEnabled(bool enabled);

    LoginItemService* m_service;
    bool m_isEnabled = false;
    QString m_lastError;
};
