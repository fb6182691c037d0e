#include "CommandLine.h"

#include "BusNames.h"
#include "BusRecords.h"

#include "base/Tolvane.h"

#include <QCommandLineParser>
#include <QDBusArgument>
#include <QDBusError>
#include <QDBusMessage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <optional>

namespace {
constexpr int kCallTimeoutMs = 5000;

template <typename T> T fromBus(const QVariant& value)
{
    if (value.metaType() == QMetaType::fromType<T>())
        return value.value<T>();
    if (value.metaType() != QMetaType::fromType<QDBusArgument>())
        return T();
    return qdbus_cast<T>(value.value<QDBusArgument>());
}

QString yesNo(bool value)
{
    return value ? QStringLiteral("yes") : QStringLiteral("no");
}
} // namespace

CommandLine::CommandLine(const QDBusConnection& connection, QTextStream& out, QTextStream& err)
    : m_connection(connection)
    , m_out(out)
    , m_err(err)
{
}

int CommandLine::run(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        Tolvane::tr("Switches the keyboard layout per application. Without options, starts Tolvane "
                    "(or opens the settings of the running one); with an option, tells the running Tolvane "
                    "what to do and ends."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption togglePause(QStringLiteral("toggle-pause"),
                                         Tolvane::tr("Pause switching, or resume it when paused."));
    const QCommandLineOption pause(QStringLiteral("pause"), Tolvane::tr("Pause switching."));
    const QCommandLineOption resume(QStringLiteral("resume"), Tolvane::tr("Resume switching."));
    const QCommandLineOption settings(QStringLiteral("settings"),
                                      Tolvane::tr("Open the settings window, starting Tolvane if needed."));
    const QCommandLineOption reload(QStringLiteral("reload-rules"), Tolvane::tr("Read the rules file again."));
    const QCommandLineOption status(QStringLiteral("status"),
                                    Tolvane::tr("Show the backend, whether switching is paused, the application in "
                                                "front, the current input source and the number of rules."));
    const QCommandLineOption inputSources(QStringLiteral("list-input-sources"),
                                          Tolvane::tr("List the input sources a rule can select."));
    const QCommandLineOption applications(QStringLiteral("list-applications"),
                                          Tolvane::tr("List the running applications a rule can name."));
    const QCommandLineOption json(QStringLiteral("json"), Tolvane::tr("Print --status and the lists as JSON."));
    parser.addOptions({togglePause, pause, resume, settings, reload, status, inputSources, applications, json});

    auto usageError = [&](const QString& message) {
        m_err << message << Qt::endl << Qt::endl << parser.helpText();
        m_err.flush();
        return int(Usage);
    };
    if (!parser.parse(arguments))
        return usageError(parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        return usageError(Tolvane::tr("Unexpected argument: %1").arg(parser.positionalArguments().constFirst()));
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        m_out << parser.helpText();
        return Success;
    }
    if (parser.isSet(version)) {
        m_out << QCoreApplication::applicationName().toLower() << ' ' << QCoreApplication::applicationVersion()
              << Qt::endl;
        return Success;
    }

    const QList<QCommandLineOption> actions{togglePause, pause,  resume,       settings,
                                            reload,      status, inputSources, applications};
    const auto chosen = std::count_if(actions.cbegin(), actions.cend(), [&](const auto& o) { return parser.isSet(o); });
    if (chosen != 1)
        return usageError(Tolvane::tr("Give exactly one option."));
    if (parser.isSet(json) && !(parser.isSet(status) || parser.isSet(inputSources) || parser.isSet(applications)))
        return usageError(Tolvane::tr("--json goes with --status, --list-input-sources or --list-applications."));

    if (!m_connection.isConnected()) {
        m_err << Tolvane::tr("No session bus: %1").arg(m_connection.lastError().message()) << Qt::endl;
        return Failure;
    }
    if (parser.isSet(togglePause))
        return call(QStringLiteral("TogglePause"));
    if (parser.isSet(pause))
        return call(QStringLiteral("Pause"));
    if (parser.isSet(resume))
        return call(QStringLiteral("Resume"));
    if (parser.isSet(settings))
        return call(QStringLiteral("OpenSettings"), true);
    if (parser.isSet(reload))
        return call(QStringLiteral("ReloadRules"));
    if (parser.isSet(status))
        return printStatus(parser.isSet(json));
    if (parser.isSet(inputSources))
        return printInputSources(parser.isSet(json));
    return printApplications(parser.isSet(json));
}

std::optional<QDBusMessage> CommandLine::ask(const QString& service, const QString& interface, const QString& method,
                                             const QVariantList& arguments, bool autoStart)
{
    QDBusMessage message = QDBusMessage::createMethodCall(service, BusNames::path(), interface, method);
    message.setArguments(arguments);
    message.setAutoStartService(autoStart);
    const QDBusMessage reply = m_connection.call(message, QDBus::Block, kCallTimeoutMs);
    if (reply.type() == QDBusMessage::ReplyMessage)
        return reply;
    const QDBusError error(reply);
    if (error.type() == QDBusError::ServiceUnknown
        || error.name() == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner"))
        m_err << Tolvane::tr("Tolvane is not running.") << Qt::endl;
    else
        m_err << Tolvane::tr("Tolvane did not do it: %1").arg(error.message()) << Qt::endl;
    return std::nullopt;
}

int CommandLine::call(const QString& method, bool autoStart)
{
    // Only the settings may start Tolvane, through the name the bus can activate.
    const QString service = autoStart ? BusNames::settingsService() : BusNames::service();
    return ask(service, BusNames::interface(), method, {}, autoStart) ? Success : Failure;
}

int CommandLine::printStatus(bool json)
{
    const auto reply = ask(BusNames::service(), QStringLiteral("org.freedesktop.DBus.Properties"),
                           QStringLiteral("GetAll"), {BusNames::interface()});
    if (!reply)
        return Failure;
    const QVariantMap properties = fromBus<QVariantMap>(reply->arguments().value(0));
    const auto source = fromBus<BusInputSource>(properties.value(QStringLiteral("CurrentInputSource")));
    const auto application = fromBus<BusApplication>(properties.value(QStringLiteral("FrontmostApplication")));
    const QString backend = properties.value(QStringLiteral("Backend")).toString();
    const bool paused = properties.value(QStringLiteral("IsPaused")).toBool();
    const uint rules = properties.value(QStringLiteral("RuleCount")).toUInt();

    if (json) {
        const QJsonObject status{
            {QStringLiteral("backend"), backend},
            {QStringLiteral("paused"), paused},
            {QStringLiteral("application"),
             QJsonObject{{QStringLiteral("id"), application.id}, {QStringLiteral("name"), application.name}}},
            {QStringLiteral("inputSource"),
             QJsonObject{{QStringLiteral("id"), source.id},
                         {QStringLiteral("name"), source.name},
                         {QStringLiteral("flag"), source.flag}}},
            {QStringLiteral("ruleCount"), qint64(rules)},
        };
        m_out << QJsonDocument(status).toJson(QJsonDocument::Indented);
        return Success;
    }
    // Field names stay in English: scripts read them.
    m_out << "backend: " << backend << Qt::endl
          << "paused: " << yesNo(paused) << Qt::endl
          << "application: " << application.name << Qt::endl
          << "application-id: " << application.id << Qt::endl
          << "input-source: " << source.name << Qt::endl
          << "input-source-id: " << source.id << Qt::endl
          << "input-source-flag: " << source.flag << Qt::endl
          << "rules: " << rules << Qt::endl;
    return Success;
}

int CommandLine::printInputSources(bool json)
{
    const auto reply = ask(BusNames::service(), BusNames::interface(), QStringLiteral("ListInputSources"));
    if (!reply)
        return Failure;
    const auto sources = fromBus<QList<BusInputSource>>(reply->arguments().value(0));
    QJsonArray array;
    for (const BusInputSource& source : sources) {
        if (json)
            array.append(QJsonObject{{QStringLiteral("id"), source.id},
                                     {QStringLiteral("name"), source.name},
                                     {QStringLiteral("flag"), source.flag}});
        else
            m_out << source.id << '\t' << source.name << Qt::endl;
    }
    if (json)
        m_out << QJsonDocument(array).toJson(QJsonDocument::Indented);
    return Success;
}

int CommandLine::printApplications(bool json)
{
    const auto reply = ask(BusNames::service(), BusNames::interface(), QStringLiteral("ListApplications"));
    if (!reply)
        return Failure;
    const auto applications = fromBus<QList<BusApplication>>(reply->arguments().value(0));
    QJsonArray array;
    for (const BusApplication& application : applications) {
        if (json)
            array.append(
                QJsonObject{{QStringLiteral("id"), application.id}, {QStringLiteral("name"), application.name}});
        else
            m_out << application.id << '\t' << application.name << Qt::endl;
    }
    if (json)
        m_out << QJsonDocument(array).toJson(QJsonDocument::Indented);
    return Success;
}
