#include "support/EngineHarness.h"
#include "support/ProcessEnvironment.h"
#include "support/TestFiles.h"
#include "support/TestMain.h"

#include "app/BusRecords.h"
#include "core/RulesCodec.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <csignal>

using tolvane::test::readFile;
using tolvane::test::writeFile;

using tolvane::test::environmentUnder;
using tolvane::test::windowsOf;

namespace {
const QString kService = QStringLiteral("com.kelvora.Tolvane");
const QString kSettingsService = QStringLiteral("com.kelvora.Tolvane.Settings");
const QString kPath = QStringLiteral("/com/kelvora/Tolvane");
const QString kInterface = QStringLiteral("com.kelvora.Tolvane1");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");
const QString kTestApp = QStringLiteral("TolvaneCliTest");

// The members of com.kelvora.Tolvane1 in an introspection document, one line
// each with their signatures, sorted; argument names do not count.
QStringList interfaceMembers(const QByteArray& xml)
{
    QStringList members;
    QXmlStreamReader reader(xml);
    bool inInterface = false;
    bool inSignal = false;
    QString current;
    auto finish = [&] {
        if (!current.isEmpty())
            members.append(current);
        current.clear();
    };
    while (!reader.atEnd()) {
        reader.readNext();
        const auto attributes = reader.attributes();
        if (reader.isStartElement() && reader.name() == QLatin1String("interface"))
            inInterface = attributes.value(QLatin1String("name")) == QLatin1String("com.kelvora.Tolvane1");
        if (!inInterface || !reader.isStartElement())
            continue;
        if (reader.name() == QLatin1String("method") || reader.name() == QLatin1String("signal")) {
            finish();
            inSignal = reader.name() == QLatin1String("signal");
            current = reader.name().toString() + QLatin1Char(' ') + attributes.value(QLatin1String("name")).toString();
        } else if (reader.name() == QLatin1String("arg")) {
            // Signal arguments only go out; a method's are "in" unless said otherwise.
            const QString direction = inSignal ? QString() : attributes.value(QLatin1String("direction")).toString();
            current += QLatin1Char(' ') + (direction.isEmpty() && !inSignal ? QStringLiteral("in") : direction)
                + QLatin1Char(':') + attributes.value(QLatin1String("type")).toString();
        } else if (reader.name() == QLatin1String("property")) {
            finish();
            members.append(QStringLiteral("property %1 %2 %3")
                               .arg(attributes.value(QLatin1String("name")).toString(),
                                    attributes.value(QLatin1String("type")).toString(),
                                    attributes.value(QLatin1String("access")).toString()));
        }
    }
    finish();
    members.sort();
    return members;
}

struct Outcome {
    int exitCode = -1;
    QString out;
    QString err;
};

// What Tolvane announces on the bus.
class BusRecorder : public QObject {
    Q_OBJECT
public:
    QList<QVariantMap> changes;
    QList<QStringList> switches;
public Q_SLOTS:
    void propertiesChanged(const QString&, const QVariantMap& changed, const QStringList&) { changes.append(changed); }
    void switched(const QString& applicationID, const QString& inputSourceID)
    {
        switches.append({applicationID, inputSourceID});
    }
};
} // namespace

// The command line against the real binary, on a private session bus that can
// start Tolvane for the settings name as the installed service file does.
class CommandLineTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_home;
    QProcessEnvironment m_environment;
    QProcess m_busDaemon;
    QProcess m_testWindow;
    QDBusConnection m_bus{QString()};
    BusRecorder m_recorder;

    Outcome run(const QStringList& arguments)
    {
        QProcess tolvane;
        tolvane.setProcessEnvironment(m_environment);
        tolvane.start(QStringLiteral(TOLVANE_BINARY), arguments);
        if (!tolvane.waitForFinished(10000))
            return {};
        return {tolvane.exitCode(), QString::fromUtf8(tolvane.readAllStandardOutput()),
                QString::fromUtf8(tolvane.readAllStandardError())};
    }

    bool tolvaneRuns() { return m_bus.interface()->isServiceRegistered(kService); }

    QString rulesPath() const { return m_home.filePath(QStringLiteral("data/Tolvane/rules.json")); }

    void writeRules(const QByteArray& data) { QVERIFY(writeFile(rulesPath(), data)); }

    QVariant property(const QString& name)
    {
        QDBusMessage get = QDBusMessage::createMethodCall(kService, kPath, kProperties, QStringLiteral("Get"));
        get << kInterface << name;
        const QDBusMessage reply = m_bus.call(get);
        return reply.arguments().value(0).value<QDBusVariant>().variant();
    }

    QStringList statusLines()
    {
        return run({QStringLiteral("--status")}).out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

private Q_SLOTS:
    void initTestCase()
    {
        registerBusRecords();
        m_environment = environmentUnder(m_home.path());
        // The service file as installed, with the binary under test.
        QVERIFY(writeFile(m_home.filePath(QStringLiteral("services/com.kelvora.Tolvane.Settings.service")),
                          "[D-BUS Service]\nName=com.kelvora.Tolvane.Settings\nExec=" TOLVANE_BINARY "\n"));
        const QString config = m_home.filePath(QStringLiteral("bus.conf"));
        QVERIFY(writeFile(config,
                          QStringLiteral("<busconfig><type>session</type><listen>unix:dir=%1</listen>"
                                         "<servicedir>%1/services</servicedir><policy context=\"default\">"
                                         "<allow send_destination=\"*\" eavesdrop=\"true\"/>"
                                         "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>")
                              .arg(m_home.path())
                              .toUtf8()));

        // Whatever the bus starts inherits its environment: the test's home.
        m_busDaemon.setProcessEnvironment(m_environment);
        m_busDaemon.start(QStringLiteral("dbus-daemon"),
                          {QStringLiteral("--config-file=") + config, QStringLiteral("--nofork"),
                           QStringLiteral("--print-address=1")});
        QVERIFY(m_busDaemon.waitForReadyRead(5000));
        const QString address = QString::fromUtf8(m_busDaemon.readLine()).trimmed();
        m_environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address);
        m_bus = QDBusConnection::connectToBus(address, QStringLiteral("cli-test"));
        QVERIFY(m_bus.isConnected());
        m_bus.connect(kService, kPath, kProperties, QStringLiteral("PropertiesChanged"), &m_recorder,
                      SLOT(propertiesChanged(QString, QVariantMap, QStringList)));
        m_bus.connect(kService, kPath, kInterface, QStringLiteral("Switched"), &m_recorder,
                      SLOT(switched(QString, QString)));

        writeRules(RulesCodec::encode({ruleFor(kTestApp, QStringLiteral("xkb:de"))}));
    }

    void cleanupTestCase()
    {
        if (const auto pid = m_bus.interface()->servicePid(kService); pid.isValid() && pid.value() > 0) {
            ::kill(pid_t(pid.value()), SIGTERM);
            QTRY_VERIFY_WITH_TIMEOUT(!tolvaneRuns(), 5000);
        }
        m_testWindow.kill();
        m_testWindow.waitForFinished();
        QDBusConnection::disconnectFromBus(QStringLiteral("cli-test"));
        m_busDaemon.terminate();
        m_busDaemon.waitForFinished();
    }

    void usage_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        const QString options = QStringLiteral("--toggle-pause");
        const auto row = [](const char* tag, const QStringList& arguments, int exitCode, const QString& out,
                            const QString& err) { QTest::newRow(tag) << arguments << exitCode << out << err; };
        row("help", {"--help"}, 0, options, "");
        row("help-all", {"--help-all"}, 0, options, "");
        row("version", {"--version"}, 0, "tolvane " TOLVANE_VERSION "\n", "");
        row("unknown option", {"--frobnicate"}, 2, "", "Unknown option 'frobnicate'.");
        row("argument", {"status"}, 2, "", options);
        row("two actions", {"--pause", "--resume"}, 2, "", options);
        row("json alone", {"--json"}, 2, "", options);
        row("json with pause", {"--pause", "--json"}, 2, "", options);
    }

    // Needs no running Tolvane; a mistake prints the help on standard error.
    void usage()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, out);
        QFETCH(QString, err);
        const Outcome outcome = run(arguments);
        QCOMPARE(outcome.exitCode, exitCode);
        if (out.endsWith(QLatin1Char('\n')))
            QCOMPARE(outcome.out, out);
        else
            QVERIFY2(outcome.out.contains(out), qPrintable(outcome.out));
        if (err.isEmpty())
            QCOMPARE(outcome.err, QString());
        else
            QVERIFY2(outcome.err.contains(err) && outcome.err.contains(QStringLiteral("Usage:")),
                     qPrintable(outcome.err));
        QVERIFY(!tolvaneRuns());
    }

    void withoutTolvane_data()
    {
        QTest::addColumn<QStringList>("arguments");
        for (const char* option : {"--toggle-pause", "--pause", "--resume", "--reload-rules", "--status",
                                   "--list-input-sources", "--list-applications"})
            QTest::newRow(option) << QStringList{QString::fromLatin1(option)};
        QTest::newRow("--status --json") << QStringList{QStringLiteral("--status"), QStringLiteral("--json")};
    }

    // One line on standard error, and the call does not start Tolvane.
    void withoutTolvane()
    {
        QFETCH(QStringList, arguments);
        const Outcome outcome = run(arguments);
        QCOMPARE(outcome.exitCode, 1);
        QCOMPARE(outcome.out, QString());
        QCOMPARE(outcome.err, QStringLiteral("Tolvane is not running.\n"));
        QVERIFY(!tolvaneRuns());
    }

    // A plain start whose name is held by something that does not answer ends
    // instead of running a second engine beside it.
    void plainStartBesideAnOwnerThatDoesNotAnswer()
    {
        QVERIFY(m_bus.registerService(kService));
        const Outcome outcome = run({});
        QVERIFY(m_bus.unregisterService(kService));
        QCOMPARE(outcome.exitCode, 1);
    }

    // --settings is the one request that starts Tolvane; it then shows its settings.
    void settingsStartsTolvane()
    {
        m_testWindow.start(QStringLiteral(TOLVANE_TEST_WINDOW), {QStringLiteral("--class"), kTestApp});
        QVERIFY(m_testWindow.waitForReadyRead(5000));

        const Outcome outcome = run({QStringLiteral("--settings")});
        QCOMPARE(outcome.exitCode, 0);
        QCOMPARE(outcome.err, QString());
        QVERIFY(tolvaneRuns());
        const qint64 pid = m_bus.interface()->servicePid(kService).value();
        QTRY_COMPARE_WITH_TIMEOUT(windowsOf(pid), 1, 5000);
        // Another program selects the first layout; the settings window took the
        // focus: give it back to the test window, whose rule selects German again.
        QProcess::execute(QStringLiteral(TOLVANE_TEST_WINDOW), {QStringLiteral("--lock-group"), QStringLiteral("0")});
        QTRY_COMPARE(
            qdbus_cast<BusInputSource>(property(QStringLiteral("CurrentInputSource")).value<QDBusArgument>()).id,
            QStringLiteral("xkb:us"));
        QProcess::execute(QStringLiteral("xdotool"),
                          {QStringLiteral("search"), QStringLiteral("--class"), kTestApp,
                           QStringLiteral("windowactivate"), QStringLiteral("--sync")});
        QTRY_COMPARE_WITH_TIMEOUT(m_recorder.switches.value(0), (QStringList{kTestApp, QStringLiteral("xkb:de")}),
                                  5000);
        // The application in front and the source it got were announced.
        auto lastAnnounced = [this](const QString& name) {
            for (qsizetype i = m_recorder.changes.size() - 1; i >= 0; --i) {
                if (m_recorder.changes.at(i).contains(name))
                    return m_recorder.changes.at(i).value(name).value<QDBusArgument>();
            }
            return QDBusArgument();
        };
        QTRY_COMPARE(qdbus_cast<BusApplication>(lastAnnounced(QStringLiteral("FrontmostApplication"))).id, kTestApp);
        QTRY_COMPARE(qdbus_cast<BusInputSource>(lastAnnounced(QStringLiteral("CurrentInputSource"))).id,
                     QStringLiteral("xkb:de"));
    }

    void status()
    {
        const QString flag = QStringLiteral("🇩🇪"); // from xkeyboard-config: "xkb:de" holds no keyword
        QCOMPARE(statusLines(),
                 (QStringList{
                     QStringLiteral("backend: x11"),
                     QStringLiteral("paused: no"),
                     QStringLiteral("application: ") + kTestApp,
                     QStringLiteral("application-id: ") + kTestApp,
                     QStringLiteral("input-source: German"),
                     QStringLiteral("input-source-id: xkb:de"),
                     QStringLiteral("input-source-flag: ") + flag,
                     QStringLiteral("rules: 1"),
                 }));

        const Outcome json = run({QStringLiteral("--status"), QStringLiteral("--json")});
        QCOMPARE(json.exitCode, 0);
        const QJsonObject status = QJsonDocument::fromJson(json.out.toUtf8()).object();
        QCOMPARE(status.value(QStringLiteral("backend")).toString(), QStringLiteral("x11"));
        QCOMPARE(status.value(QStringLiteral("paused")), QJsonValue(false));
        QCOMPARE(status.value(QStringLiteral("application")).toObject().value(QStringLiteral("id")).toString(),
                 kTestApp);
        QCOMPARE(status.value(QStringLiteral("inputSource")).toObject(),
                 (QJsonObject{{QStringLiteral("id"), QStringLiteral("xkb:de")},
                              {QStringLiteral("name"), QStringLiteral("German")},
                              {QStringLiteral("flag"), flag}}));
        QCOMPARE(status.value(QStringLiteral("ruleCount")).toInt(), 1);

        const Outcome sources = run({QStringLiteral("--list-input-sources")});
        QCOMPARE(sources.exitCode, 0);
        QCOMPARE(sources.out, QStringLiteral("xkb:us\tEnglish (US)\nxkb:de\tGerman\nxkb:ru\tRussian\n"));
        const Outcome applications = run({QStringLiteral("--list-applications")});
        QCOMPARE(applications.exitCode, 0);
        QVERIFY2(applications.out.split(QLatin1Char('\n')).contains(kTestApp + QLatin1Char('\t') + kTestApp),
                 qPrintable(applications.out));
    }

    // The file installed for developers describes what the running Tolvane offers.
    void introspectionMatchesTheInterfaceFile()
    {
        QFile file(QStringLiteral(TOLVANE_SOURCE_DIR "/data/dbus/com.kelvora.Tolvane1.xml"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QDBusMessage reply = m_bus.call(QDBusMessage::createMethodCall(
            kService, kPath, QStringLiteral("org.freedesktop.DBus.Introspectable"), QStringLiteral("Introspect")));
        const QStringList live = interfaceMembers(reply.arguments().value(0).toString().toUtf8());
        QVERIFY(live.size() > 10);
        QCOMPARE(interfaceMembers(file.readAll()), live);
    }

    void pauseOptions_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<bool>("paused");
        QTest::newRow("pause") << QStringLiteral("--pause") << true;
        QTest::newRow("pause again") << QStringLiteral("--pause") << true;
        QTest::newRow("toggle to running") << QStringLiteral("--toggle-pause") << false;
        QTest::newRow("toggle to paused") << QStringLiteral("--toggle-pause") << true;
        QTest::newRow("resume") << QStringLiteral("--resume") << false;
        QTest::newRow("resume again") << QStringLiteral("--resume") << false;
    }

    // Each change is announced with PropertiesChanged; a request that changes nothing announces nothing.
    void pauseOptions()
    {
        QFETCH(QString, option);
        QFETCH(bool, paused);
        const bool before = property(QStringLiteral("IsPaused")).toBool();
        m_recorder.changes.clear();
        const Outcome outcome = run({option});
        QCOMPARE(outcome.exitCode, 0);
        QCOMPARE(outcome.out + outcome.err, QString());
        QCOMPARE(property(QStringLiteral("IsPaused")).toBool(), paused);
        QVERIFY(statusLines().contains(paused ? QStringLiteral("paused: yes") : QStringLiteral("paused: no")));
        if (before != paused)
            QTRY_COMPARE(m_recorder.changes.value(0).value(QStringLiteral("IsPaused")), QVariant(paused));
        else
            QCOMPARE(m_recorder.changes.size(), 0);
    }

    // Only the user's own file changes the rules; a broken one keeps those in use.
    void reloadRules()
    {
        m_recorder.changes.clear();
        writeRules(RulesCodec::encode(
            {ruleFor(kTestApp, QStringLiteral("xkb:de")), ruleFor(QStringLiteral("other"), QStringLiteral("xkb:ru"))}));
        QCOMPARE(run({QStringLiteral("--reload-rules")}).exitCode, 0);
        QVERIFY(statusLines().contains(QStringLiteral("rules: 2")));
        QTRY_COMPARE(m_recorder.changes.value(0).value(QStringLiteral("RuleCount")), QVariant(2u));

        writeRules("{ not json");
        const Outcome broken = run({QStringLiteral("--reload-rules")});
        QCOMPARE(broken.exitCode, 1);
        QCOMPARE(broken.err.count(QLatin1Char('\n')), 1);
        QVERIFY2(broken.err.startsWith(QStringLiteral("Tolvane did not do it: ")), qPrintable(broken.err));
        QVERIFY(statusLines().contains(QStringLiteral("rules: 2")));
    }

    void hostileClient_data()
    {
        QTest::addColumn<QString>("service");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("interface");
        QTest::addColumn<QString>("method");
        QTest::addColumn<QVariantList>("arguments");
        const QString huge(1 << 20, QLatin1Char('x'));
        const auto row = [](const char* tag, const QString& service, const QString& path, const QString& interface,
                            const QString& method, const QVariantList& arguments) {
            QTest::newRow(tag) << service << path << interface << method << arguments;
        };
        row("unknown method", kService, kPath, kInterface, "DeleteRules", {});
        row("argument to Pause", kService, kPath, kInterface, "Pause", {42});
        row("huge argument", kService, kPath, kInterface, "TogglePause", {huge});
        row("path to ReloadRules", kService, kPath, kInterface, "ReloadRules", {QStringLiteral("/etc/passwd")});
        row("unknown interface", kService, kPath, "com.kelvora.Tolvane2", "Pause", {});
        row("unknown path", kService, "/com/kelvora/Tolvane/rules", kInterface, "Pause", {});
        row("set a read-only property", kService, kPath, kProperties, "Set",
            {kInterface, QStringLiteral("IsPaused"), QVariant::fromValue(QDBusVariant(true))});
        row("set with the wrong type", kService, kPath, kProperties, "Set",
            {kInterface, QStringLiteral("RuleCount"), QVariant::fromValue(QDBusVariant(QStringLiteral("9")))});
        row("unknown property", kService, kPath, kProperties, "Get", {kInterface, QStringLiteral("Rules")});
        row("Get without arguments", kService, kPath, kProperties, "Get", {});
        row("pause through the settings name", kSettingsService, kPath, kInterface, "Pause", {});
    }

    // Each gets an error reply; Tolvane keeps answering and nothing changed.
    void hostileClient()
    {
        QFETCH(QString, service);
        QFETCH(QString, path);
        QFETCH(QString, interface);
        QFETCH(QString, method);
        QFETCH(QVariantList, arguments);
        const QByteArray rulesBefore = readFile(rulesPath());
        QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
        message.setArguments(arguments);
        const QDBusMessage reply = m_bus.call(message, QDBus::Block, 5000);
        QCOMPARE(reply.type(), QDBusMessage::ErrorMessage);
        QVERIFY2(reply.errorName() != QLatin1String("org.freedesktop.DBus.Error.NoReply"),
                 qPrintable(reply.errorMessage()));

        QCOMPARE(run({QStringLiteral("--status")}).exitCode, 0);
        QCOMPARE(property(QStringLiteral("IsPaused")).toBool(), false);
        QCOMPARE(readFile(rulesPath()), rulesBefore);
    }
};

TOLVANE_TEST_GUILESS_MAIN(CommandLineTest)
#include "CommandLineTest.moc"
