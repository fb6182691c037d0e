// The Hyprland backend against a stand-in for Hyprland's two sockets, in a
// thread of its own (the backend waits on them as it would on the real one).
// It answers "j/devices", "j/clients", "j/activewindow" and "switchxkblayout"
// the way Hyprland documents them and replays event lines as Hyprland writes
// them.
#include "core/InputSourceManager.h"
#include "core/RuleEngine.h"
#include "core/RulesStore.h"
#include "core/WindowWatcher.h"
#include "feedback/MenuBarIndicatorController.h"
#include "platform/hyprland/HyprlandPlatform.h"
#include "support/EngineHarness.h"
#include "support/RecordingLogSink.h"
#include "support/TestMain.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalServer>
#include <QLocalSocket>
#include <QMutex>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>

namespace {

const QHash<QString, QString> kDescriptions{
    {"us", "English (US)"}, {"de", "German"}, {"de(nodeadkeys)", "German (no dead keys)"}, {"ru", "Russian"}};

class HyprlandStandIn : public QObject {
public:
    struct Keyboard {
        QString name;
        QStringList layouts; // "de(nodeadkeys)" style
        int active = 0;
    };

    explicit HyprlandStandIn(const QString& directory)
    {
        m_requests.listen(directory + QStringLiteral("/.socket.sock"));
        m_events.listen(directory + QStringLiteral("/.socket2.sock"));
        connect(&m_requests, &QLocalServer::newConnection, this, [this] {
            QLocalSocket* client = m_requests.nextPendingConnection();
            connect(client, &QLocalSocket::readyRead, client, [this, client] {
                client->write(answer(client->readAll()));
                client->disconnectFromServer();
            });
            connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
        });
        connect(&m_events, &QLocalServer::newConnection, this,
                [this] { m_listeners.append(m_events.nextPendingConnection()); });
    }

    // Everything below runs in the stand-in's thread.
    void send(const QByteArray& lines)
    {
        for (QLocalSocket* listener : std::as_const(m_listeners)) {
            listener->write(lines);
            listener->flush();
        }
    }

    QMutex mutex;
    QList<Keyboard> keyboards;
    QJsonArray clients;
    QString activeAddress;
    bool switchesSilently = false; // answers "ok" and does nothing
    QStringList requests;

private:
    QByteArray answer(const QByteArray& request)
    {
        QMutexLocker lock(&mutex);
        requests.append(QString::fromUtf8(request));
        if (request == "j/devices") {
            QJsonArray list;
            for (const Keyboard& keyboard : std::as_const(keyboards)) {
                QStringList layouts, variants;
                for (const QString& layout : keyboard.layouts) {
                    layouts.append(layout.section(QLatin1Char('('), 0, 0));
                    variants.append(layout.contains(QLatin1Char('(')) ? layout.section(QLatin1Char('('), 1).chopped(1)
                                                                      : QString());
                }
                list.append(QJsonObject{{"name", keyboard.name},
                                        {"layout", layouts.join(',')},
                                        {"variant", variants.join(',')},
                                        {"active_keymap", kDescriptions.value(keyboard.layouts.at(keyboard.active))},
                                        {"main", &keyboard == &keyboards.constFirst()}});
            }
            return QJsonDocument(QJsonObject{{"mice", QJsonArray{}}, {"keyboards", list}}).toJson();
        }
        if (request == "j/clients")
            return QJsonDocument(clients).toJson();
        if (request == "j/activewindow") {
            for (const QJsonValue& client : std::as_const(clients)) {
                if (client.toObject().value("address").toString() == activeAddress)
                    return QJsonDocument(client.toObject()).toJson();
            }
            return "{}";
        }
        const QList<QByteArray> words = request.split(' ');
        if (words.size() == 3 && words.at(0) == "switchxkblayout") {
            for (Keyboard& keyboard : keyboards) {
                if (keyboard.name != QString::fromUtf8(words.at(1)))
                    continue;
                const int index = words.at(2).toInt();
                if (switchesSilently || index == keyboard.active || index < 0 || index >= keyboard.layouts.size())
                    return "ok";
                keyboard.active = index;
                send("activelayout>>" + keyboard.name.toUtf8() + ','
                     + kDescriptions.value(keyboard.layouts.at(index)).toUtf8() + '\n');
                return "ok";
            }
            return "device not found";
        }
        return "unknown request";
    }

    QLocalServer m_requests;
    QLocalServer m_events;
    QList<QLocalSocket*> m_listeners;
};

QJsonObject client(const QString& address, const QString& className, bool xwayland, int pid)
{
    return QJsonObject{
        {"address", address},           {"mapped", true},     {"hidden", false},     {"at", QJsonArray{10, 20}},
        {"size", QJsonArray{800, 600}}, {"class", className}, {"title", "~"},        {"initialClass", className},
        {"initialTitle", "~"},          {"pid", pid},         {"xwayland", xwayland}};
}

} // namespace

class HyprlandStandInTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        QFile::remove(RulesStore::standardPath());
        m_dir = std::make_unique<QTemporaryDir>();
        m_thread.start();
        QObject context;
        context.moveToThread(&m_thread);
        QMetaObject::invokeMethod(
            &context,
            [this] {
                m_standIn = new HyprlandStandIn(m_dir->path());
                m_standIn->keyboards = {{"at-translated-set-2-keyboard", {"us", "de(nodeadkeys)", "ru"}, 0},
                                        {"logitech-usb-keyboard", {"us", "de(nodeadkeys)", "ru"}, 0}};
                m_standIn->clients = {client("0x55a1c2b3d4e0", "foot", false, 4242),
                                      client("0x55a1c2b3d5f0", "Xmessage", true, 4343)};
            },
            Qt::BlockingQueuedConnection);
        m_platform = HyprlandPlatform::create(m_dir->path());
        QVERIFY(m_platform);
    }

    void cleanup()
    {
        m_platform.reset();
        inStandIn([](HyprlandStandIn& standIn) { delete &standIn; });
        m_thread.quit();
        m_thread.wait();
    }

    void listsEachKeyboardsLayoutsUnderXkbNames()
    {
        QStringList listed;
        for (const auto& source : provider()->enabledInputSources().value_or(QList<InputSourceProperties>{}))
            listed.append(source.id.value_or(QString()) + QLatin1Char(' ') + source.localizedName.value_or(QString()));
        QCOMPARE(listed,
                 (QStringList{"xkb:us English (US)", "xkb:de(nodeadkeys) German (no dead keys)", "xkb:ru Russian"}));
        QCOMPARE(provider()->currentInputSource()->id, QStringLiteral("xkb:us"));
    }

    void followsTheActiveWindow_data()
    {
        QTest::addColumn<QByteArray>("lines");
        QTest::addColumn<QString>("bundleIdentifier");
        QTest::addColumn<QString>("name");
        const auto row = [](const char* tag, const QByteArray& lines, const QString& bundle, const QString& name) {
            QTest::newRow(tag) << lines << bundle << name;
        };
        row("Wayland client", "activewindow>>foot,~\nactivewindowv2>>55a1c2b3d4e0\n", "foot", "Foot");
        row("Xwayland client", "activewindow>>Xmessage,~\nactivewindowv2>>55a1c2b3d5f0\n", "Xmessage", "Xmessage");
        // Opened after start: read when it first becomes active.
        row("new window",
            "openwindow>>55a1c2b3d6a0,1,org.example.New,~\nactivewindow>>org.example.New,~\nactivewindowv2>>"
            "55a1c2b3d6a0\n",
            "org.example.New", "org.example.New");
    }

    void followsTheActiveWindow()
    {
        QFETCH(QByteArray, lines);
        QFETCH(QString, bundleIdentifier);
        ApplicationSource* source = m_platform->applicationSource();
        QSignalSpy activated(source, &ApplicationSource::applicationActivated);
        inStandIn([&](HyprlandStandIn& standIn) {
            standIn.clients.append(client("0x55a1c2b3d6a0", "org.example.New", false, 4444));
            standIn.activeAddress = lines.contains("d6a0") ? "0x55a1c2b3d6a0" : QString();
            standIn.send(lines);
        });
        QTRY_COMPARE(activated.size(), 1);
        const auto app = activated.first().first().value<RunningApplication>();
        QCOMPARE(app.bundleIdentifier, bundleIdentifier);
        QTEST(app.localizedName, "name");
        QVERIFY(app.processIdentifier > 0);
    }

    void appliesRulesToEveryKeyboard()
    {
        BackendEngine engine(provider(), m_platform->applicationSource(),
                             {ruleFor(QStringLiteral("foot"), QStringLiteral("xkb:de(nodeadkeys)")),
                              ruleFor(QStringLiteral("Xmessage"), QStringLiteral("xkb:ru"))},
                             QStringLiteral("xkb:us"));
        inStandIn([](HyprlandStandIn& standIn) { standIn.send("activewindowv2>>55a1c2b3d4e0\n"); });
        QTRY_COMPARE(activeLayouts(), (QList<int>{1, 1}));
        inStandIn([](HyprlandStandIn& standIn) { standIn.send("activewindowv2>>55a1c2b3d5f0\n"); });
        QTRY_COMPARE(activeLayouts(), (QList<int>{2, 2}));
        QTRY_COMPARE(engine.shown, (QStringList{"German (no dead keys) xkb:de(nodeadkeys)", "Russian xkb:ru"}));
        QTRY_COMPARE(provider()->currentInputSource()->id, QStringLiteral("xkb:ru"));
    }

    void selectionCountsOnlyWhenHyprlandReportsIt_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<bool>("silent");
        QTest::addColumn<bool>("selected");
        QTest::addColumn<int>("requests");
        QTest::newRow("switched and reported") << "xkb:ru" << false << true << 2;
        QTest::newRow("answered ok, never reported") << "xkb:ru" << true << false << 2;
        QTest::newRow("already active, nothing to ask") << "xkb:us" << false << true << 0;
        QTest::newRow("no keyboard has it") << "xkb:fr" << false << false << 0;
    }

    void selectionCountsOnlyWhenHyprlandReportsIt()
    {
        QFETCH(QString, id);
        QFETCH(bool, silent);
        provider(); // made, and its keyboards asked for, before the count starts
        inStandIn([&](HyprlandStandIn& standIn) {
            standIn.switchesSilently = silent;
            standIn.requests.clear();
        });
        QTEST(provider()->selectInputSource(id), "selected");
        QStringList sent;
        inStandIn([&](HyprlandStandIn& standIn) { sent = standIn.requests; });
        QTEST(int(sent.size()), "requests");
        for (const QString& request : sent)
            QVERIFY(request.startsWith(QStringLiteral("switchxkblayout ")));
    }

    void aKeyboardAddedLaterGetsTheLayoutInUse()
    {
        QVERIFY(provider()->selectInputSource(QStringLiteral("xkb:ru")));
        QTRY_COMPARE(provider()->currentInputSource()->id, QStringLiteral("xkb:ru"));
        inStandIn([](HyprlandStandIn& standIn) {
            standIn.keyboards.append({"wireless-keyboard", {"us", "de(nodeadkeys)", "ru"}, 0});
            standIn.send("activelayout>>wireless-keyboard,English (US)\n");
        });
        QTRY_COMPARE(activeLayouts(), (QList<int>{2, 2, 2}));
        QCOMPARE(provider()->currentInputSource()->id, QStringLiteral("xkb:ru"));
    }

    void junkOnTheEventSocketChangesNothing_data()
    {
        QTest::addColumn<QByteArray>("lines");
        QTest::newRow("no separator") << QByteArray("garbage\n\n>>\n");
        QTest::newRow("layout without keyboard") << QByteArray("activelayout>>Russian\nactivelayout>>,Russian\n");
        QTest::newRow("unknown layout name") << QByteArray("activelayout>>logitech-usb-keyboard,Klingon\n");
        QTest::newRow("unknown window") << QByteArray("activewindowv2>>deadbeef\n");
        QTest::newRow("binary") << QByteArray("\0\xff\xfe>>\x01\n", 7);
        // Well-formed, but naming no window or no change of Tolvane's.
        QTest::newRow("focus on nothing") << QByteArray("activewindow>>,\nactivewindowv2>>,\n");
        QTest::newRow("other events") << QByteArray("workspace>>2\nfocusedmon>>DP-1,2\n");
    }

    void junkOnTheEventSocketChangesNothing()
    {
        QFETCH(QByteArray, lines);
        RecordingLogSink log;
        InputSourceManager manager(provider());
        MenuBarIndicatorController tray(manager);
        QSignalSpy changed(provider(), &InputSourceProvider::selectedInputSourceChanged);
        QSignalSpy activated(m_platform->applicationSource(), &ApplicationSource::applicationActivated);
        inStandIn([&](HyprlandStandIn& standIn) { standIn.send(lines); });
        QTest::qWait(100);
        QCOMPARE(changed.size(), 0);
        QCOMPARE(activated.size(), 0);
        QCOMPARE(provider()->currentInputSource()->id, QStringLiteral("xkb:us"));
        // Still listening afterwards: a switch made outside reaches the tray.
        inStandIn([](HyprlandStandIn& standIn) { standIn.send("activelayout>>logitech-usb-keyboard,Russian\n"); });
        QTRY_COMPARE(tray.currentInputSourceName(), QStringLiteral("Russian"));
        QCOMPARE(changed.size(), 1);
    }

private:
    // Runs `work` in the stand-in's thread and waits for it.
    void inStandIn(const std::function<void(HyprlandStandIn&)>& work)
    {
        QMetaObject::invokeMethod(
            m_standIn, [this, work] { work(*m_standIn); }, Qt::BlockingQueuedConnection);
    }
    QList<int> activeLayouts()
    {
        QList<int> active;
        inStandIn([&](HyprlandStandIn& standIn) {
            for (const auto& keyboard : std::as_const(standIn.keyboards))
                active.append(keyboard.active);
        });
        return active;
    }
    InputSourceProvider* provider() { return m_platform->inputSourceProvider(); }

    std::unique_ptr<QTemporaryDir> m_dir;
    QThread m_thread;
    HyprlandStandIn* m_standIn = nullptr;
    std::unique_ptr<HyprlandPlatform> m_platform;
};

TOLVANE_TEST_MAIN(HyprlandStandInTest)
#include "HyprlandStandInTest.moc"
