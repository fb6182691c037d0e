// The input-method providers without a real framework: the choice between
// frameworks and layouts, the catalogue following it, the parsing of what
// IBus and GSettings hand over, and daemons that answer with junk.
#include "core/InputSourceManager.h"
#include "platform/inputmethods/Fcitx5InputSourceProvider.h"
#include "platform/inputmethods/IBusInputSourceProvider.h"
#include "platform/inputmethods/InputSourceProviderChooser.h"
#include "support/FakeInputSourceProvider.h"
#include "support/RecordingLogSink.h"
#include "support/TestMain.h"

#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QDBusVariant>
#include <QProcess>
#include <QSignalSpy>
#include <QThread>

namespace {

// A framework whose daemon the test starts and stops by hand.
class FakeFramework : public InputMethodProvider {
    Q_OBJECT
public:
    FakeFramework(QString name, QStringList ids)
        : m_name(std::move(name))
        , m_ids(std::move(ids))
    {
    }
    QString providerName() const override { return m_name; }
    bool isRunning() const override { return running; }
    std::optional<QList<InputSourceProperties>> enabledInputSources() override
    {
        QList<InputSourceProperties> list;
        for (const QString& id : std::as_const(m_ids))
            list.append(FakeInputSourceProvider::source(id, id));
        return list;
    }
    std::optional<InputSourceProperties> currentInputSource() override { return std::nullopt; }
    bool selectInputSource(const QString& id) override
    {
        selections.append(id);
        return true;
    }
    void setRunning(bool value)
    {
        running = value;
        Q_EMIT runningChanged();
    }

    bool running = false;
    QStringList selections;

private:
    QString m_name;
    QStringList m_ids;
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

// A private dbus-daemon.
class PrivateBus {
public:
    PrivateBus()
    {
        m_daemon.start(QStringLiteral("dbus-daemon"), {QStringLiteral("--session"), QStringLiteral("--nofork"),
                                                        QStringLiteral("--print-address")});
        if (!m_daemon.waitForStarted(5000))
            return;
        QDeadlineTimer deadline(5000);
        while (!deadline.hasExpired() && !m_daemon.canReadLine())
            m_daemon.waitForReadyRead(100);
        address = QString::fromUtf8(m_daemon.readLine()).trimmed();
    }
    ~PrivateBus()
    {
        m_daemon.terminate();
        m_daemon.waitForFinished(2000);
    }
    QDBusConnection connect(const QString& name) { return QDBusConnection::connectToBus(address, name); }

    QString address;

private:
    QProcess m_daemon;
};

// Runs an event loop for fake daemons until the test ends.
class ServerThread : public QThread {
public:
    ServerThread() { start(); }
    ~ServerThread() override
    {
        quit();
        wait();
    }
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
    void choosesTheFirstRunningFramework_data();
    void choosesTheFirstRunningFramework();
    void followsFrameworksStartingAndStopping();
    void parsesGSettingsStringLists_data();
    void parsesGSettingsStringLists();
    void findsTheIBusAddress_data();
    void findsTheIBusAddress();
    void survivesDaemonsAnsweringJunk();
};

void InputMethodUnitTest::choosesTheFirstRunningFramework_data()
{
    QTest::addColumn<bool>("fcitxRuns");
    QTest::addColumn<bool>("ibusRuns");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QStringList>("catalogue");
    QTest::addColumn<QString>("select");
    QTest::addColumn<QString>("reached"); // the provider that was asked to select it, if any

    const QStringList fcitx{"fcitx5:keyboard-us", "fcitx5:pinyin"};
    const QStringList ibus{"ibus:xkb:us::eng", "ibus:hangul"};
    const QStringList xkb{"xkb:us", "xkb:de"};
    QTest::newRow("neither: layouts") << false << false << "fake" << xkb << "fcitx5:pinyin" << "";
    QTest::newRow("fcitx5 only") << true << false << "fcitx5" << fcitx << "fcitx5:pinyin" << "fcitx5";
    QTest::newRow("fcitx5 only, layout id") << true << false << "fcitx5" << fcitx << "xkb:de" << "";
    QTest::newRow("fcitx5 only, prefix without separator") << true << false << "fcitx5" << fcitx << "fcitx5pinyin" << "";
    QTest::newRow("ibus only") << false << true << "ibus" << ibus << "ibus:hangul" << "ibus";
    QTest::newRow("both: the first in order") << true << true << "fcitx5" << fcitx << "ibus:hangul" << "";
}

void InputMethodUnitTest::choosesTheFirstRunningFramework()
{
    QFETCH(QString, select);
    QFETCH(QString, reached);
    FakeFramework fcitx(QStringLiteral("fcitx5"), {"fcitx5:keyboard-us", "fcitx5:pinyin"});
    FakeFramework ibus(QStringLiteral("ibus"), {"ibus:xkb:us::eng", "ibus:hangul"});
    FakeInputSourceProvider layouts;
    layouts.sources = QList<InputSourceProperties>{FakeInputSourceProvider::source("xkb:us", "English (US)"),
                                                   FakeInputSourceProvider::source("xkb:de", "German")};
    QFETCH(bool, fcitxRuns);
    QFETCH(bool, ibusRuns);
    fcitx.running = fcitxRuns;
    ibus.running = ibusRuns;
    InputSourceProviderChooser chooser({&fcitx, &ibus}, &layouts);
    QTEST(chooser.providerName(), "chosen");
    InputSourceManager manager(&chooser);
    QTEST(ids(manager.installedInputSources()), "catalogue");

    // Identifiers of a provider that is not in charge never reach any provider.
    QCOMPARE(manager.selectInputSource(select), !reached.isEmpty());
    QCOMPARE(fcitx.selections, reached == QLatin1String("fcitx5") ? QStringList{select} : QStringList{});
    QCOMPARE(ibus.selections, reached == QLatin1String("ibus") ? QStringList{select} : QStringList{});
    QVERIFY(layouts.selections.isEmpty());
    QCOMPARE(fcitx.localName(select).has_value(), select == QLatin1String("fcitx5:pinyin"));
}

void InputMethodUnitTest::followsFrameworksStartingAndStopping()
{
    FakeFramework fcitx(QStringLiteral("fcitx5"), {"fcitx5:keyboard-us", "fcitx5:pinyin"});
    FakeInputSourceProvider layouts;
    layouts.sources = QList<InputSourceProperties>{FakeInputSourceProvider::source("xkb:us", "English (US)")};
    InputSourceProviderChooser chooser({&fcitx}, &layouts);
    InputSourceManager manager(&chooser);
    QSignalSpy selected(&chooser, &InputSourceProvider::selectedInputSourceChanged);
    QSignalSpy catalogue(&manager, &InputSourceManager::installedInputSourcesChanged);
    RecordingLogSink sink;

    fcitx.setRunning(true);
    QCOMPARE(ids(manager.installedInputSources()), (QStringList{"fcitx5:keyboard-us", "fcitx5:pinyin"}));
    QCOMPARE(selected.size(), 1);
    QCOMPARE(catalogue.size(), 1);
    QVERIFY(sink.lines().contains(QStringLiteral("info: Input sources are managed by fcitx5")));

    // Notices of the provider in charge pass through; those of the one set aside do not.
    Q_EMIT fcitx.selectedInputSourceChanged();
    QCOMPARE(selected.size(), 2);
    Q_EMIT layouts.selectedInputSourceChanged();
    Q_EMIT layouts.enabledInputSourcesChanged();
    QCOMPARE(selected.size(), 2);
    QCOMPARE(catalogue.size(), 1);

    fcitx.setRunning(false);
    QCOMPARE(ids(manager.installedInputSources()), QStringList{"xkb:us"});
    QCOMPARE(selected.size(), 3);
    // A framework that reports its state twice switches nothing.
    fcitx.setRunning(false);
    QCOMPARE(selected.size(), 3);
    QCOMPARE(catalogue.size(), 2);

    // And back again: a framework set aside is still followed.
    fcitx.setRunning(true);
    QCOMPARE(chooser.providerName(), QStringLiteral("fcitx5"));
    QCOMPARE(catalogue.size(), 3);
}

void InputMethodUnitTest::parsesGSettingsStringLists_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QStringList>("items");

    QTest::newRow("two engines") << "['xkb:us::eng', 'hangul']\n" << true << QStringList{"xkb:us::eng", "hangul"};
    QTest::newRow("typed empty list") << "@as []" << true << QStringList{};
    QTest::newRow("plain empty list") << "[]" << true << QStringList{};
    QTest::newRow("double quotes and escapes") << R"(["it's", 'a\'b', 'c\\d'])" << true << QStringList{"it's", "a'b", "c\\d"};
    QTest::newRow("not a list") << "'hangul'" << false << QStringList{};
    QTest::newRow("unterminated string") << "['hangul]" << false << QStringList{};
    QTest::newRow("missing comma") << "['a' 'b']" << false << QStringList{};
    QTest::newRow("trailing comma") << "['a',]" << false << QStringList{};
    QTest::newRow("unquoted item") << "[hangul]" << false << QStringList{};
    QTest::newRow("nothing") << "" << false << QStringList{};
    QTest::newRow("error text") << "No such schema “org.freedesktop.ibus.general”" << false << QStringList{};
}

void InputMethodUnitTest::parsesGSettingsStringLists()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(QStringList, items);
    const auto parsed = IBusInputSourceProvider::parseStringList(text);
    QCOMPARE(parsed.has_value(), valid);
    if (valid)
        QCOMPARE(*parsed, items);
}

void InputMethodUnitTest::findsTheIBusAddress_data()
{
    QTest::addColumn<QString>("display");
    QTest::addColumn<QString>("path");

    const QString base = QStringLiteral("/home/u/.config/ibus/bus/abc123-");
    QTest::newRow("local display") << ":267" << base + "unix-267";
    QTest::newRow("screen number dropped") << ":0.1" << base + "unix-0";
    QTest::newRow("remote host") << "example.org:10.0" << base + "example.org-10";
    QTest::newRow("no display") << "" << "";
    QTest::newRow("no number") << "host:" << "";
    QTest::newRow("path in the host") << "../../etc:0" << "";
    QTest::newRow("path in the number") << ":0/../../x" << "";
}

void InputMethodUnitTest::findsTheIBusAddress()
{
    QFETCH(QString, display);
    QFETCH(QString, path);
    QCOMPARE(IBusInputSourceProvider::addressFilePath(QStringLiteral("/home/u/.config"), QStringLiteral("abc123"), display), path);
    QCOMPARE(IBusInputSourceProvider::addressFilePath(QStringLiteral("/home/u/.config"), QString(), display), QString());

    QCOMPARE(IBusInputSourceProvider::addressFromFile("# comment\nIBUS_ADDRESS=unix:abstract=/tmp/x,guid=1\nIBUS_DAEMON_PID=5\n"),
             QStringLiteral("unix:abstract=/tmp/x,guid=1"));
    QCOMPARE(IBusInputSourceProvider::addressFromFile("\x01\x02 junk \xff"), QString());
}

void InputMethodUnitTest::survivesDaemonsAnsweringJunk()
{
    // Private buses, so that the fake daemons never meet the session's real ones.
    PrivateBus session;
    PrivateBus ibusBus;
    if (session.address.isEmpty() || ibusBus.address.isEmpty())
        QSKIP("dbus-daemon could not be started");
    // The providers block on their calls: the fake daemons answer from their own thread.
    ServerThread thread;
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
    QDBusConnection server = session.connect(QStringLiteral("junk-server"));
    QDBusConnection client = session.connect(QStringLiteral("junk-client"));
    QDBusConnection ibusServer = ibusBus.connect(QStringLiteral("junk-ibus-server"));
    QVERIFY(server.registerVirtualObject(QStringLiteral("/controller"), &fcitxJunk));
    QVERIFY(ibusServer.registerVirtualObject(QStringLiteral("/org/freedesktop/IBus"), &ibusJunk));
    QVERIFY(ibusServer.registerService(QStringLiteral("org.freedesktop.IBus")));
    qputenv("IBUS_ADDRESS", ibusBus.address.toUtf8());

    Fcitx5InputSourceProvider fcitx(client);
    // GSettings has no such schema here or gives nothing usable; either way the daemon's junk is all there is.
    IBusInputSourceProvider ibus(client);
    QSignalSpy fcitxRunning(&fcitx, &InputMethodProvider::runningChanged);
    QVERIFY(!fcitx.isRunning() && !ibus.isRunning());
    const QStringList services{QString::fromLatin1(Fcitx5InputSourceProvider::serviceName), QStringLiteral("org.freedesktop.IBus")};
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
    QVERIFY(sources);
    QVERIFY(sources->isEmpty());
    QVERIFY(!ibus.currentInputSource());
    // The daemon "accepted" but reports no such engine: not a success.
    QVERIFY(!ibus.selectInputSource(QStringLiteral("ibus:hangul")));
    QVERIFY(!ibus.selectInputSource(QStringLiteral("hangul")));

    for (const QString& service : services)
        QVERIFY(server.unregisterService(service));
    QTRY_VERIFY(!fcitx.isRunning() && !ibus.isRunning());
    QCOMPARE(fcitxRunning.size(), 2);
    QVERIFY(!fcitx.enabledInputSources());
    QVERIFY(!ibus.enabledInputSources());
    qunsetenv("IBUS_ADDRESS");
    for (const QString& name : {"junk-server", "junk-client", "junk-ibus-server"})
        QDBusConnection::disconnectFromBus(name);
}

TOLVANE_TEST_GUILESS_MAIN(InputMethodUnitTest)
#include "InputMethodUnitTest.moc"
