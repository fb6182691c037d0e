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
        Owner, // this process runs Tolvane; export the interface next
        AnotherRuns, // the running one was asked to open its settings
        Unanswered, // the name is owned but its owner did not answer
        NoBus, // no session bus: run without the interface
    };

    // What became of asking the running Tolvane to open its settings.
    enum class HandOver {
        Answered, // it did
        NoAnswer, // the name is owned, but the call failed or timed out
        NobodyListens, // nobody owns the name (or there is no bus)
    };

    explicit BusService(const QDBusConnection& connection = QDBusConnection::sessionBus(), QObject* parent = nullptr);
    ~BusService() override;

    // Asks the running Tolvane, if any, and otherwise takes the name; an owner
    // that is still starting is given a few seconds to answer.
    Claim claim();

    bool isConnected() const { return m_connection.isConnected(); }
    HandOver askToOpenSettings();
    // Takes com.kelvora.Tolvane unless another process owns it.
    bool claimName();

    // Serves com.kelvora.Tolvane1 at /com/kelvora/Tolvane and then takes the
    // activatable settings name, on a connection of its own.
    void exportInterface(TolvaneBusAdaptor::Dependencies dependencies);

private:
    QDBusConnection m_connection;
    QObject m_host;
    QObject m_settingsHost;
    QString m_settingsConnectionName;
};
