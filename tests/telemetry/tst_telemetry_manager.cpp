// The public entry point and the manager: reserved names, prefixes, user hashing, dropped
// signals, sessions of the configuration, the default payload and the C interface.
#include "TelemetryTestSupport.h"

#include "DefaultSignalPayload.h"
#include "Sha256.h"
#include "TelemetryClient.h"
#include "TelemetryDeck.h"

#include "support/TestMain.h"

using namespace telemetrytest;

namespace {

const QString prefixWarning = QStringLiteral(
    "Sending signal with reserved prefix 'TelemetryDeck.' will cause unexpected behavior. Please use another prefix instead.");
const QString keyPrefixWarning = QStringLiteral("Sending parameter with reserved key prefix 'TelemetryDeck.' will cause "
                                                "unexpected behavior. Please use another prefix instead.");

QString nameWarning(const QString& name)
{
    return "Sending signal with reserved name '" + name + "' will cause unexpected behavior. Please use another name instead.";
}

QString keyWarning(const QString& key)
{
    return "Sending parameter with reserved key '" + key + "' will cause unexpected behavior. Please use another key instead.";
}

class EnricherStub : public SignalEnricher {
public:
    SignalParameters extraParameters(const QString& type, const std::optional<QString>&, std::optional<double>) const override
    {
        return {{"enriched", type}, {"shared", "enricher"}, {"platform", "FromEnricher"}};
    }
};

} // namespace

class TelemetryManagerTest : public QObject {
    Q_OBJECT

    std::shared_ptr<TelemetryManagerConfiguration> m_configuration;
    LogCapture m_logs;

    SignalCache& cache() { return currentPipeline()->signalCache(); }

    void start(const std::function<void(TelemetryManagerConfiguration&)>& adjust = {})
    {
        m_configuration = testConfiguration(unreachableUrl());
        m_logs.clear();
        m_configuration->setLogHandler(m_logs.handler(LogLevel::info));
        if (adjust)
            adjust(*m_configuration);
        TelemetryManager::initialize(m_configuration);
    }

private slots:
    void init() { resetClient(); }
    void cleanup()
    {
        qunsetenv("XCODE_RUNNING_FOR_PREVIEWS");
        DefaultSignalPayload::setDeviceFactsProvider({});
        resetClient();
    }

    void reservedNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("signalPrefix");
        QTest::addColumn<QString>("parameterPrefix");
        QTest::addColumn<bool>("warnings");
        QTest::addColumn<QStringList>("expectedErrors");
        QTest::addColumn<QString>("sentName");
        QTest::addColumn<QString>("sentKey");

        QTest::newRow("reserved prefix") << "TelemetryDeck.mine" << "k" << "" << "" << true << QStringList{prefixWarning}
                                         << "TelemetryDeck.mine" << "k";
        QTest::newRow("reserved prefix, any case") << "TELEMETRYDECK.mine" << "k" << "" << "" << true
                                                   << QStringList{prefixWarning} << "TELEMETRYDECK.mine" << "k";
        QTest::newRow("reserved name quoted as written") << "Platform" << "k" << "" << "" << true
                                                         << QStringList{nameWarning("Platform")} << "Platform" << "k";
        QTest::newRow("signal prefix makes it harmless") << "type" << "k" << "App." << "" << true << QStringList{}
                                                         << "App.type" << "k";
        QTest::newRow("reserved key") << "ok" << "appVersion" << "" << "" << true << QStringList{keyWarning("appVersion")}
                                      << "ok" << "appVersion";
        QTest::newRow("prefixed key stays reserved") << "ok" << "TelemetryDeck.x" << "" << "my." << true
                                                     << QStringList{keyPrefixWarning} << "ok" << "TelemetryDeck.x";
        QTest::newRow("lower-case key gets the prefix") << "ok" << "telemetrydeck.x" << "" << "my." << true
                                                        << QStringList{} << "ok" << "my.telemetrydeck.x";
        QTest::newRow("lower-case key without prefix") << "ok" << "telemetrydeck.x" << "" << "" << true
                                                       << QStringList{keyPrefixWarning} << "ok" << "telemetrydeck.x";
        QTest::newRow("warnings off") << "platform" << "LOCALE" << "" << "" << false << QStringList{} << "platform"
                                      << "LOCALE";
    }

    void reservedNames()
    {
        QFETCH(QString, name);
        QFETCH(QString, key);
        QFETCH(QString, signalPrefix);
        QFETCH(QString, parameterPrefix);
        QFETCH(bool, warnings);
        QFETCH(QStringList, expectedErrors);
        QFETCH(QString, sentName);
        QFETCH(QString, sentKey);
        start([&](TelemetryManagerConfiguration& c) {
            if (!signalPrefix.isEmpty())
                c.setDefaultSignalPrefix(signalPrefix);
            if (!parameterPrefix.isEmpty())
                c.setDefaultParameterPrefix(parameterPrefix);
            c.setReservedParameterWarningsEnabled(warnings);
        });
        TelemetryDeck::signal(name, {{key, "value"}});
        QCOMPARE(m_logs.messages(LogLevel::error), expectedErrors);
        // A warning never stops the signal.
        QVERIFY(waitForCount(cache(), 1));
        const SignalPostBody sent = cache().snapshot().constFirst();
        QCOMPARE(sent.type, sentName);
        QCOMPARE(sent.payload.value(sentKey), QStringLiteral("value"));
    }

    void defaultParametersAreAlwaysChecked()
    {
        start([](TelemetryManagerConfiguration& c) {
            c.setReservedParameterWarningsEnabled(false);
            c.setDefaultParameters([] { return SignalParameters{{"locale", "de"}, {"tier", "free"}}; });
            c.setMetadataEnrichers({std::make_shared<EnricherStub>()});
        });
        TelemetryDeck::signal("s", {{"tier", "pro"}, {"shared", "signal"}});
        QCOMPARE(m_logs.messages(LogLevel::error), QStringList{keyWarning("locale")});
        QVERIFY(waitForCount(cache(), 1));
        const SignalParameters payload = cache().snapshot().constFirst().payload;
        QCOMPARE(payload.value("tier"), QStringLiteral("pro"));       // signal over default parameters
        QCOMPARE(payload.value("locale"), QStringLiteral("de"));      // default parameters over the payload
        QCOMPARE(payload.value("shared"), QStringLiteral("signal"));  // signal over enrichers
        QCOMPARE(payload.value("enriched"), QStringLiteral("s"));
        QCOMPARE(payload.value("platform"), QStringLiteral("FromEnricher")); // enrichers over the payload
    }

    void userHash()
    {
        start([](TelemetryManagerConfiguration& c) { c.setDefaultUser(QStringLiteral("alice")); });
        const QString hash = TelemetryManager::hashedDefaultUser();
        QCOMPARE(hash, Sha256::hex("alice"));
        QCOMPARE(hash, QStringLiteral("2bd806c97f0e00af1a1fc3328fa763a9269723c8db8fac4f93af71db186d6e90"));
        resetClient();

        auto other = std::make_shared<TelemetryManagerConfiguration>("TEST-APP", QStringLiteral("salt"), unreachableUrl());
        other->setDefaultUser(QStringLiteral("alice"));
        TelemetryManager::initialize(other);
        QCOMPARE(TelemetryManager::hashedDefaultUser(), Sha256::hex("alice", "salt"));
        QVERIFY(TelemetryManager::hashedDefaultUser() != hash);
        resetClient();

        // Without a configured user one is generated once and kept in the client's suite.
        start();
        const QString generated = TelemetryManager::resolveDefaultUser(*m_configuration);
        QVERIFY(!QUuid::fromString(generated).isNull());
        QCOMPARE(generated, generated.toUpper());
        QCOMPARE(TelemetryManager::resolveDefaultUser(*m_configuration), generated);
        QCOMPARE(TelemetryManager::clientSuite()->value("defaultUserIdentifier").toString(), generated);
        QCOMPARE(TelemetryManager::clientSuiteName("TEST-APP"),
                 "com.telemetrydeck." + Sha256::hex("TEST-APP").right(12));
    }

    void droppedSignals_data()
    {
        QTest::addColumn<int>("reason");
        QTest::newRow("analytics disabled") << 0;
        QTest::newRow("preview mode set") << 1;
        QTest::newRow("preview environment") << 2;
    }

    void droppedSignals()
    {
        QFETCH(int, reason);
        start([reason](TelemetryManagerConfiguration& c) {
            if (reason == 0)
                c.setAnalyticsDisabled(true);
            if (reason == 1)
                c.setSwiftUIPreviewMode(true);
        });
        if (reason == 2)
            qputenv("XCODE_RUNNING_FOR_PREVIEWS", "1");
        TelemetryDeck::signal("dropped");
        TelemetryDeck::errorOccurred("dropped-too");
        QTest::qWait(100);
        QCOMPARE(cache().count(), 0);
        QVERIFY(m_logs.messages(LogLevel::error).isEmpty());
        // The same client sends again once the reason is gone.
        m_configuration->setAnalyticsDisabled(false);
        m_configuration->setSwiftUIPreviewMode(false);
        TelemetryDeck::signal("sent");
        QVERIFY(waitForCount(cache(), 1));
    }

    void launchSignalCarriesTheInitialSession()
    {
        start([](TelemetryManagerConfiguration& c) { c.setSendNewSessionBeganSignal(true); });
        const QString initial = m_configuration->sessionID().toString(QUuid::WithoutBraces).toUpper();
        TelemetryDeck::signal("appLaunched", {});
        QVERIFY(waitForCount(cache(), 2, 3000)); // about half a second later the first session begins
        const QList<SignalPostBody> records = cache().snapshot();
        QCOMPARE(records.at(0).type, QStringLiteral("appLaunched"));
        QCOMPARE(records.at(0).sessionID, initial);
        QCOMPARE(records.at(1).type, QStringLiteral("TelemetryDeck.Session.started"));
        QCOMPARE(records.at(1).sessionID, m_configuration->sessionID().toString(QUuid::WithoutBraces).toUpper());
        QVERIFY(records.at(1).sessionID != initial);
    }

    void timeZoneText_data()
    {
        QTest::addColumn<int>("offset");
        QTest::addColumn<QString>("expected");
        QTest::newRow("UTC") << 0 << "UTC+0";
        QTest::newRow("+2") << 7200 << "UTC+2";
        QTest::newRow("+5:30") << 19800 << "UTC+5:30";
        QTest::newRow("+5:45") << 20700 << "UTC+5:45";
        QTest::newRow("-8") << -28800 << "UTC-8";
        QTest::newRow("-3:30") << -12600 << "UTC-3:30";
        QTest::newRow("-0:30") << -1800 << "UTC-0:30";
    }

    void timeZoneText()
    {
        QFETCH(int, offset);
        QFETCH(QString, expected);
        QCOMPARE(DefaultSignalPayload::timeZoneText(offset), expected);
    }

    void systemVersion_data()
    {
        QTest::addColumn<QString>("release");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("debian") << "6.1.0-18-amd64" << QStringList{"Linux 6.1.0", "Linux 6", "Linux 6.1"};
        QTest::newRow("two parts") << "6.5" << QStringList{"Linux 6.5.0", "Linux 6", "Linux 6.5"};
        QTest::newRow("rc suffix") << "6.8.12-rc3+" << QStringList{"Linux 6.8.12", "Linux 6", "Linux 6.8"};
        QTest::newRow("garbage") << "unknown" << QStringList{"Linux 0.0.0", "Linux 0", "Linux 0.0"};
    }

    void systemVersion()
    {
        QFETCH(QString, release);
        QFETCH(QStringList, expected);
        const auto version = DefaultSignalPayload::systemVersion("Linux", release);
        QCOMPARE((QStringList{version.full, version.major, version.majorMinor}), expected);
    }

    void calendar_data()
    {
        QTest::addColumn<QDateTime>("moment");
        QTest::addColumn<QStringList>("expected"); // dayOfWeek, isWeekend, hourOfDay, weekOfYear, quarter, dayOfYear
        QTest::newRow("sunday late") << QDateTime(QDate(2024, 12, 29), QTime(23, 30))
                                     << QStringList{"7", "true", "24", "1", "4", "364"};
        QTest::newRow("new year monday") << QDateTime(QDate(2024, 1, 1), QTime(0, 10))
                                         << QStringList{"1", "false", "1", "1", "1", "1"};
        QTest::newRow("second week") << QDateTime(QDate(2023, 1, 8), QTime(12, 0))
                                     << QStringList{"7", "true", "13", "2", "1", "8"};
        QTest::newRow("saturday in july") << QDateTime(QDate(2024, 7, 6), QTime(9, 0))
                                          << QStringList{"6", "true", "10", "27", "3", "188"};
    }

    void calendar()
    {
        QFETCH(QDateTime, moment);
        QFETCH(QStringList, expected);
        const SignalParameters c = DefaultSignalPayload::calendarParameters(moment);
        const QString p = QStringLiteral("TelemetryDeck.Calendar.");
        QCOMPARE((QStringList{c.value(p + "dayOfWeek"), c.value(p + "isWeekend"), c.value(p + "hourOfDay"),
                              c.value(p + "weekOfYear"), c.value(p + "quarterOfYear"), c.value(p + "dayOfYear")}),
                 expected);
    }

    void deviceFacts()
    {
        start();
        SignalParameters payload = DefaultSignalPayload::parameters();
        QCOMPARE(payload.value("TelemetryDeck.Device.screenResolutionWidth"), QStringLiteral("N/A"));
        QCOMPARE(payload.value("TelemetryDeck.UserPreference.colorScheme"), QStringLiteral("N/A"));
        QCOMPARE(payload.value("TelemetryDeck.UserPreference.layoutDirection"), QStringLiteral("N/A"));
        QCOMPARE(payload.value("operatingSystem"), QStringLiteral("Linux"));
        QVERIFY(!payload.value("architecture").isEmpty());
        QVERIFY(!payload.value("modelName").isEmpty());

        DefaultSignalPayload::setDeviceFactsProvider([] {
            return DeviceFacts{QSizeF(1920, 1080), 1.25, "Dark", "leftToRight"};
        });
        payload = DefaultSignalPayload::parameters();
        QCOMPARE(payload.value("TelemetryDeck.Device.screenResolutionWidth"), QStringLiteral("1920.0"));
        QCOMPARE(payload.value("TelemetryDeck.Device.screenResolutionHeight"), QStringLiteral("1080.0"));
        QCOMPARE(payload.value("TelemetryDeck.Device.screenScaleFactor"), QStringLiteral("1.25"));
        QCOMPARE(payload.value("TelemetryDeck.UserPreference.colorScheme"), QStringLiteral("Dark"));
    }

    void cInterface()
    {
        const QByteArray base = unreachableUrl().toString().toUtf8();
        TelemetryManagerConfigurationProxy* proxy =
            td_configuration_init_with_app_id_salt_base_url("C-APP", "salt", base.constData());
        td_configuration_set_send_new_session_began_signal(proxy, false);
        td_configuration_set_test_mode(proxy, true);
        QVERIFY(!td_configuration_send_new_session_began_signal(proxy));
        QVERIFY(td_configuration_test_mode(proxy));
        QVERIFY(!td_configuration_analytics_disabled(proxy));
        td_manager_initialize_with(proxy);
        td_configuration_free(proxy);

        const TelemetryParameter parameters[] = {{"colour", "blue"}, {nullptr, "ignored"}};
        td_manager_send_for_with("fromC", "carol", parameters, 2);
        td_manager_send(nullptr);
        td_manager_send_with("plain", nullptr, 5);
        td_configuration_set_test_mode(nullptr, true);
        QVERIFY(waitForCount(cache(), 2));
        const SignalPostBody sent = cache().snapshot().constFirst();
        QCOMPARE(sent.type, QStringLiteral("fromC"));
        QCOMPARE(sent.appID, QStringLiteral("C-APP"));
        QCOMPARE(sent.clientUser, Sha256::hex("carol", "salt"));
        QCOMPARE(sent.payload.value("colour"), QStringLiteral("blue"));
        QCOMPARE(sent.isTestMode, QStringLiteral("true"));
        td_manager_terminate();
        QVERIFY(!TelemetryManager::isInitialized());
    }
};

TOLVANE_TEST_GUILESS_MAIN(TelemetryManagerTest)
#include "tst_telemetry_manager.moc"
