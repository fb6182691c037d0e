#include "IBusInputSourceProvider.h"

#include "base/Logger.h"
#include "platform/freedesktop/InputSourceCountry.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QSysInfo>
#include <QTimer>

namespace {

const QString ibusService = QStringLiteral("org.freedesktop.IBus");
const QString ibusPath = QStringLiteral("/org/freedesktop/IBus");
const QString ibusInterface = QStringLiteral("org.freedesktop.IBus");
const QString schema = QStringLiteral("org.freedesktop.ibus.general");
const QString preloadKey = QStringLiteral("preload-engines");
constexpr int callTimeoutMs = 1000;
constexpr int engineStartTimeoutMs = 5000;
// The session name may appear a moment before the daemon has written its address.
constexpr int maxConnectAttempts = 30;
constexpr int connectRetryMs = 100;

struct EngineDesc {
    QString name;
    QString longName;
    QString language;
};

// An IBusEngineDesc as the daemon sends it: ("IBusEngineDesc", a{sv}, name, long
// name, description, language, ...), wrapped in one or more variants.
std::optional<EngineDesc> engineFromVariant(QVariant value)
{
    for (int depth = 0; depth < 4; ++depth) {
        if (value.metaType() == QMetaType::fromType<QDBusVariant>()) {
            value = value.value<QDBusVariant>().variant();
        } else if (value.metaType() == QMetaType::fromType<QDBusArgument>()
                   && value.value<QDBusArgument>().currentSignature() == QLatin1String("v")) {
            QDBusVariant inner;
            value.value<QDBusArgument>() >> inner;
            value = inner.variant();
        } else {
            break;
        }
    }
    if (value.metaType() != QMetaType::fromType<QDBusArgument>())
        return std::nullopt;
    const QDBusArgument argument = value.value<QDBusArgument>();
    const QString signature = argument.currentSignature();
    if (!signature.startsWith(QLatin1String("(sa{sv}ss")))
        return std::nullopt;
    QString type;
    QVariantMap attachments;
    QString name;
    QString longName;
    QString description;
    QString language;
    argument.beginStructure();
    argument >> type >> attachments >> name >> longName;
    if (signature.startsWith(QLatin1String("(sa{sv}ssss")))
        argument >> description >> language;
    while (!argument.atEnd())
        argument.asVariant();
    argument.endStructure();
    if (type != QLatin1String("IBusEngineDesc") || name.isEmpty())
        return std::nullopt;
    return EngineDesc{name, longName, language};
}

// The engine with the country its layout (xkb engines) or language gives it.
IBusInputSourceProvider::Engine engineOf(const EngineDesc& desc)
{
    return {desc.name, desc.longName, InputSourceCountry::ofIBusEngine(desc.name, desc.language)};
}

} // namespace

IBusInputSourceProvider::IBusInputSourceProvider(QDBusConnection sessionBus, QObject* parent)
    : InputMethodProvider(parent)
    , m_sessionBus(sessionBus)
{
    m_watcher = new QDBusServiceWatcher(
        ibusService, m_sessionBus,
        QDBusServiceWatcher::WatchForRegistration | QDBusServiceWatcher::WatchForUnregistration, this);
    connect(m_watcher, &QDBusServiceWatcher::serviceRegistered, this, [this] { sessionNameChanged(true); });
    connect(m_watcher, &QDBusServiceWatcher::serviceUnregistered, this, [this] { sessionNameChanged(false); });
    if (m_sessionBus.isConnected() && m_sessionBus.interface()
        && m_sessionBus.interface()->isServiceRegistered(ibusService).value())
        connectToDaemon();
}

IBusInputSourceProvider::~IBusInputSourceProvider()
{
    if (m_monitor) {
        m_monitor->disconnect(this);
        m_monitor->kill();
        m_monitor->waitForFinished(1000);
    }
    if (m_connection)
        QDBusConnection::disconnectFromBus(m_connectionName);
}

QString IBusInputSourceProvider::addressFilePath(const QString& configHome, const QString& machineId,
                                                 const QString& display)
{
    // DISPLAY "host:N.S" -> host (or "unix" for a local display) and N.
    const qsizetype colon = display.lastIndexOf(QLatin1Char(':'));
    if (colon < 0 || machineId.isEmpty())
        return {};
    QString host = display.left(colon);
    if (host.isEmpty())
        host = QStringLiteral("unix");
    const QString number = display.mid(colon + 1).section(QLatin1Char('.'), 0, 0);
    static const QRegularExpression digits(QStringLiteral("^\\d+$"));
    static const QRegularExpression plainHost(QStringLiteral("^[A-Za-z0-9._-]+$"));
    if (!digits.match(number).hasMatch() || !plainHost.match(host).hasMatch())
        return {};
    return configHome + QStringLiteral("/ibus/bus/") + machineId + QLatin1Char('-') + host + QLatin1Char('-') + number;
}

QString IBusInputSourceProvider::addressFromFile(const QByteArray& contents)
{
    for (const QByteArray& line : contents.split('\n')) {
        const QByteArray trimmed = line.trimmed();
        if (trimmed.startsWith("IBUS_ADDRESS="))
            return QString::fromUtf8(trimmed.mid(13));
    }
    return {};
}

std::optional<QStringList> IBusInputSourceProvider::parseStringList(const QString& input)
{
    QString text = input.trimmed();
    if (text.startsWith(QLatin1String("@as ")))
        text = text.mid(4).trimmed();
    if (!text.startsWith(QLatin1Char('[')) || !text.endsWith(QLatin1Char(']')))
        return std::nullopt;
    QStringList items;
    qsizetype i = 1;
    const qsizetype end = text.size() - 1;
    auto skipSpace = [&] {
        while (i < end && text.at(i).isSpace())
            ++i;
    };
    skipSpace();
    if (i == end)
        return items;
    for (;;) {
        skipSpace();
        if (i >= end)
            return std::nullopt;
        const QChar quote = text.at(i);
        if (quote != QLatin1Char('\'') && quote != QLatin1Char('"'))
            return std::nullopt;
        ++i;
        QString item;
        bool closed = false;
        while (i < end) {
            const QChar c = text.at(i++);
            if (c == QLatin1Char('\\') && i < end) {
                item.append(text.at(i++));
            } else if (c == quote) {
                closed = true;
                break;
            } else {
                item.append(c);
            }
        }
        if (!closed)
            return std::nullopt;
        items.append(item);
        skipSpace();
        if (i == end)
            return items;
        if (text.at(i) != QLatin1Char(','))
            return std::nullopt;
        ++i;
    }
}

void IBusInputSourceProvider::sessionNameChanged(bool registered)
{
    if (registered) {
        m_connectAttempts = 0;
        connectToDaemon();
    } else {
        disconnectFromDaemon();
    }
}

bool IBusInputSourceProvider::connectToDaemon()
{
    if (m_connection)
        return true;
    QString address = qEnvironmentVariable("IBUS_ADDRESS");
    if (address.isEmpty()) {
        const QString configHome = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
        QFile file(addressFilePath(configHome, QString::fromLatin1(QSysInfo::machineUniqueId()),
                                   qEnvironmentVariable("DISPLAY")));
        if (!file.fileName().isEmpty() && file.open(QIODevice::ReadOnly))
            address = addressFromFile(file.read(4096));
    }
    static int serial = 0;
    const QString name = QStringLiteral("tolvane-ibus-%1").arg(++serial);
    bool answered = false;
    if (!address.isEmpty()) {
        auto connection = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(address, name));
        if (connection->isConnected()) {
            m_connection = std::move(connection);
            m_connectionName = name;
            // Only the real daemon answers this; fcitx5's stand-in does not.
            const QDBusMessage reply = call(QStringLiteral("GetUseGlobalEngine"));
            answered = reply.type() == QDBusMessage::ReplyMessage;
            if (!answered)
                m_connection.reset();
        }
    }
    if (!answered) {
        QDBusConnection::disconnectFromBus(name);
        const bool stillThere =
            m_sessionBus.interface() && m_sessionBus.interface()->isServiceRegistered(ibusService).value();
        if (stillThere && ++m_connectAttempts < maxConnectAttempts)
            QTimer::singleShot(connectRetryMs, this, [this] {
                if (!m_connection && m_sessionBus.interface()
                    && m_sessionBus.interface()->isServiceRegistered(ibusService).value())
                    connectToDaemon();
            });
        return false;
    }
    m_connection->connect(ibusService, ibusPath, ibusInterface, QStringLiteral("GlobalEngineChanged"), this,
                          SLOT(globalEngineChanged(QString)));
    m_connection->connect(QString(), QStringLiteral("/org/freedesktop/DBus/Local"),
                          QStringLiteral("org.freedesktop.DBus.Local"), QStringLiteral("Disconnected"), this,
                          SLOT(disconnectFromDaemonSlot()));

    readPreloadEngines();
    if (!QStandardPaths::findExecutable(QStringLiteral("gsettings")).isEmpty()) {
        m_monitor = new QProcess(this);
        m_monitor->setProcessChannelMode(QProcess::SeparateChannels);
        connect(m_monitor, &QProcess::readyReadStandardOutput, this, [this] {
            bool changed = false;
            while (m_monitor->canReadLine()) {
                const QString line = QString::fromUtf8(m_monitor->readLine()).trimmed();
                const QString prefix = preloadKey + QLatin1Char(':');
                if (!line.startsWith(prefix))
                    continue;
                if (const auto engines = parseStringList(line.mid(prefix.size()));
                    engines && *engines != m_preloadEngines) {
                    m_preloadEngines = *engines;
                    changed = true;
                }
            }
            if (changed)
                Q_EMIT enabledInputSourcesChanged();
        });
        m_monitor->start(QStringLiteral("gsettings"), {QStringLiteral("monitor"), schema, preloadKey});
    }
    Q_EMIT runningChanged();
    return true;
}

void IBusInputSourceProvider::disconnectFromDaemon()
{
    if (m_monitor) {
        m_monitor->disconnect(this);
        m_monitor->kill();
        m_monitor->waitForFinished(1000);
        m_monitor->deleteLater();
        m_monitor = nullptr;
    }
    if (!m_connection)
        return;
    m_connection.reset();
    QDBusConnection::disconnectFromBus(m_connectionName);
    m_preloadEngines.clear();
    Q_EMIT runningChanged();
}

void IBusInputSourceProvider::readPreloadEngines()
{
    m_preloadEngines.clear();
    if (QStandardPaths::findExecutable(QStringLiteral("gsettings")).isEmpty())
        return;
    QProcess gsettings;
    gsettings.start(QStringLiteral("gsettings"), {QStringLiteral("get"), schema, preloadKey});
    if (!gsettings.waitForFinished(3000) || gsettings.exitStatus() != QProcess::NormalExit
        || gsettings.exitCode() != 0) {
        gsettings.kill();
        Logger::shared().error(QStringLiteral("Could not read the IBus engine list from GSettings"));
        return;
    }
    if (const auto engines = parseStringList(QString::fromUtf8(gsettings.readAllStandardOutput())))
        m_preloadEngines = *engines;
}

QDBusMessage IBusInputSourceProvider::call(const QString& method, const QVariantList& arguments, int timeoutMs)
{
    if (!m_connection)
        return QDBusMessage::createError(QDBusError::Disconnected, QStringLiteral("IBus is not running"));
    QDBusMessage message = QDBusMessage::createMethodCall(ibusService, ibusPath, ibusInterface, method);
    message.setArguments(arguments);
    return m_connection->call(message, QDBus::Block, timeoutMs);
}

QList<IBusInputSourceProvider::Engine> IBusInputSourceProvider::enginesByNames(const QStringList& names)
{
    QList<Engine> engines;
    if (names.isEmpty())
        return engines;
    const QDBusMessage reply = call(QStringLiteral("GetEnginesByNames"), {names});
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()
        || reply.arguments().at(0).metaType() != QMetaType::fromType<QDBusArgument>())
        return engines;
    const QDBusArgument list = reply.arguments().at(0).value<QDBusArgument>();
    if (list.currentSignature() != QLatin1String("av"))
        return engines;
    QHash<QString, Engine> byName;
    list.beginArray();
    while (!list.atEnd()) {
        QDBusVariant item;
        list >> item;
        if (const auto engine = engineFromVariant(QVariant::fromValue(item)))
            byName.insert(engine->name, engineOf(*engine));
    }
    list.endArray();
    // In the user's order; engines the daemon does not know are left out.
    for (const QString& name : names) {
        if (byName.contains(name))
            engines.append(byName.value(name));
    }
    return engines;
}

QList<IBusInputSourceProvider::Engine> IBusInputSourceProvider::loadedEngines()
{
    QList<Engine> engines;
    QDBusMessage get = QDBusMessage::createMethodCall(
        ibusService, ibusPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << ibusInterface << QStringLiteral("ActiveEngines");
    const QDBusMessage reply = m_connection ? m_connection->call(get, QDBus::Block, callTimeoutMs) : QDBusMessage();
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return engines;
    QVariant value = reply.arguments().at(0);
    if (value.metaType() == QMetaType::fromType<QDBusVariant>())
        value = value.value<QDBusVariant>().variant();
    if (value.metaType() != QMetaType::fromType<QDBusArgument>())
        return engines;
    const QDBusArgument list = value.value<QDBusArgument>();
    if (list.currentSignature() != QLatin1String("av"))
        return engines;
    list.beginArray();
    while (!list.atEnd()) {
        QDBusVariant item;
        list >> item;
        if (const auto engine = engineFromVariant(QVariant::fromValue(item)))
            engines.append(engineOf(*engine));
    }
    list.endArray();
    return engines;
}

std::optional<IBusInputSourceProvider::Engine> IBusInputSourceProvider::globalEngine()
{
    QDBusMessage get = QDBusMessage::createMethodCall(
        ibusService, ibusPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << ibusInterface << QStringLiteral("GlobalEngine");
    const QDBusMessage reply = m_connection ? m_connection->call(get, QDBus::Block, callTimeoutMs) : QDBusMessage();
    // "No global engine" is an error reply: nothing is current.
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return std::nullopt;
    const auto engine = engineFromVariant(reply.arguments().at(0));
    if (!engine)
        return std::nullopt;
    return engineOf(*engine);
}

std::optional<QList<InputSourceProperties>> IBusInputSourceProvider::enabledInputSources()
{
    if (!m_connection)
        return std::nullopt;
    QList<Engine> engines = enginesByNames(m_preloadEngines);
    if (engines.isEmpty())
        engines = loadedEngines();
    QList<InputSourceProperties> sources;
    for (const Engine& engine : std::as_const(engines))
        sources.append(InputSourceProperties::of(identifier(engine.name), engine.longName, true, engine.countryCode));
    return sources;
}

std::optional<InputSourceProperties> IBusInputSourceProvider::currentInputSource()
{
    const auto engine = globalEngine();
    if (!engine)
        return std::nullopt;
    return InputSourceProperties::of(identifier(engine->name), engine->longName, std::nullopt, engine->countryCode);
}

bool IBusInputSourceProvider::selectInputSource(const QString& id)
{
    const auto name = localName(id);
    if (!m_connection || !name)
        return false;
    // The daemon answers once the engine runs; the first use of an engine starts its process.
    if (call(QStringLiteral("SetGlobalEngine"), {*name}, engineStartTimeoutMs).type() != QDBusMessage::ReplyMessage)
        return false;
    const auto now = globalEngine();
    return now && now->name == *name;
}

void IBusInputSourceProvider::globalEngineChanged(const QString&)
{
    Q_EMIT selectedInputSourceChanged();
}
