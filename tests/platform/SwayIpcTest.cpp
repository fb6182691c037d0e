// The parts of the sway backend that need no sway: the i3 IPC framing against
// a stand-in server that answers junk or nothing, the configuration check and
// the layout names.
#include "platform/freedesktop/XkbRegistry.h"
#include "platform/sway/SwayConfigCheck.h"
#include "platform/sway/SwayInputSourceProvider.h"
#include "platform/sway/SwayIpcSocket.h"
#include "platform/sway/SwayWindowEventReader.h"
#include "support/RecordingLogSink.h"
#include "support/TestMain.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>

class SwayIpcTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void framesAreTakenWhole_data()
    {
        const QByteArray one = SwayIpcSocket::encode(SwayIpcSocket::GetTree, "{}");
        const QByteArray two = SwayIpcSocket::encode(SwayIpcSocket::WindowEvent, R"({"change":"focus"})");
        QTest::addColumn<QByteArray>("buffer");
        QTest::addColumn<int>("frames");
        QTest::addColumn<bool>("broken");
        QTest::addColumn<int>("left");
        QTest::newRow("empty") << QByteArray() << 0 << false << 0;
        QTest::newRow("part of the magic") << QByteArray("i3-") << 0 << false << 3;
        QTest::newRow("header only") << one.left(14) << 0 << false << 14;
        QTest::newRow("payload cut short") << one.chopped(1) << 0 << false << int(one.size() - 1);
        QTest::newRow("two and a part") << one + two + one.left(5) << 2 << false << 5;
        QTest::newRow("empty payload") << SwayIpcSocket::encode(SwayIpcSocket::GetInputs, {}) << 1 << false << 0;
        QTest::newRow("not i3 IPC") << QByteArray("HTTP/1.1 200 OK\r\n") << 0 << true << 17;
        QByteArray huge = one.left(6);
        const quint32 length = SwayIpcSocket::kMaximumPayload + 1;
        huge.append(reinterpret_cast<const char*>(&length), 4).append(4, '\0');
        QTest::newRow("absurd length") << huge << 0 << true << 14;
    }

    void framesAreTakenWhole()
    {
        QFETCH(QByteArray, buffer);
        int taken = 0;
        bool isBroken = false;
        while (const auto frame = SwayIpcSocket::takeFrame(buffer, isBroken))
            ++taken;
        QTEST(taken, "frames");
        QTEST(isBroken, "broken");
        QTEST(int(buffer.size()), "left");
    }

    void aServerAnsweringJunkIsDroppedWithAMessage_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QString>("message");
        QTest::newRow("junk") << QByteArray("no thanks\n") << "not i3 IPC";
        QTest::newRow("nothing") << QByteArray() << "did not answer within 100 ms";
        QTest::newRow("half a frame") << SwayIpcSocket::encode(SwayIpcSocket::GetInputs, "[]").left(12)
                                      << "did not answer within 100 ms";
    }

    void aServerAnsweringJunkIsDroppedWithAMessage()
    {
        QFETCH(QByteArray, answer);
        QFETCH(QString, message);
        QTemporaryDir dir;
        QLocalServer server;
        QVERIFY(server.listen(dir.filePath(QStringLiteral("ipc.sock"))));
        // Answered ahead: the server shares the thread that the waiting request blocks.
        bool answered = false;
        connect(&server, &QLocalServer::newConnection, &server, [&] {
            QLocalSocket* client = server.nextPendingConnection();
            client->write(answer);
            client->flush();
            answered = true;
        });
        RecordingLogSink log;
        SwayIpcSocket socket;
        QSignalSpy disconnected(&socket, &SwayIpcSocket::disconnected);
        QVERIFY(socket.connectTo(server.fullServerName()));
        QTRY_VERIFY(answered);
        QVERIFY(!socket.request(SwayIpcSocket::GetInputs, {}, 100));
        QTRY_COMPARE(disconnected.size(), 1);
        QVERIFY(!socket.isConnected());
        QCOMPARE(log.lines().filter(message).size(), 1);
        QVERIFY(!socket.request(SwayIpcSocket::GetInputs, {}, 100));
    }

    void eventsMetWhileWaitingComeAfterwardsInOrder()
    {
        QTemporaryDir dir;
        QLocalServer server;
        QVERIFY(server.listen(dir.filePath(QStringLiteral("ipc.sock"))));
        QLocalSocket* client = nullptr;
        connect(&server, &QLocalServer::newConnection, &server, [&] { client = server.nextPendingConnection(); });
        SwayIpcSocket socket;
        QVERIFY(socket.connectTo(server.fullServerName()));
        QTRY_VERIFY(client);
        QStringList seen;
        connect(&socket, &SwayIpcSocket::eventReceived, this,
                [&seen](quint32, const QByteArray& payload) { seen.append(QString::fromUtf8(payload)); });
        // Events written before the answer, all in one piece.
        client->write(SwayIpcSocket::encode(SwayIpcSocket::InputEvent, "1")
                      + SwayIpcSocket::encode(SwayIpcSocket::WindowEvent, "2")
                      + SwayIpcSocket::encode(SwayIpcSocket::GetInputs, "[]")
                      + SwayIpcSocket::encode(SwayIpcSocket::WindowEvent, "3"));
        client->flush();
        QCOMPARE(socket.request(SwayIpcSocket::GetInputs), QByteArray("[]"));
        QVERIFY(seen.isEmpty());
        QTRY_COMPARE(seen, (QStringList{"1", "2", "3"}));
    }

    // Defined below the class: moc cannot read its multi-line raw strings.
    void windowEventsAreReadWithoutTheWholeDocument_data();
    void windowEventsAreReadWithoutTheWholeDocument()
    {
        QFETCH(QByteArray, payload);
        QFETCH(QString, summary);
        const auto event = SwayWindowEventReader::read(payload);
        QCOMPARE(event.has_value(), !summary.isEmpty());
        if (!event)
            return;
        const auto orDash = [](bool has, const QString& text) { return has ? text : QStringLiteral("-"); };
        QCOMPARE(
            QStringList({event->change, event->type, QString::number(event->id), QString::number(event->pid),
                         orDash(event->hasAppId, event->appId), orDash(event->hasWindowProperties, event->className),
                         orDash(event->hasWindowProperties, event->instanceName)})
                .join(QLatin1Char(' ')),
            summary);
    }

    void layoutRulesInTheConfigAreFound_data()
    {
        QTest::addColumn<QString>("config");
        QTest::addColumn<QStringList>("found");
        QTest::newRow("switch by index")
            << "for_window [app_id=\"firefox\"] input type:keyboard xkb_switch_layout 1\n"
            << QStringList{"for_window [app_id=\"firefox\"] input type:keyboard xkb_switch_layout 1"};
        QTest::newRow("indented, set layout") << "  for_window [class=\"X\"] input * xkb_layout de\n"
                                              << QStringList{"for_window [class=\"X\"] input * xkb_layout de"};
        QTest::newRow("continued line") << "for_window [app_id=\"a\"] \\\n  input * xkb_switch_layout 2\n"
                                        << QStringList{"for_window [app_id=\"a\"]    input * xkb_switch_layout 2"};
        QTest::newRow("commented out") << "# for_window [app_id=\"a\"] input * xkb_switch_layout 2\n" << QStringList{};
        QTest::newRow("other for_window") << "for_window [app_id=\"a\"] floating enable\n" << QStringList{};
        QTest::newRow("layouts set globally") << "input * xkb_layout us,de\n" << QStringList{};
        QTest::newRow("a variable named alike") << "for_window [title=\"xkb_layouts\"] floating enable\n"
                                                << QStringList{};
    }

    void layoutRulesInTheConfigAreFound()
    {
        QFETCH(QString, config);
        QTEST(SwayConfigCheck::layoutSwitchingWindowRules(config), "found");
    }

    void layoutDescriptionsBecomeXkbIdentifiers_data()
    {
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("id");
        QTest::newRow("layout") << QString("German") << QString("xkb:de");
        QTest::newRow("layout with country") << QString("English (US)") << QString("xkb:us");
        QTest::newRow("variant") << QString("German (no dead keys)") << QString("xkb:de(nodeadkeys)");
        QTest::newRow("unknown") << QString("Klingon") << QString("xkb:Klingon");
    }

    void layoutDescriptionsBecomeXkbIdentifiers()
    {
        QFETCH(QString, description);
        const XkbRegistry registry = XkbRegistry::fromXml(R"(<xkbConfigRegistry><layoutList>
          <layout><configItem><name>us</name><description>English (US)</description></configItem></layout>
          <layout><configItem><name>de</name><description>German</description></configItem>
            <variantList><variant><configItem><name>nodeadkeys</name><description>German (no dead keys)</description>
            </configItem></variant></variantList></layout>
        </layoutList></xkbConfigRegistry>)");
        QTEST(SwayInputSourceProvider::identifierForDescription(description, registry), "id");
    }
};

void SwayIpcTest::windowEventsAreReadWithoutTheWholeDocument_data()
{
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QString>("summary"); // change type id pid app_id|- class|- instance|-; empty: not read
    const auto row = [](const char* tag, const QByteArray& payload, const QString& summary) {
        QTest::newRow(tag) << payload << summary;
    };
    row("Wayland focus", R"({ "change": "focus", "container": { "id": 8, "type": "con",
        "rect": { "x": 427, "y": 0 }, "marks": [ ], "name": "sh", "window": null, "nodes": [ ], "pid": 1234,
        "app_id": "foot", "percent": 0.33333333333333331, "shell": "xdg_shell", "idle_inhibitors": { "user": "none" } } })",
        "focus con 8 1234 foot - -");
    row("Xwayland focus", R"({"change":"focus","container":{"id":12,"type":"floating_con",
        "app_id":null,"pid":77,"window_properties":{"class":"Xmessage","instance":"xmessage","title":"x",
        "transient_for":null}}})",
        "focus floating_con 12 77 - Xmessage xmessage");
    row("escapes", R"({"change":"focus","container":{"id":1,"type":"con","pid":2,
        "name":"a \"quoted\" } title [","app_id":"caf\u00e9.\"x\""}})",
        "focus con 1 2 café.\"x\" - -");
    row("a child's app_id is not the container's", R"({"change":"focus","container":{"id":3,
        "type":"workspace","nodes":[{"id":4,"type":"con","app_id":"inner"}],"floating_nodes":[]}})",
        "focus workspace 3 0 - - -");
    row("other change", R"({"change":"title","container":{"id":5,"type":"con","app_id":"a"}})", "title con 5 0 a - -");
    row("cut short", R"({"change":"focus","container":{"id":5,"type":"co)", "");
    row("backslash at the end", R"({"change":"\)", "");
    row("not an object", "[1,2]", "");
    row("empty", {}, "");
    row("id not a number", R"({"change":"focus","container":{"id":"x"}})", "");
}

TOLVANE_TEST_GUILESS_MAIN(SwayIpcTest)
#include "SwayIpcTest.moc"
