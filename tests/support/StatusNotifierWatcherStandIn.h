#pragma once

#include <QObject>
#include <QStringList>

// The least of a panel's StatusNotifierWatcher, for a test to put on a session bus
// (export all its contents): it records the items that register; whether a host
// is there is the test's to say.
class StatusNotifierWatcherStandIn : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered MEMBER hostRegistered)
    Q_PROPERTY(int ProtocolVersion MEMBER protocolVersion CONSTANT)
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems MEMBER items)
public:
    bool hostRegistered = true;
    int protocolVersion = 0;
    QStringList items;

public Q_SLOTS:
    void RegisterStatusNotifierItem(const QString& service) { items.append(service); }
    void RegisterStatusNotifierHost(const QString&) { }

Q_SIGNALS:
    void StatusNotifierItemRegistered(const QString& service);
    void StatusNotifierHostRegistered();
};
