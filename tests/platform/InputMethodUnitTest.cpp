// The input-method providers without a real framework: the choice between
// frameworks and layouts, the catalogue following it, the parsing of what
// IBus and GSettings hand over, and daemons that answer with junk.
#include "core/InputSourceManager.h"
#include "platform/inputmethods/Fcitx5InputSourceProvider.h"
#include "platform/inputmethods/IBusInputSourceProvider.h"
#include "platform/inputmethods/InputSourceProviderChooser.h"
#include "support/FakeInputSourceProvider.h"
#include "support/ProcessEnvironment.h"
#include "support/RecordingLogSink.h"
#include "support/TestMain.h"

#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QThread>

namespace {

const QStringList kFcitxIds{"fcitx5:keyboard-us", "fcitx5:pinyin"};
const QStringList kIBusIds{"ibus:xkb:us::eng", "ibus:hangul"};

// A framework whose daemon runs or not as the test says; it sees every selection asked of it.
class FakeFramework : public InputMethodProvider {
    Q_OBJECT
public:
    FakeFramework(const QString& name, const QStringList& ids, bool running)
        : running(running)
        , m_name(name)
    {
        for (const QString& id : ids)
            m_sources.append(FakeInputSourceProvider::source(id, id));
    }
    QString providerName() const override { return m_name; }
    bool isRunning() const override { return running; }
    std::optional<QList<InputSourceProperties>> enabledInputSources() override { return m_sources; }
    std::optional<InputSourceProperties> currentInputSource() override { return std::nullopt; }
    bool selectInputSource(const QString& id) override
    {
        selections.append(id);
        return true;
    }

    bool running;
    QStringList selections;

private:
    QString m_name;
    QList<InputSourceProperties> m_sources;
};

// A daemon that answers each method named in `replies` with the arguments given
// there, of the wrong types, and every other method with an error.
class JunkDaemon : public QDBusVirtualObject {
public:
    explicit JunkDaemon(QHash<QString, QVariantList> replies)
        : m_replies(std::move(replies))
    {
    }
    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
    {
        const auto reply = m_replies.constFind(message.member());
        if (reply == m_replies.cend())
            return connection.send(message.createErrorReply(QDBusError::UnknownMethod, message.member()));
        return connection.send(message.createReply(*reply));
    }

private:
    QHash<QString, QVariantList> m_replies;
};

QStringList ids(const QList<InputSource>& sources)
{
    QStringList result;
    for (const InputSource& source : sources)
        result.append(source.id);
    return result;
}

} // namespace

class InputMethodUnitTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void choosesTheFirstRunningFramework_data()
    {
        QTest::addColumn<bool>("fcitxRuns");
        QTest::addColumn<bool>("ibusRuns");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QStringList>("catalogue");
        QTest::addColumn<QString>("select");
        QTest::addColumn<QString>("reached"); // the provider that was asked to select it, if any
        const auto row = [](const char* tag, bool fcitxRuns, bool ibusRuns, const QString& chosen,
                            const QStringList& catalogue, const QString& select, const QString& reached) {
            QTest::newRow(tag) << fcitxRuns << ibusRuns << chosen << catalogue << select << reached;
        };
        row("neither: layouts", false, false, "fake", {"xkb:us"}, "fcitx5:pinyin", "");
        row("fcitx5 only", true, false, "fcitx5", kFcitxIds, "fcitx5:pinyin", "fcitx5");
        row("fcitx5 only, prefix without separator", true, false, "fcitx5", kFcitxIds, "fcitx5pinyin", "");
        row("ibus only", false, true, "ibus", kIBusIds, "ibus:hangul", "ibus");
        row("both: the first in order", true, true, "fcitx5", kFcitxIds, "ibus:hangul", "");
    }

    void choosesTheFirstRunningFramework()
    {
        QFETCH(bool, fcitxRuns);
        QFETCH(bool, ibusRuns);
        QFETCH(QString, chosen);
        QFETCH(QString, select);
        QFETCH(QString, reached);
        FakeFramework fcitx(QStringLiteral("fcitx5"), kFcitxIds, fcitxRuns);
        FakeFramework ibus(QStringLiteral("ibus"), kIBusIds, ibusRuns);
        FakeInputSourceProvider layouts;
        layouts.sources = QList<InputSourceProperties>{FakeInputSourceProvider::source("xkb:us", "English (US)")};
        RecordingLogSink sink;
        InputSourceProviderChooser chooser({&fcitx, &ibus}, &layouts);
        QCOMPARE(chooser.providerName(), chosen);
        QCOMPARE(sink.lines(), QStringList{"info: Input sources are managed by " + chosen});
        InputSourceManager manager(&chooser);
        QTEST(ids(manager.installedInputSources()), "catalogue");

        // Only the notices of the provider in charge pass through, and a framework
        // that reports an unchanged state switches nothing.
        QSignalSpy selected(&chooser, &InputSourceProvider::selectedInputSourceChanged);
        for (InputSourceProvider* provider : std::initializer_list<InputSourceProvider*>{&fcitx, &ibus, &layouts})
            Q_EMIT provider->selectedInputSourceChanged();
        Q_EMIT fcitx.runningChanged();
        QCOMPARE(selected.size(), 1);

        // Identifiers of a provider that is not in charge never reach any provider.
        QCOMPARE(manager.selectInputSource(select), !reached.isEmpty());
        QCOMPARE(fcitx.selections, reached == QLatin1String("fcitx5") ? QStringList{select} : QStringList{});
        QCOMPARE(ibus.selections, reached == QLatin1String("ibus") ? QStringList{select} : QStringList{});
        QVERIFY(layouts.selections.isEmpty());
        QCOMPARE(fcitx.localName(select).has_value(), select == QLatin1String("fcitx5:pinyin"));
    }

    void parsesGSettingsStringLists_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<std::optional<QStringList>>("items"); // none: not a string list
        const auto row = [](const char* tag, const QString& text, const std::optional<QStringList>& items) {
            QTest::newRow(tag) << text << items;
        };
        row("two engines", "['xkb:us::eng', 'hangul']\n", QStringList{"xkb:us::eng", "hangul"});
        row("typed empty list", "@as []", QStringList{});
        row("double quotes and escapes", "[\"it's\", 'a\\'b', 'c\\\\d']", QStringList{"it's", "a'b", "c\\d"});
        row("unterminated string", "['hangul]", std::nullopt);
        row("missing comma", "['a' 'b']", std::nullopt);
        row("error text", "No such schema “org.freedesktop.ibus.general”", std::nullopt);
    }

    void parsesGSettingsStringLists()
    {
        QFETCH(QString, text);
        QTEST(IBusInputSourceProvider::parseStringList(text), "items");
    }

    void findsTheIBusAddress_data()
    {
        QTest::addColumn<QString>("display");
        QTest::addColumn<QString>("path");

        const QString base = QStringLiteral("/home/u/.config/ibus/bus/abc123-");
        QTest::newRow("local display") << ":267" << base + "unix-267";
        QTest::newRow("screen number dropped") << ":0.1" << base + "unix-0";
        QTest::newRow("remote host") << "example.org:10.0" << base + "example.org-10";
        for (const char* display : {"", "../../etc:0", ":0/../../x"}) // none, a path in the host or the number
            QTest::newRow(display) << QString::fromLatin1(display) << QString();
    }

    void findsTheIBusAddress()
    {
        QFETCH(QString, display);
        QFETCH(QString, path);
        const QString config = QStringLiteral("/home/u/.config");
        QCOMPARE(IBusInputSourceProvider::addressFilePath(config, QStringLiteral("abc123"), display), path);
        QCOMPARE(IBusInputSourceProvider::addressFilePath(config, QString(), display), QString()); // no machine id

        QCOMPARE(IBusInputSourceProvider::addressFromFile(
                     "# comment\nIBUS_ADDRESS=unix:abstract=/tmp/x,guid=1\nIBUS_DAEMON_PID=5\n"),
                 QStringLiteral("unix:abstract=/tmp/x,guid=1"));
        QCOMPARE(IBusInputSourceProvider::addressFromFile("\x01\x02 junk \xff"), QString());
    }

    void survivesDaemonsAnsweringJunk()
    {
        // A private bus, so that the fake daemons never meet the session's real ones.
        QProcess busDaemon;
        busDaemon.start(QStringLiteral("dbus-daemon"),
                        {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address")});
        busDaemon.waitForReadyRead(5000);
        const QString address = QString::fromUtf8(busDaemon.readLine()).trimmed();
        const auto stopBus = qScopeGuard([&busDaemon] { tolvane::test::stopProcess(busDaemon); });
        if (address.isEmpty())
            QSKIP("dbus-daemon could not be started");
        // The providers block on their calls: the fake daemons answer from their own thread.
        QThread thread;
        thread.start();
        const auto stopThread = qScopeGuard([&thread] {
            thread.quit();
            thread.wait();
        });
        JunkDaemon fcitxJunk({{QStringLiteral("CurrentInputMethod"), {7}},
                              {QStringLiteral("CurrentInputMethodGroup"), {QStringList{QStringLiteral("Default")}}},
                              {QStringLiteral("InputMethodGroupInfo"), {QStringLiteral("us")}},
                              {QStringLiteral("AvailableInputMethods"), {1u}}});
        // IBus answers the probe, then junk for every engine question.
        JunkDaemon ibusJunk({{QStringLiteral("GetUseGlobalEngine"), {true}},
                             {QStringLiteral("GetEnginesByNames"), {QStringList{"not", "engines"}}},
                             {QStringLiteral("Get"), {QVariant::fromValue(QDBusVariant(QVariant(42)))}},
                             {QStringLiteral("SetGlobalEngine"), {}}});
        fcitxJunk.moveToThread(&thread);
        ibusJunk.moveToThread(&thread);
        QDBusConnection server = QDBusConnection::connectToBus(address, QStringLiteral("junk-server"));
        QDBusConnection client = QDBusConnection::connectToBus(address, QStringLiteral("junk-client"));
        QVERIFY(server.registerVirtualObject(QStringLiteral("/controller"), &fcitxJunk));
        QVERIFY(server.registerVirtualObject(QStringLiteral("/org/freedesktop/IBus"), &ibusJunk));
        // IBus's own bus is the same one here.
        qputenv("IBUS_ADDRESS", address.toUtf8());

        Fcitx5InputSourceProvider fcitx(client);
        // GSettings has no such schema here or gives nothing usable; either way the daemon's junk is all there is.
        IBusInputSourceProvider ibus(client);
        QSignalSpy fcitxRunning(&fcitx, &InputMethodProvider::runningChanged);
        QVERIFY(!fcitx.isRunning() && !ibus.isRunning());
        const QStringList services{QString::fromLatin1(Fcitx5InputSourceProvider::serviceName),
                                   QStringLiteral("org.freedesktop.IBus")};
        for (const QString& service : services)
            QVERIFY(server.registerService(service));
        QTRY_VERIFY(fcitx.isRunning() && ibus.isRunning());

        RecordingLogSink sink;
        InputSourceManager manager(&fcitx);
        QVERIFY(manager.installedInputSources().isEmpty());
        QCOMPARE(sink.lines(), QStringList{"error: Failed to get input source list"});
        QVERIFY(!manager.currentInputSource());
        QVERIFY(!fcitx.selectInputSource(QStringLiteral("fcitx5:pinyin")));

        const auto sources = ibus.enabledInputSources();
        QVERIFY(sources && sources->isEmpty());
        QVERIFY(!ibus.currentInputSource());
        // The daemon "accepted" but reports no such engine: not a success.
        QVERIFY(!ibus.selectInputSource(QStringLiteral("ibus:hangul")));
        QVERIFY(!ibus.selectInputSource(QStringLiteral("hangul")));

        for (const QString& service : services)
            QVERIFY(server.unregisterService(service));
        QTRY_VERIFY(!fcitx.isRunning() && !ibus.isRunning());
        QCOMPARE(fcitxRunning.size(), 2);
        QVERIFY(!fcitx.enabledInputSources() && !ibus.enabledInputSources());
        qunsetenv("IBUS_ADDRESS");
        QDBusConnection::disconnectFromBus(QStringLiteral("junk-server"));
        QDBusConnection::disconnectFromBus(QStringLiteral("junk-client"));
    }
};

TOLVANE_TEST_GUILESS_MAIN(InputMethodUnitTest)
#include "InputMethodUnitTest.moc"
