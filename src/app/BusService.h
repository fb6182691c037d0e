#pragma once

#include "TolvaneBusAdaptor.h"

#include <QDBusConnection>
#include <QObject>

// Tolvane on the session bus. Owning com.kelvora.Tolvane is what makes a
// process the running Tolvane there; a later plain launch asks the owner to
// open its settings instead of starting a second engine.
class BusService : public QObject {
    Q_OBJECT
public:
    enum class Claim {
        Owner,       // this process runs Tolvane; export the interface next
        AnotherRuns, // the running one was asked to open its settings
        Unanswered,  // the name is owned but its owner did not answer
        NoBus,       // no session bus: run without the interface
    };

    explicit BusService(const QDBusConnection& connection = QDBusConnection::sessionBus(), QObject* parent = nullptr);
    ~BusService() override;

    Claim claim();

    // Serves com.kelvora.Tolvane1 at /com/kelvora/Tolvane and then takes the
    // activatable settings name, on a connection of its own.
    void exportInterface(TolvaneBusAdaptor::Dependencies dependencies);

private:
    bool askOwnerToOpenSettings();

    QDBusConnection m_connection;
    QObject m_host;
    QObject m_settingsHost;
    QString m_settingsConnectionName;
};
