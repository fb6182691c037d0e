// The public entry point and the manager: reserved names, prefixes, user hashing, dropped
// signals, the launch session, the default payload and the C interface.
#include "TelemetryTestSupport.h"

#include "DefaultSignalPayload.h"
#include "SessionManager.h"
#include "Sha256.h"
#include "TelemetryClient.h"
#include "TelemetryDeck.h"

#include "support/TestFiles.h"
#include "support/TestMain.h"

using namespace telemetrytest;

namespace {

// The error logged for a reserved name, e.g. warning("signal with reserved name 'x'", "name").
QString warning(const QString& what, const QString& other)
{
    return "Sending " + what + " will cause unexpected behavior. Please use another " + other + " instead.";
}

class EnricherStub : public SignalEnricher {
public:
    SignalParameters extraParameters(const QString& type, const std::optional<QString>&,
                                     std::optional<double>) const override
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
        m_configuration = testConfiguration();
        m_logs = LogCapture();
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
        QTest::addColumn<QString>("prefix"); // for signal names and parameter keys
        QTest::addColumn<bool>("warnings");
        QTest::addColumn<QString>("expectedError");
        QTest::addColumn<QString>("sentName");
        QTest::addColumn<QString>("sentKey");

        const QString prefixWarning = warning("signal with reserved prefix 'TelemetryDeck.'", "prefix");
        const QString keyPrefixWarning = warning("parameter with reserved key prefix 'TelemetryDeck.'", "prefix");
        const auto row = [](const char* tag, const QString& name, const QString& key, const QString& prefix,
                            bool warnings, const QString& error, const QString& sentName, const QString& sentKey) {
            QTest::newRow(tag) << name << key << prefix << warnings << error << sentName << sentKey;
        };
        row("reserved prefix", "TelemetryDeck.mine", "k", "", true, prefixWarning, "TelemetryDeck.mine", "k");
        row("reserved prefix, any case", "TELEMETRYDECK.mine", "k", "", true, prefixWarning, "TELEMETRYDECK.mine", "k");
        row("reserved name quoted as written", "Platform", "k", "", true,
            warning("signal with reserved name 'Platform'", "name"), "Platform", "k");
        row("prefix makes it harmless", "type", "k", "App.", true, "", "App.type", "App.k");
        row("reserved key", "ok", "appVersion", "", true, warning("parameter with reserved key 'appVersion'", "key"),
            "ok", "appVersion");
        row("prefixed key stays reserved", "ok", "TelemetryDeck.x", "my.", true, keyPrefixWarning, "my.ok",
            "TelemetryDeck.x");
        row("lower-case key gets the prefix", "ok", "telemetrydeck.x", "my.", true, "", "my.ok", "my.telemetrydeck.x");
        row("lower-case key without prefix", "ok", "telemetrydeck.x", "", true, keyPrefixWarning, "ok",
            "telemetrydeck.x");
        row("warnings off", "platform", "LOCALE", "", false, "", "platform", "LOCALE");
    }

    void reservedNames()
    {
        QFETCH(QString, name);
        QFETCH(QString, key);
        QFETCH(QString, prefix);
        QFETCH(bool, warnings);
        QFETCH(QString, expectedError);
        QFETCH(QString, sentName);
        QFETCH(QString, sentKey);
        start([&](TelemetryManagerConfiguration& c) {
            if (!prefix.isEmpty()) {
                c.setDefaultSignalPrefix(prefix);
                c.setDefaultParameterPrefix(prefix);
            }
            c.setReservedParameterWarningsEnabled(warnings);
        });
        TelemetryDeck::signal(name, {{key, "value"}});
        QCOMPARE(m_logs.messages(LogLevel::error),
                 expectedError.isEmpty() ? QStringList() : QStringList{expectedError});
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
        QCOMPARE(m_logs.messages(LogLevel::error), QStringList{warning("parameter with reserved key 'locale'", "key")});
        QVERIFY(waitForCount(cache(), 1));
        const SignalParameters payload = cache().snapshot().constFirst().payload;
        QCOMPARE(payload.value("tier"), QStringLiteral("pro")); // signal over default parameters
        QCOMPARE(payload.value("locale"), QStringLiteral("de")); // default parameters over the payload
        QCOMPARE(payload.value("shared"), QStringLiteral("signal")); // signal over enrichers
        QCOMPARE(payload.value("enriched"), QStringLiteral("s"));
        QCOMPARE(payload.value("platform"), QStringLiteral("FromEnricher")); // enrichers over the payload
    }

    void userHash()
    {
        start([](TelemetryManagerConfiguration& c) { c.setDefaultUser(QStringLiteral("alice")); });
        // SHA-256 of "alice": the salted hash is checked on the wire in telemetry_pipeline.
        QCOMPARE(TelemetryManager::hashedDefaultUser(),
                 QStringLiteral("2bd806c97f0e00af1a1fc3328fa763a9269723c8db8fac4f93af71db186d6e90"));

        // Without a configured user one is generated once and kept for later starts.
        start();
        const QString generated = TelemetryManager::resolveDefaultUser(*m_configuration);
        QVERIFY(!QUuid::fromString(generated).isNull());
        QCOMPARE(generated, generated.toUpper());
        start();
        QCOMPARE(TelemetryManager::resolveDefaultUser(*m_configuration), generated);
    }

    void droppedSignals()
    {
        start();
        // A preview mode set by hand overrides the environment, so it comes last.
        const std::function<void(bool)> reasons[] = {
            [](bool on) { on ? qputenv("XCODE_RUNNING_FOR_PREVIEWS", "1") : qunsetenv("XCODE_RUNNING_FOR_PREVIEWS"); },
            [this](bool on) { m_configuration->setAnalyticsDisabled(on); },
            [this](bool on) { m_configuration->setSwiftUIPreviewMode(on); },
        };
        for (const auto& reason : reasons) {
            reason(true);
            TelemetryDeck::signal("dropped");
            TelemetryDeck::errorOccurred("dropped-too");
            reason(false); // the same client sends again once the reason is gone
            TelemetryDeck::signal("sent");
        }
        QVERIFY(waitForCount(cache(), 3));
        for (const SignalPostBody& record : cache().snapshot())
            QCOMPARE(record.type, QStringLiteral("sent"));
        QVERIFY(m_logs.messages(LogLevel::error).isEmpty());
    }

    // Switched off while running: the queue is deleted unsent and nothing more is counted.
    // (Silenced at start, by the settings or the environment, is in app_process.)
    void switchedOffWhileRunningSendsNothingAndForgetsTheQueue()
    {
        IngestionServer server;
        const auto configure = [&server] {
            auto configuration = std::make_shared<TelemetryManagerConfiguration>("SILENT", std::nullopt, server.url());
            configuration->setSendTimerInterval(std::chrono::hours(1));
            return configuration;
        };
        const QString cacheFile = SignalCache::cacheFileURL();
        QVERIFY(tolvane::test::writeFile(
            cacheFile, SignalPostBody::encodeForCache({makeRecord("a"), makeRecord("b"), makeRecord("c")})));
        server.setBehaviour(IngestionServer::Behaviour::hang); // the loaded records stay unsent
        TelemetryManager::initialize(configure());
        QTRY_VERIFY(SessionManager::shared().isCountingActiveTime());
        cache().appendSignals(makeRecord("queued"));

        server.clear();
        server.setBehaviour(IngestionServer::Behaviour::respond);
        auto silenced = configure();
        silenced->setAnalyticsDisabled(true);
        TelemetryManager::initialize(silenced);
        TelemetryDeck::signal("dropped");
        QTest::qWait(800); // past the start of the first session
        QVERIFY(!QFile::exists(cacheFile));
        QCOMPARE(server.requests().size(), 0);
        QVERIFY(!SessionManager::shared().isCountingActiveTime());
        TelemetryManager::terminate(); // saves nothing
        QVERIFY(!QFile::exists(cacheFile));
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

    void defaultPayload()
    {
        start();
        SignalParameters payload = DefaultSignalPayload::parameters(); // without a screen
        QVERIFY(!payload.value("architecture").isEmpty() && !payload.value("modelName").isEmpty());
        QCOMPARE(payload.value("TelemetryDeck.Device.screenResolutionWidth"), QStringLiteral("N/A"));
        QCOMPARE(payload.value("TelemetryDeck.UserPreference.colorScheme"), QStringLiteral("N/A"));
        DefaultSignalPayload::setDeviceFactsProvider([] {
            return DeviceFacts{QSizeF(1920, 1080), 1.25, "Dark", "leftToRight"};
        });
        payload = DefaultSignalPayload::parameters();
        QCOMPARE(payload.value("TelemetryDeck.Device.screenResolutionWidth"), QStringLiteral("1920.0"));
        QCOMPARE(payload.value("TelemetryDeck.Device.screenResolutionHeight"), QStringLiteral("1080.0"));
        QCOMPARE(payload.value("TelemetryDeck.Device.screenScaleFactor"), QStringLiteral("1.25"));
        QCOMPARE(payload.value("TelemetryDeck.UserPreference.colorScheme"), QStringLiteral("Dark"));

        QCOMPARE(DefaultSignalPayload::timeZoneText(0), QStringLiteral("UTC+0"));
        QCOMPARE(DefaultSignalPayload::timeZoneText(20700), QStringLiteral("UTC+5:45"));
        QCOMPARE(DefaultSignalPayload::timeZoneText(-28800), QStringLiteral("UTC-8"));
        QCOMPARE(DefaultSignalPayload::timeZoneText(-1800), QStringLiteral("UTC-0:30"));

        const auto version = [](const QString& release) {
            const auto v = DefaultSignalPayload::systemVersion("Linux", release);
            return QStringList{v.full, v.major, v.majorMinor};
        };
        QCOMPARE(version("6.1.0-18-amd64"), (QStringList{"Linux 6.1.0", "Linux 6", "Linux 6.1"}));
        QCOMPARE(version("6.5"), (QStringList{"Linux 6.5.0", "Linux 6", "Linux 6.5"}));
        QCOMPARE(version("6.8.12-rc3+"), (QStringList{"Linux 6.8.12", "Linux 6", "Linux 6.8"}));
        QCOMPARE(version("unknown"), (QStringList{"Linux 0.0.0", "Linux 0", "Linux 0.0"}));

        const auto calendar = [](const QDate& date, const QTime& time) {
            const SignalParameters c = DefaultSignalPayload::calendarParameters(QDateTime(date, time));
            QStringList values;
            for (const char* key : {"dayOfWeek", "isWeekend", "hourOfDay", "weekOfYear", "quarterOfYear", "dayOfYear"})
                values.append(c.value(QStringLiteral("TelemetryDeck.Calendar.") + QLatin1StringView(key)));
            return values;
        };
        QCOMPARE(calendar({2024, 12, 29}, {23, 30}), (QStringList{"7", "true", "24", "1", "4", "364"}));
        QCOMPARE(calendar({2024, 1, 1}, {0, 10}), (QStringList{"1", "false", "1", "1", "1", "1"}));
        QCOMPARE(calendar({2023, 1, 8}, {12, 0}), (QStringList{"7", "true", "13", "2", "1", "8"}));
    }

    void cInterface()
    {
        TelemetryManagerConfigurationProxy* proxy = // a closed port refuses the uploads
            td_configuration_init_with_app_id_salt_base_url("C-APP", "salt", "http://127.0.0.1:9/");
        td_configuration_set_send_new_session_began_signal(proxy, false);
        td_configuration_set_test_mode(proxy, true);
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
