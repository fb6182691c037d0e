#pragma once

#include <QObject>

// Knows whether the desktop has a tray to show an item in, and says when one
// appears: panels often start after the applications of a session.
class SystemTrayMonitor : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool isAvailable READ isAvailable NOTIFY isAvailableChanged)
public:
    using QObject::QObject;
    ~SystemTrayMonitor() override = default;

    virtual bool isAvailable() const = 0;

Q_SIGNALS:
    void isAvailableChanged();
};
