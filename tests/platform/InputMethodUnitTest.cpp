// The input-method providers without a real framework: the choice between
// frameworks and layouts, the catalogue following it, the parsing of what
// IBus and GSettings hand over, and daemons that answer with junk.
#include "core/InputSourceManager.h"
#include "feedback/FlagEmoji.h"
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

// A controller that answers every question with the wrong type.
class JunkFcitxController : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.fcitx.Fcitx.Controller1")
public Q_SLOTS:
    int CurrentInputMethod() { return 7; }
    QStringList CurrentInputMethodGroup() { return {QStringLiteral("Default")}; }
    QString InputMethodGroupInfo(const QString&) { return QStringLiteral("us"); }
    uint AvailableInputMethods() { return 1; }
    void SetCurrentIM(const QString& name) { requested.append(name); }

public:
    QStringList requested;
};

// A private dbus-daemon, so that fake daemons never meet the session's real ones.
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
    void refusesIdentifiersOfOtherProviders_data();
    void refusesIdentifiersOfOtherProviders();
    void parsesGSettingsStringLists_data();
    void parsesGSettingsStringLists();
    void findsTheIBusAddress_data();
    void findsTheIBusAddress();
    void givesFrameworkIdentifiersTheirFlags_data();
    void givesFrameworkIdentifiersTheirFlags();
    void survivesAFcitxDaemonAnsweringJunk();
    void survivesAnIBusDaemonAnsweringJunk();
};

void InputMethodUnitTest::choosesTheFirstRunningFramework_data()
{
    QTest::addColumn<bool>("fcitxRuns");
    QTest::addColumn<bool>("ibusRuns");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QStringList>("catalogue");

    const QStringList fcitx{"fcitx5:keyboard-us", "fcitx5:pinyin"};
    const QStringList ibus{"ibus:xkb:us::eng", "ibus:hangul"};
    const QStringList xkb{"xkb:us", "xkb:de"};
    QTest::newRow("neither: layouts") << false << false << "xkb" << xkb;
    QTest::newRow("fcitx5 only") << true << false << "fcitx5" << fcitx;
    QTest::newRow("ibus only") << false << true << "ibus" << ibus;
    QTest::newRow("both: the first in order") << true << true << "fcitx5" << fcitx;
}

void InputMethodUnitTest::choosesTheFirstRunningFramework()
{
    QFETCH(bool, fcitxRuns);
    QFETCH(bool, ibusRuns);
    QFETCH(QString, chosen);
    QFETCH(QStringList, catalogue);

    FakeFramework fcitx(QStringLiteral("fcitx5"), {"fcitx5:keyboard-us", "fcitx5:pinyin"});
    FakeFramework ibus(QStringLiteral("ibus"), {"ibus:xkb:us::eng", "ibus:hangul"});
    FakeInputSourceProvider layouts;
    layouts.sources = QList<InputSourceProperties>{FakeInputSourceProvider::source("xkb:us", "English (US)"),
                                                   FakeInputSourceProvider::source("xkb:de", "German")};
    fcitx.running = fcitxRuns;
    ibus.running = ibusRuns;
    InputSourceProviderChooser chooser({&fcitx, &ibus}, &layouts);
    QCOMPARE(chooser.providerName(), chosen == "xkb" ? QStringLiteral("fake") : chosen);
    InputSourceManager manager(&chooser);
    QCOMPARE(ids(manager.installedInputSources()), catalogue);
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
    // A framework that reports "running" twice switches nothing.
    fcitx.setRunning(false);
    QCOMPARE(selected.size(), 3);
    QCOMPARE(catalogue.size(), 2);

    // And back again: a framework set aside is still followed.
    fcitx.setRunning(true);
    QCOMPARE(chooser.providerName(), QStringLiteral("fcitx5"));
    QCOMPARE(catalogue.size(), 3);
}

void InputMethodUnitTest::refusesIdentifiersOfOtherProviders_data()
{
    QTest::addColumn<bool>("fcitxRuns");
    QTest::addColumn<QString>("id");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QStringList>("reachedFcitx");

    QTest::newRow("fcitx5 id while fcitx5 runs") << true << "fcitx5:pinyin" << true << QStringList{"fcitx5:pinyin"};
    QTest::newRow("xkb id while fcitx5 runs") << true << "xkb:de" << false << QStringList{};
    QTest::newRow("ibus id while fcitx5 runs") << true << "ibus:hangul" << false << QStringList{};
    QTest::newRow("fcitx5 id after fcitx5 stopped") << false << "fcitx5:pinyin" << false << QStringList{};
    QTest::newRow("prefix without separator") << true << "fcitx5pinyin" << false << QStringList{};
}

void InputMethodUnitTest::refusesIdentifiersOfOtherProviders()
{
    QFETCH(bool, fcitxRuns);
    QFETCH(QString, id);
    QFETCH(bool, accepted);
    QFETCH(QStringList, reachedFcitx);

    FakeFramework fcitx(QStringLiteral("fcitx5"), {"fcitx5:pinyin"});
    FakeInputSourceProvider layouts;
    layouts.sources = QList<InputSourceProperties>{FakeInputSourceProvider::source("xkb:de", "German")};
    fcitx.running = fcitxRuns;
    InputSourceProviderChooser chooser({&fcitx}, &layouts);
    InputSourceManager manager(&chooser);
    QCOMPARE(manager.selectInputSource(id), accepted);
    QCOMPARE(fcitx.selections, reachedFcitx);
    if (fcitxRuns)
        QVERIFY(layouts.selections.isEmpty());
    QCOMPARE(fcitx.localName(id).has_value(), id == QLatin1String("fcitx5:pinyin"));
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
    QTest::newRow("no spaces") << "['a','b']" << true << QStringList{"a", "b"};
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

void InputMethodUnitTest::givesFrameworkIdentifiersTheirFlags_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("flag");
    const QString china = QStringLiteral("\U0001F1E8\U0001F1F3");
    const QString korea = QStringLiteral("\U0001F1F0\U0001F1F7");
    const QString us = QStringLiteral("\U0001F1FA\U0001F1F8");
    QTest::newRow("fcitx5 pinyin") << "fcitx5:pinyin" << china;
    QTest::newRow("ibus libpinyin") << "ibus:libpinyin" << china;
    QTest::newRow("ibus hangul") << "ibus:hangul" << korea;
    QTest::newRow("fcitx5 hangul") << "fcitx5:hangul" << korea;
    QTest::newRow("ibus US layout") << "ibus:xkb:us::eng" << us;
    QTest::newRow("fcitx5 US layout") << "fcitx5:keyboard-us" << us;
}

void InputMethodUnitTest::givesFrameworkIdentifiersTheirFlags()
{
    QFETCH(QString, id);
    QFETCH(QString, flag);
    QCOMPARE(flagEmoji(id), flag);
}

void InputMethodUnitTest::survivesAFcitxDaemonAnsweringJunk()
{
    PrivateBus bus;
    if (bus.address.isEmpty())
        QSKIP("dbus-daemon could not be started");
    QDBusConnection server = bus.connect(QStringLiteral("junk-fcitx-server"));
    QDBusConnection client = bus.connect(QStringLiteral("junk-fcitx-client"));
    // The provider blocks on its calls: the fake daemon answers from its own thread.
    ServerThread thread;
    JunkFcitxController junk;
    junk.moveToThread(&thread);
    QVERIFY(server.registerObject(QStringLiteral("/controller"), &junk, QDBusConnection::ExportAllSlots));

    Fcitx5InputSourceProvider provider(client);
    QSignalSpy running(&provider, &InputMethodProvider::runningChanged);
    QVERIFY(!provider.isRunning());
    QVERIFY(server.registerService(QString::fromLatin1(Fcitx5InputSourceProvider::serviceName)));
    QTRY_VERIFY(provider.isRunning());

    RecordingLogSink sink;
    InputSourceManager manager(&provider);
    QVERIFY(manager.installedInputSources().isEmpty());
    QCOMPARE(sink.lines(), QStringList{"error: Failed to get input source list"});
    QVERIFY(!manager.currentInputSource());
    QVERIFY(!provider.selectInputSource(QStringLiteral("fcitx5:pinyin")));
    QVERIFY(junk.requested.isEmpty()); // not in a group that could be read: never asked for

    QVERIFY(server.unregisterService(QString::fromLatin1(Fcitx5InputSourceProvider::serviceName)));
    QTRY_VERIFY(!provider.isRunning());
    QCOMPARE(running.size(), 2);
    QVERIFY(!provider.enabledInputSources());
    QDBusConnection::disconnectFromBus(QStringLiteral("junk-fcitx-server"));
    QDBusConnection::disconnectFromBus(QStringLiteral("junk-fcitx-client"));
}

void InputMethodUnitTest::survivesAnIBusDaemonAnsweringJunk()
{
    PrivateBus session;
    PrivateBus ibusBus;
    if (session.address.isEmpty() || ibusBus.address.isEmpty())
        QSKIP("dbus-daemon could not be started");

    // Answers the probe, then junk for every engine question.
    class JunkIBus : public QObject {
    public:
        bool handle(const QDBusMessage& message, const QDBusConnection& connection)
        {
            const QString member = message.member();
            QDBusMessage reply;
            if (member == QLatin1String("GetUseGlobalEngine"))
                reply = message.createReply(QVariantList{true});
            else if (member == QLatin1String("GetEnginesByNames"))
                reply = message.createReply(QVariantList{QStringList{"not", "engines"}});
            else if (member == QLatin1String("Get"))
                reply = message.createReply(QVariantList{QVariant::fromValue(QDBusVariant(QVariant(42)))});
            else if (member == QLatin1String("SetGlobalEngine"))
                reply = message.createReply();
            else
                reply = message.createErrorReply(QDBusError::UnknownMethod, member);
            return connection.send(reply);
        }
    };
    class Object : public QDBusVirtualObject {
    public:
        QString introspect(const QString&) const override { return {}; }
        bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
        {
            return junk.handle(message, connection);
        }
        JunkIBus junk;
    } object;
    ServerThread thread;
    object.moveToThread(&thread);

    QDBusConnection ibusServer = ibusBus.connect(QStringLiteral("junk-ibus-server"));
    QVERIFY(ibusServer.registerVirtualObject(QStringLiteral("/org/freedesktop/IBus"), &object));
    QVERIFY(ibusServer.registerService(QStringLiteral("org.freedesktop.IBus")));
    QDBusConnection sessionServer = session.connect(QStringLiteral("junk-ibus-session"));
    QDBusConnection sessionClient = session.connect(QStringLiteral("junk-ibus-client"));

    qputenv("IBUS_ADDRESS", ibusBus.address.toUtf8());
    // GSettings has no such schema here or gives nothing usable; either way the daemon's junk is all there is.
    IBusInputSourceProvider provider(sessionClient);
    QVERIFY(!provider.isRunning());
    QVERIFY(sessionServer.registerService(QStringLiteral("org.freedesktop.IBus")));
    QTRY_VERIFY(provider.isRunning());

    const auto sources = provider.enabledInputSources();
    QVERIFY(sources);
    QVERIFY(sources->isEmpty());
    QVERIFY(!provider.currentInputSource());
    // The daemon "accepted" but reports no such engine: not a success.
    QVERIFY(!provider.selectInputSource(QStringLiteral("ibus:hangul")));
    QVERIFY(!provider.selectInputSource(QStringLiteral("hangul")));

    QVERIFY(sessionServer.unregisterService(QStringLiteral("org.freedesktop.IBus")));
    QTRY_VERIFY(!provider.isRunning());
    QVERIFY(!provider.enabledInputSources());
    qunsetenv("IBUS_ADDRESS");
    QDBusConnection::disconnectFromBus(QStringLiteral("junk-ibus-server"));
    QDBusConnection::disconnectFromBus(QStringLiteral("junk-ibus-session"));
    QDBusConnection::disconnectFromBus(QStringLiteral("junk-ibus-client"));
}

TOLVANE_TEST_GUILESS_MAIN(InputMethodUnitTest)
#include "InputMethodUnitTest.moc"
