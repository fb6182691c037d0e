#pragma once

#include "InputMethodProvider.h"

#include <QDBusConnection>
#include <QStringList>
#include <QTimer>

#include <memory>

class QDBusServiceWatcher;
class QProcess;

// The IBus engines the user has set up, through ibus-daemon's own D-Bus server.
// Identifier: "ibus:" + the engine name ("ibus:xkb:de::deu", "ibus:hangul");
// name: the engine's long name ("German", "Hangul").
//
// Finding the daemon: ibus-daemon owns org.freedesktop.IBus on the session bus
// while it runs (an empty name there; fcitx5 claims it too), and serves its
// interface on a private bus whose address it writes to
// $XDG_CONFIG_HOME/ibus/bus/<machine id>-<host>-<display number> (or
// IBUS_ADDRESS). The session name is watched for start and stop; Tolvane then
// connects to the private bus and counts IBus as running once the daemon
// answers there (which fcitx5's imitation does not).
//
// The engines set up: the GSettings key org.freedesktop.ibus.general
// preload-engines, the list IBus's own panel and settings use. It is read with
// the `gsettings` tool and followed with `gsettings monitor` while IBus runs
// (no polling). When the key is empty or cannot be read, the engines the
// daemon has loaded stand in. Current: the global engine; notices: the
// daemon's GlobalEngineChanged signal.
class IBusInputSourceProvider : public InputMethodProvider {
    Q_OBJECT
public:
    explicit IBusInputSourceProvider(QDBusConnection sessionBus = QDBusConnection::sessionBus(),
                                     QObject* parent = nullptr);
    ~IBusInputSourceProvider() override;

    QString providerName() const override { return QStringLiteral("ibus"); }
    bool isRunning() const override { return m_connection != nullptr; }
    std::optional<QList<InputSourceProperties>> enabledInputSources() override;
    std::optional<InputSourceProperties> currentInputSource() override;
    bool selectInputSource(const QString& id) override;

    // GSettings' printed form of a string list ("['a', 'b']", "@as []") to its
    // items; nullopt when the text is not such a list.
    static std::optional<QStringList> parseStringList(const QString& text);
    // The IBUS_ADDRESS line of an address file.
    static QString addressFromFile(const QByteArray& contents);
    // Where ibus-daemon writes its address for this display.
    static QString addressFilePath(const QString& configHome, const QString& machineId, const QString& display);

    // An engine as the daemon describes it, with the country of its layout or language.
    struct Engine {
        QString name;
        QString longName;
        QString countryCode;
    };

private Q_SLOTS:
    void globalEngineChanged(const QString& engine);
    void disconnectFromDaemonSlot()
    {
        QTimer::singleShot(0, this, [this] { disconnectFromDaemon(); });
    }

private:
    void sessionNameChanged(bool registered);
    bool connectToDaemon();
    void disconnectFromDaemon();
    void readPreloadEngines();
    QList<Engine> enginesByNames(const QStringList& names);
    QList<Engine> loadedEngines();
    std::optional<Engine> globalEngine();
    QDBusMessage call(const QString& method, const QVariantList& arguments = {}, int timeoutMs = 1000);

    QDBusConnection m_sessionBus;
    QDBusServiceWatcher* m_watcher = nullptr;
    std::unique_ptr<QDBusConnection> m_connection;
    QString m_connectionName;
    QProcess* m_monitor = nullptr;
    QStringList m_preloadEngines;
    int m_connectAttempts = 0;
};
