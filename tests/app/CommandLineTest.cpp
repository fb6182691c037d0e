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

using tolvane::test::environmentUnder;
using tolvane::test::readFile;
using tolvane::test::windowsOf;
using tolvane::test::writeFile;

namespace {
const QString kService = QStringLiteral("com.kelvora.Tolvane");
const QString kSettingsService = QStringLiteral("com.kelvora.Tolvane.Settings");
const QString kPath = QStringLiteral("/com/kelvora/Tolvane");
const QString kInterface = QStringLiteral("com.kelvora.Tolvane1");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");
const QString kTestApp = QStringLiteral("TolvaneCliTest");

// The members of com.kelvora.Tolvane1 in an introspection document, one line each
// with its signature ("method Name in:s out:b"), sorted; argument names do not count.
QStringList interfaceMembers(const QByteArray& xml)
{
    QStringList members;
    QXmlStreamReader reader(xml);
    bool inInterface = false;
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QString element = reader.name().toString();
        const auto attribute = [&reader](const char* name) {
            return reader.attributes().value(QLatin1String(name)).toString();
        };
        if (element == QLatin1String("interface"))
            inInterface = attribute("name") == QLatin1String("com.kelvora.Tolvane1");
        else if (inInterface && (element == QLatin1String("method") || element == QLatin1String("signal")))
            members.append(element + QLatin1Char(' ') + attribute("name"));
        else if (inInterface && element == QLatin1String("property"))
            members.append(
                QStringLiteral("property %1 %2 %3").arg(attribute("name"), attribute("type"), attribute("access")));
        else if (inInterface && element == QLatin1String("arg")) {
            // A signal's arguments only go out; a method's are "in" unless said otherwise.
            QString direction = attribute("direction");
            if (members.last().startsWith(QLatin1String("signal")))
                direction.clear();
            else if (direction.isEmpty())
                direction = QStringLiteral("in");
            members.last() += QLatin1Char(' ') + direction + QLatin1Char(':') + attribute("type");
        }
    }
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
    QVariantMap latest; // each property's last announced value
    QList<QStringList> switches;
public Q_SLOTS:
    void propertiesChanged(const QString&, const QVariantMap& changed, const QStringList&)
    {
        changes.append(changed);
        latest.insert(changed);
    }
    void switched(const QString& application, const QString& source) { switches.append({application, source}); }
};

QDBusMessage call(const QString& interface, const QString& method, const QVariantList& arguments = {},
                  const QString& path = kPath, const QString& service = kService)
{
    QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
    message.setArguments(arguments);
    return message;
}
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

    QVariant property(const QString& name)
    {
        const QDBusMessage reply = m_bus.call(call(kProperties, "Get", {kInterface, name}));
        return reply.arguments().value(0).value<QDBusVariant>().variant();
    }

private Q_SLOTS:
    void initTestCase()
    {
        registerBusRecords();
        m_environment = environmentUnder(m_home.path());
        // The service file as installed, with the binary under test.
        QVERIFY(writeFile(m_home.filePath("services/com.kelvora.Tolvane.Settings.service"),
                          "[D-BUS Service]\nName=com.kelvora.Tolvane.Settings\nExec=" TOLVANE_BINARY "\n"));
        const QString config = m_home.filePath("bus.conf");
        QVERIFY(writeFile(config,
                          QStringLiteral("<busconfig><type>session</type><listen>unix:dir=%1</listen>"
                                         "<servicedir>%1/services</servicedir><policy context=\"default\">"
                                         "<allow send_destination=\"*\" eavesdrop=\"true\"/>"
                                         "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>")
                              .arg(m_home.path())
                              .toUtf8()));

        // Whatever the bus starts inherits its environment: the test's home.
        m_busDaemon.setProcessEnvironment(m_environment);
        m_busDaemon.start("dbus-daemon", {"--config-file=" + config, "--nofork", "--print-address=1"});
        QVERIFY(m_busDaemon.waitForReadyRead(5000));
        const QString address = QString::fromUtf8(m_busDaemon.readLine()).trimmed();
        m_environment.insert("DBUS_SESSION_BUS_ADDRESS", address);
        m_bus = QDBusConnection::connectToBus(address, "cli-test");
        QVERIFY(m_bus.isConnected());
        m_bus.connect(kService, kPath, kProperties, "PropertiesChanged", &m_recorder,
                      SLOT(propertiesChanged(QString, QVariantMap, QStringList)));
        m_bus.connect(kService, kPath, kInterface, "Switched", &m_recorder, SLOT(switched(QString, QString)));

        QVERIFY(writeFile(rulesPath(), RulesCodec::encode({ruleFor(kTestApp, "xkb:de")})));
    }

    void cleanupTestCase()
    {
        if (const auto pid = m_bus.interface()->servicePid(kService); pid.isValid() && pid.value() > 0) {
            ::kill(pid_t(pid.value()), SIGTERM);
            QTRY_VERIFY_WITH_TIMEOUT(!tolvaneRuns(), 5000);
        }
        m_testWindow.kill();
        m_testWindow.waitForFinished();
        QDBusConnection::disconnectFromBus("cli-test");
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
            QVERIFY2(outcome.err.contains(err) && outcome.err.contains("Usage:"), qPrintable(outcome.err));
        QVERIFY(!tolvaneRuns());
    }

    void withoutTolvane_data()
    {
        QTest::addColumn<QStringList>("arguments");
        for (const char* option : {"--toggle-pause", "--pause", "--resume", "--reload-rules", "--status",
                                   "--list-input-sources", "--list-applications"})
            QTest::newRow(option) << QStringList{option};
        QTest::newRow("--status --json") << QStringList{"--status", "--json"};
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
        m_testWindow.start(QStringLiteral(TOLVANE_TEST_WINDOW), {"--class", kTestApp});
        QVERIFY(m_testWindow.waitForReadyRead(5000));

        const Outcome outcome = run({"--settings"});
        QCOMPARE(outcome.exitCode, 0);
        QCOMPARE(outcome.err, QString());
        QVERIFY(tolvaneRuns());
        QTRY_COMPARE_WITH_TIMEOUT(windowsOf(m_bus.interface()->servicePid(kService).value()), 1, 5000);
        // Another program selects the first layout; the settings window took the
        // focus: give it back to the test window, whose rule selects German again.
        QProcess::execute(QStringLiteral(TOLVANE_TEST_WINDOW), {"--lock-group", "0"});
        QTRY_COMPARE(qdbus_cast<BusInputSource>(property("CurrentInputSource").value<QDBusArgument>()).id,
                     QStringLiteral("xkb:us"));
        QProcess::execute("xdotool", {"search", "--class", kTestApp, "windowactivate", "--sync"});
        QTRY_COMPARE_WITH_TIMEOUT(m_recorder.switches.value(0), (QStringList{kTestApp, "xkb:de"}), 5000);
        // The application in front and the source it got were announced.
        const auto announced = [this](const char* name) {
            return m_recorder.latest.value(name).value<QDBusArgument>();
        };
        QTRY_COMPARE(qdbus_cast<BusApplication>(announced("FrontmostApplication")).id, kTestApp);
        QTRY_COMPARE(qdbus_cast<BusInputSource>(announced("CurrentInputSource")).id, QStringLiteral("xkb:de"));
    }

    void status()
    {
        const QString flag = QStringLiteral("🇩🇪"); // from xkeyboard-config: "xkb:de" holds no keyword
        const Outcome text = run({"--status"});
        QCOMPARE(text.exitCode, 0);
        QCOMPARE(text.out,
                 QStringLiteral("backend: x11\npaused: no\napplication: %1\napplication-id: %1\n"
                                "input-source: German\ninput-source-id: xkb:de\ninput-source-flag: %2\n"
                                "rules: 1\n")
                     .arg(kTestApp, flag));

        const Outcome json = run({"--status", "--json"});
        QCOMPARE(json.exitCode, 0);
        QCOMPARE(QJsonDocument::fromJson(json.out.toUtf8()).object(),
                 (QJsonObject{{"backend", "x11"},
                              {"paused", false},
                              {"application", QJsonObject{{"id", kTestApp}, {"name", kTestApp}}},
                              {"inputSource", QJsonObject{{"id", "xkb:de"}, {"name", "German"}, {"flag", flag}}},
                              {"ruleCount", 1}}));

        const Outcome sources = run({"--list-input-sources"});
        QCOMPARE(sources.exitCode, 0);
        QCOMPARE(sources.out, QStringLiteral("xkb:us\tEnglish (US)\nxkb:de\tGerman\nxkb:ru\tRussian\n"));
        const Outcome applications = run({"--list-applications"});
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
        QTest::newRow("pause") << "--pause" << true;
        QTest::newRow("pause again") << "--pause" << true;
        QTest::newRow("toggle to running") << "--toggle-pause" << false;
        QTest::newRow("toggle to paused") << "--toggle-pause" << true;
        QTest::newRow("resume") << "--resume" << false;
        QTest::newRow("resume again") << "--resume" << false;
    }

    // Each change is announced with PropertiesChanged; a request that changes nothing announces nothing.
    void pauseOptions()
    {
        QFETCH(QString, option);
        QFETCH(bool, paused);
        const bool before = property("IsPaused").toBool();
        m_recorder.changes.clear();
        const Outcome outcome = run({option});
        QCOMPARE(outcome.exitCode, 0);
        QCOMPARE(outcome.out + outcome.err, QString());
        QCOMPARE(property("IsPaused").toBool(), paused);
        QVERIFY(run({"--status"}).out.contains(paused ? "\npaused: yes\n" : "\npaused: no\n"));
        if (before != paused)
            QTRY_COMPARE(m_recorder.changes.value(0).value("IsPaused"), QVariant(paused));
        else
            QCOMPARE(m_recorder.changes.size(), 0);
    }

    // Only the user's own file changes the rules; a broken one keeps those in use.
    void reloadRules()
    {
        m_recorder.changes.clear();
        QVERIFY(writeFile(rulesPath(), RulesCodec::encode({ruleFor(kTestApp, "xkb:de"), ruleFor("other", "xkb:ru")})));
        QCOMPARE(run({"--reload-rules"}).exitCode, 0);
        QVERIFY(run({"--status"}).out.contains("\nrules: 2\n"));
        QTRY_COMPARE(m_recorder.changes.value(0).value("RuleCount"), QVariant(2u));

        QVERIFY(writeFile(rulesPath(), "{ not json"));
        const Outcome broken = run({"--reload-rules"});
        QCOMPARE(broken.exitCode, 1);
        QCOMPARE(broken.err.count(QLatin1Char('\n')), 1);
        QVERIFY2(broken.err.startsWith("Tolvane did not do it: "), qPrintable(broken.err));
        QVERIFY(run({"--status"}).out.contains("\nrules: 2\n"));
    }

    void hostileClient_data()
    {
        QTest::addColumn<QDBusMessage>("message");
        const auto set = [](const char* name, const QVariant& value) {
            return call(kProperties, "Set", {kInterface, name, QVariant::fromValue(QDBusVariant(value))});
        };
        QTest::newRow("unknown method") << call(kInterface, "DeleteRules");
        QTest::newRow("argument to Pause") << call(kInterface, "Pause", {42});
        QTest::newRow("huge argument") << call(kInterface, "TogglePause", {QString(1 << 20, QLatin1Char('x'))});
        QTest::newRow("path to ReloadRules") << call(kInterface, "ReloadRules", {"/etc/passwd"});
        QTest::newRow("unknown interface") << call("com.kelvora.Tolvane2", "Pause");
        QTest::newRow("unknown path") << call(kInterface, "Pause", {}, "/com/kelvora/Tolvane/rules");
        QTest::newRow("set a read-only property") << set("IsPaused", true);
        QTest::newRow("set with the wrong type") << set("RuleCount", "9");
        QTest::newRow("unknown property") << call(kProperties, "Get", {kInterface, "Rules"});
        QTest::newRow("Get without arguments") << call(kProperties, "Get");
        QTest::newRow("pause through the settings name") << call(kInterface, "Pause", {}, kPath, kSettingsService);
    }

    // Each gets an error reply; Tolvane keeps answering and nothing changed.
    void hostileClient()
    {
        QFETCH(QDBusMessage, message);
        const QByteArray rulesBefore = readFile(rulesPath());
        const QDBusMessage reply = m_bus.call(message, QDBus::Block, 5000);
        QCOMPARE(reply.type(), QDBusMessage::ErrorMessage);
        QVERIFY2(reply.errorName() != QLatin1String("org.freedesktop.DBus.Error.NoReply"),
                 qPrintable(reply.errorMessage()));

        QCOMPARE(run({"--status"}).exitCode, 0);
        QCOMPARE(property("IsPaused").toBool(), false);
        QCOMPARE(readFile(rulesPath()), rulesBefore);
    }
};

TOLVANE_TEST_GUILESS_MAIN(CommandLineTest)
#include "CommandLineTest.moc"
