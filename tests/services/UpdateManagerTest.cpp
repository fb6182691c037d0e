#include "services/UpdateManager.h"
#include "services/AppcastUpdater.h"
#include "services/LocalizationManager.h"
#include "services/UpdateUserDriver.h"
#include "services/VersionComparator.h"
#include "support/LoopbackHttpServer.h"
#include "support/RecordingLogSink.h"
#include "support/TestMain.h"

#include <QSignalSpy>

namespace {

QByteArray item(const QByteArray& version, const QByteArray& shortVersion,
                const QByteArray& url = "https://downloads.kelvora.com/tolvane.tar.gz")
{
    return "<item><title>Tolvane " + shortVersion + "</title><enclosure url=\"" + url + "\" sparkle:version=\""
        + version + "\" sparkle:shortVersionString=\"" + shortVersion + "\" type=\"application/octet-stream\"/></item>";
}

QByteArray feed(const QByteArray& items)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
           "<rss version=\"2.0\" xmlns:sparkle=\"http://www.andymatuschak.org/xml-namespaces/sparkle\">"
           "<channel><title>Tolvane</title>"
        + items + "</channel></rss>\n";
}

// A loopback HTTP server that answers each path with a canned response.
class FeedServer : public tolvane::test::LoopbackHttpServer {
public:
    FeedServer()
        : LoopbackHttpServer(serve)
    {
    }

private:
    static void serve(QTcpSocket* socket, const Request& request)
    {
        const QByteArray path = request.head.split(' ').value(1);
        if (path == "/silent") // never answers
            return;
        if (path == "/huge") { // without a length announced: only the end of the connection ends it
            socket->write("HTTP/1.0 200 OK\r\nContent-Type: application/rss+xml\r\n\r\n"
                          + QByteArray(3 * 1024 * 1024, ' '));
            socket->disconnectFromHost();
            return;
        }
        // Status, body and further headers by path.
        static const QHash<QByteArray, std::array<QByteArray, 3>> answers{
            {"/newer", {"200 OK", feed(item("1.8", "1.8") + item("1.10", "2.1") + item("1.9.1", "1.9.1"))}},
            {"/equal", {"200 OK", feed(item("1.9", "1.9"))}},
            {"/older", {"200 OK", feed(item("1.2", "1.2") + item("0.9", "0.9"))}},
            {"/redirected", {"302 Found", {}, "Location: /newer\r\n"}},
            {"/loop", {"302 Found", {}, "Location: /loop\r\n"}},
            {"/malformed", {"200 OK", "<rss version=\"2.0\"><channel><item><enclosure url=\"https://x\""}},
            {"/not-a-feed", {"200 OK", "<html><body>Welcome</body></html>"}},
            {"/http-link",
             {"200 OK", feed(item("9.0", "9.0", "http://downloads.kelvora.com/tolvane.tar.gz") + item("1.0", "1.0"))}},
            {"/entities",
             {"200 OK",
              "<?xml version=\"1.0\"?><!DOCTYPE rss [<!ENTITY a \"aaaaaaaaaa\">"
              "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">]>"
              "<rss version=\"2.0\"><channel><title>&b;</title></channel></rss>"}},
        };
        const auto answer = answers.value(path, {"404 Not Found", "no such feed", {}});
        respond(socket, answer[0], "application/rss+xml", answer[1], answer[2]);
    }
};

class RecordingDriver : public UpdateUserDriver {
public:
    void showUpToDate(const QString& currentVersion) override { shown.append("up to date " + currentVersion); }
    void showUpdateFound(const AppcastItem& item, const QString& currentVersion) override
    {
        shown.append(QStringLiteral("found %1 %2 over %3")
                         .arg(item.displayVersionString, item.fileURL.toString(), currentVersion));
    }
    void showUpdateError(const QString& message) override { shown.append("error " + message); }
    QStringList shown;
};

} // namespace

class UpdateManagerTest : public QObject {
    Q_OBJECT
    FeedServer m_server;

    // An update manager at version 1.9 over the feed at `address` (a path on the
    // test server, or a whole address), not yet checking.
    std::unique_ptr<UpdateManager> managerFor(const QString& address, RecordingDriver& driver)
    {
        AppcastUpdater::Options options;
        options.feedURL = address.startsWith(u'/') ? m_server.url(address) : QUrl(address);
        options.currentVersion = QStringLiteral("1.9");
        options.transferTimeoutMs = 1500;
        options.allowLoopbackHttp = true;
        return std::make_unique<UpdateManager>(new AppcastUpdater(options, &driver));
    }

private Q_SLOTS:
    void comparesVersions_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<int>("order");
        const auto row = [](const char* tag, const QString& a, const QString& b, int order) {
            QTest::newRow(tag) << a << b << order;
        };
        row("missing parts are zero", "2", "2.0.0", 0);
        row("longer is newer", "1.9.1", "1.9", 1);
        row("pre-release before release", "2.0b1", "2.0", -1);
        row("beta ordering", "2.0b2", "2.0b10", -1);
        row("point release after pre-release", "2.0.1", "2.0b5", 1);
        row("huge numbers do not overflow", "1.99999999999999999999", "1.99999999999999999998", 1);
    }

    void comparesVersions()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(int, order);
        QCOMPARE(VersionComparator::compare(a, b), order);
        QCOMPARE(VersionComparator::compare(b, a), -order);
    }

    void checksTheFeed_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("log"); // a trailing "…" matches any rest of the last line
        QTest::addColumn<QString>("shown"); // likewise

        auto found = [](int items, const QString& outcome) {
            return QStringList{QStringLiteral("info: Sparkle: Loaded appcast with %1 items").arg(items),
                               "info: Sparkle: " + outcome};
        };
        const QString newer = QStringLiteral("found 2.1 https://downloads.kelvora.com/tolvane.tar.gz over 1.9");
        const QString available = QStringLiteral("Update available: 2.1");
        const QString upToDate = QStringLiteral("You're up to date!");
        QTest::newRow("newer: 1.10 beats 1.9") << "/newer" << available << found(3, "Found update - 2.1") << newer;
        QTest::newRow("redirect to a feed") << "/redirected" << available << found(3, "Found update - 2.1") << newer;
        QTest::newRow("equal") << "/equal" << upToDate << found(1, "No updates available") << "up to date 1.9";
        QTest::newRow("older") << "/older" << upToDate << found(2, "No updates available") << "up to date 1.9";

        const QString failed = QStringLiteral("Update check failed");
        const QStringList failedLog{"error: Sparkle error: The update feed could not be read: …"};
        const QString failedShown = QStringLiteral("error The update feed could not be read: …");
        QTest::newRow("404") << "/404" << failed << failedLog << failedShown;
        QTest::newRow("malformed XML") << "/malformed" << failed << failedLog << failedShown;
        QTest::newRow("not a feed") << "/not-a-feed" << failed << failedLog << failedShown;
        QTest::newRow("entity expansion") << "/entities" << failed << failedLog << failedShown;
        QTest::newRow("huge") << "/huge" << failed << failedLog << failedShown;
        QTest::newRow("timeout") << "/silent" << failed << failedLog << failedShown;
        QTest::newRow("redirect loop") << "/loop" << failed << failedLog << failedShown;
        QTest::newRow("plain http feed outside loopback")
            << "http://updates.kelvora.com/appcast.xml" << failed << failedLog << failedShown;
        // An older item with a good link does not hide the newest one.
        QTest::newRow("newest link is plain http")
            << "/http-link" << failed << QStringList{"info: Sparkle: Loaded appcast with 2 items", failedLog.first()}
            << "error The update feed could not be read: version 9.0 has a download link that is not https";
    }

    void checksTheFeed()
    {
        QFETCH(QString, address);
        QFETCH(QString, message);
        QFETCH(QStringList, log);
        QFETCH(QString, shown);

        RecordingDriver driver;
        const auto manager = managerFor(address, driver);
        QSignalSpy checking(manager.get(), &UpdateManager::isCheckingForUpdatesChanged);
        RecordingLogSink sink;
        manager->checkForUpdates();
        QVERIFY(manager->isCheckingForUpdates());
        QTRY_VERIFY_WITH_TIMEOUT(!manager->isCheckingForUpdates(), 10000);
        QCOMPARE(checking.size(), 2);
        QCOMPARE(manager->lastCheckMessage(), message);

        auto matches = [](const QString& actual, const QString& expected) {
            return expected.endsWith(u'…') ? actual.startsWith(expected.chopped(1)) : actual == expected;
        };
        const QStringList lines = sink.lines();
        QCOMPARE(lines.size(), log.size());
        for (qsizetype i = 0; i < log.size(); ++i)
            QVERIFY2(matches(lines[i], log[i]), qPrintable(lines[i]));
        QCOMPARE(driver.shown.size(), 1);
        QVERIFY2(matches(driver.shown.first(), shown), qPrintable(driver.shown.first()));
    }

    void feedFailuresAreTranslatedWhole_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("data"); // stays as it is inside the message
        QTest::newRow("de, 404") << QString("de") << QString("/404") << QString("404");
        QTest::newRow("ja, plain http download") << QString("ja") << QString("/http-link") << QString("9.0");
        QTest::newRow("ko, not a feed") << QString("ko") << QString("/not-a-feed") << QString();
    }

    void feedFailuresAreTranslatedWhole()
    {
        QFETCH(QString, language);
        QFETCH(QString, address);
        QFETCH(QString, data);
        LocalizationManager::shared().setLanguage(language, false);
        RecordingDriver driver;
        const auto manager = managerFor(address, driver);
        manager->checkForUpdates();
        QTRY_VERIFY_WITH_TIMEOUT(!manager->isCheckingForUpdates(), 10000);
        LocalizationManager::shared().setLanguage(QStringLiteral("en"), false);
        QCOMPARE(driver.shown.size(), 1);
        const QString shown = driver.shown.first();
        for (const char* english : {"could not be read", "server", "answered", "download link", "RSS feed"})
            QVERIFY2(!shown.contains(QLatin1String(english)), qPrintable(shown));
        QVERIFY(shown.contains(data));
    }
};

TOLVANE_TEST_MAIN(UpdateManagerTest)
#include "UpdateManagerTest.moc"
