#include "services/AppcastParser.h"
#include "services/AppcastUpdater.h"
#include "services/UpdateManager.h"
#include "services/UpdateUserDriver.h"
#include "services/VersionComparator.h"
#include "support/RecordingLogSink.h"
#include "support/TestMain.h"
#include "ui/UpdateDialog.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>

namespace {

QByteArray item(const QByteArray& version, const QByteArray& shortVersion,
                const QByteArray& url = "https://downloads.kelvora.com/tolvane.tar.gz")
{
    QByteArray enclosure = "<enclosure url=\"" + url + "\"";
    if (!version.isEmpty())
        enclosure += " sparkle:version=\"" + version + "\"";
    if (!shortVersion.isEmpty())
        enclosure += " sparkle:shortVersionString=\"" + shortVersion + "\"";
    return "<item><title>Tolvane " + shortVersion + "</title>" + enclosure
         + " length=\"10\" type=\"application/octet-stream\"/></item>";
}

QByteArray feed(const QByteArray& items)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
           "<rss version=\"2.0\" xmlns:sparkle=\"http://www.andymatuschak.org/xml-namespaces/sparkle\">"
           "<channel><title>Tolvane</title>"
         + items + "</channel></rss>\n";
}

// A loopback HTTP server that answers each path with a canned response.
class FeedServer : public QObject {
public:
    FeedServer()
    {
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
                socket->setParent(this);
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { serve(socket); });
            }
        });
        if (!m_server.listen(QHostAddress::LocalHost))
            qFatal("cannot listen on loopback");
    }

    QUrl url(const QString& path) const
    {
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path));
    }

private:
    void serve(QTcpSocket* socket)
    {
        QByteArray& request = m_requests[socket];
        request += socket->readAll();
        if (!request.contains("\r\n\r\n"))
            return;
        const QByteArray path = request.split(' ').value(1);
        auto respond = [socket](const QByteArray& status, const QByteArray& body, const QByteArray& headers = {}) {
            socket->write("HTTP/1.1 " + status + "\r\nContent-Type: application/rss+xml\r\nContent-Length: "
                          + QByteArray::number(body.size()) + "\r\nConnection: close\r\n" + headers + "\r\n" + body);
            socket->disconnectFromHost();
        };
        static const QHash<QByteArray, QByteArray> feeds{
            {"/newer", feed(item("1.8", "1.8") + item("1.10", "2.1") + item("1.9.1", "1.9.1"))},
            {"/equal", feed(item("1.9", "1.9"))},
            {"/older", feed(item("1.2", "1.2") + item("0.9", "0.9"))},
            {"/empty", feed(QByteArray())},
            {"/malformed", "<rss version=\"2.0\"><channel><item><enclosure url=\"https://x\""},
            {"/not-a-feed", "<html><body>Welcome</body></html>"},
            {"/missing-version", feed(item("", ""))},
            {"/missing-link", feed("<item><enclosure sparkle:version=\"9.0\"/></item>")},
            {"/http-link", feed(item("9.0", "9.0", "http://downloads.kelvora.com/tolvane.tar.gz"))},
            {"/script-link", feed(item("9.0", "9.0", "javascript:alert(1)") + item("1.0", "1.0"))},
            {"/entities", "<?xml version=\"1.0\"?><!DOCTYPE rss [<!ENTITY a \"aaaaaaaaaa\">"
                          "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">]>"
                          "<rss version=\"2.0\"><channel><title>&b;</title></channel></rss>"},
            {"/huge", feed(QByteArray(3 * 1024 * 1024, ' '))},
        };
        if (feeds.contains(path))
            respond("200 OK", feeds.value(path));
        else if (path == "/redirected" || path == "/loop")
            respond("302 Found", QByteArray(), "Location: " + QByteArray(path == "/loop" ? "/loop" : "/newer") + "\r\n");
        else if (path == "/huge-unannounced") {
            socket->write("HTTP/1.0 200 OK\r\nContent-Type: application/rss+xml\r\n\r\n");
            for (int i = 0; i < 48; ++i)
                socket->write(QByteArray(64 * 1024, ' '));
            socket->disconnectFromHost();
        } else if (path != "/silent") // which never answers
            respond("404 Not Found", "no such feed");
    }

    QTcpServer m_server;
    QHash<QTcpSocket*, QByteArray> m_requests;
};

class RecordingDriver : public UpdateUserDriver {
public:
    void showUpToDate(const QString& currentVersion) override { shown.append("up to date " + currentVersion); }
    void showUpdateFound(const AppcastItem& item, const QString& currentVersion) override
    {
        shown.append("found " + item.displayVersionString + " " + item.fileURL.toString() + " over "
                     + currentVersion);
    }
    void showUpdateError(const QString& message) override { shown.append("error " + message); }
    QStringList shown;
};

} // namespace

class UpdateManagerTest : public QObject {
    Q_OBJECT
    FeedServer m_server;

    static AppcastUpdater* updater(const QUrl& feedURL, RecordingDriver& driver, bool allowLoopbackHttp = true)
    {
        AppcastUpdater::Options options;
        options.feedURL = feedURL;
        options.currentVersion = QStringLiteral("1.9");
        options.transferTimeoutMs = 1500;
        options.allowLoopbackHttp = allowLoopbackHttp;
        return new AppcastUpdater(options, &driver);
    }

private Q_SLOTS:
    void comparesVersions_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<int>("order");
        QTest::newRow("numbers, not text") << "1.10" << "1.9" << 1;
        QTest::newRow("equal") << "2.1" << "2.1" << 0;
        QTest::newRow("missing parts are zero") << "2" << "2.0.0" << 0;
        QTest::newRow("leading zeros") << "1.01" << "1.1" << 0;
        QTest::newRow("longer is newer") << "1.9.1" << "1.9" << 1;
        QTest::newRow("pre-release before release") << "2.0b1" << "2.0" << -1;
        QTest::newRow("beta ordering") << "2.0b2" << "2.0b10" << -1;
        QTest::newRow("beta before rc") << "2.0-beta" << "2.0-rc1" << -1;
        QTest::newRow("point release after pre-release") << "2.0.1" << "2.0b5" << 1;
        QTest::newRow("huge numbers do not overflow") << "1.99999999999999999999" << "1.99999999999999999998" << 1;
        QTest::newRow("empty is oldest") << "" << "0.1" << -1;
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
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("log"); // a trailing "…" matches any rest of the last line
        QTest::addColumn<QString>("shown");   // likewise

        const QString failed = QStringLiteral("Update check failed");
        const QStringList failedLog{"error: Sparkle error: The update feed could not be read. (…"};
        const QString failedShown = QStringLiteral("error The update feed could not be read. (…");

        auto found = [](int items, const QString& outcome) {
            return QStringList{QStringLiteral("info: Sparkle: Loaded appcast with %1 items").arg(items), "info: Sparkle: " + outcome};
        };
        const QString newer = QStringLiteral("found 2.1 https://downloads.kelvora.com/tolvane.tar.gz over 1.9");
        QTest::newRow("newer: 1.10 beats 1.9") << "/newer" << "Update available: 2.1" << found(3, "Found update - 2.1") << newer;
        QTest::newRow("redirect to a feed") << "/redirected" << "Update available: 2.1" << found(3, "Found update - 2.1") << newer;
        QTest::newRow("equal") << "/equal" << "You're up to date!" << found(1, "No updates available") << "up to date 1.9";
        QTest::newRow("older") << "/older" << "You're up to date!" << found(2, "No updates available") << "up to date 1.9";
        QTest::newRow("no items") << "/empty" << "You're up to date!" << found(0, "No updates available") << "up to date 1.9";

        QTest::newRow("404") << "/404" << failed << failedLog << failedShown;
        QTest::newRow("malformed XML") << "/malformed" << failed << failedLog << failedShown;
        QTest::newRow("not a feed") << "/not-a-feed" << failed << failedLog << failedShown;
        QTest::newRow("entity expansion") << "/entities" << failed << failedLog << failedShown;
        QTest::newRow("huge, announced") << "/huge" << failed << failedLog << failedShown;
        QTest::newRow("huge, unannounced") << "/huge-unannounced" << failed << failedLog << failedShown;
        QTest::newRow("timeout") << "/silent" << failed << failedLog << failedShown;
        QTest::newRow("redirect loop") << "/loop" << failed << failedLog << failedShown;
        const QStringList loadedThenFailed{"info: Sparkle: Loaded appcast with 1 items", failedLog.first()};
        QTest::newRow("item without a version") << "/missing-version" << failed << loadedThenFailed << failedShown;
        QTest::newRow("item without a link") << "/missing-link" << failed << loadedThenFailed << failedShown;
        QTest::newRow("newest link is plain http")
            << "/http-link" << failed << loadedThenFailed
            << "error The update feed could not be read. (version 9.0 has a download link that is not https)";
        QTest::newRow("newest link is a script, an older one is fine")
            << "/script-link" << failed
            << QStringList{"info: Sparkle: Loaded appcast with 2 items", failedLog.first()} << failedShown;
    }

    void checksTheFeed()
    {
        QFETCH(QString, path);
        QFETCH(QString, message);
        QFETCH(QStringList, log);
        QFETCH(QString, shown);

        RecordingDriver driver;
        UpdateManager manager(updater(m_server.url(path), driver));
        QSignalSpy checking(&manager, &UpdateManager::isCheckingForUpdatesChanged);
        RecordingLogSink sink;

        manager.checkForUpdates();
        QVERIFY(manager.isCheckingForUpdates());
        QTRY_VERIFY_WITH_TIMEOUT(!manager.isCheckingForUpdates(), 10000);
        QCOMPARE(checking.size(), 2);
        QCOMPARE(manager.lastCheckMessage(), message);

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

    void refusesAPlainHttpFeedOutsideLoopback()
    {
        RecordingDriver driver;
        UpdateManager manager(updater(QUrl(QStringLiteral("http://updates.kelvora.com/appcast.xml")), driver));
        RecordingLogSink sink;
        manager.checkForUpdates();
        QTRY_VERIFY(!manager.isCheckingForUpdates());
        QCOMPARE(manager.lastCheckMessage(), QStringLiteral("Update check failed"));
        QVERIFY(sink.lines().value(0).startsWith("error: Sparkle error: "));

        // Without the test allowance even loopback must be https.
        UpdateManager strict(updater(m_server.url(QStringLiteral("/newer")), driver, false));
        strict.checkForUpdates();
        QTRY_VERIFY(!strict.isCheckingForUpdates());
        QCOMPARE(strict.lastCheckMessage(), QStringLiteral("Update check failed"));

        QCOMPARE(UpdateManager::defaultFeedURL().scheme(), QStringLiteral("https"));
    }

    void dialogOffersOnlyHttpsDownloads()
    {
        AppcastItem safe;
        safe.displayVersionString = QStringLiteral("2.1");
        safe.fileURL = QUrl(QStringLiteral("https://downloads.kelvora.com/tolvane-2.1.tar.gz"));
        std::unique_ptr<UpdateDialog> offered(UpdateDialog::updateAvailable(safe, QStringLiteral("1.9")));
        QCOMPARE(offered->kind(), UpdateDialog::Kind::UpdateAvailable);
        QCOMPARE(offered->downloadURL(), safe.fileURL);
        QCOMPARE(offered->defaultButton()->text(), QStringLiteral("Download"));
        QCOMPARE(offered->body(), QStringLiteral("Tolvane 2.1 is available. You have version 1.9."));

        AppcastItem unsafe = safe;
        unsafe.fileURL = QUrl(QStringLiteral("file:///etc/passwd"));
        std::unique_ptr<UpdateDialog> refused(UpdateDialog::updateAvailable(unsafe, QStringLiteral("1.9")));
        QVERIFY(refused->downloadURL().isEmpty());
        QCOMPARE(refused->defaultButton()->text(), QStringLiteral("Later"));

        std::unique_ptr<UpdateDialog> failure(UpdateDialog::failure(QStringLiteral("<b>markup</b>")));
        QCOMPARE(failure->heading(), QStringLiteral("Update check failed"));
        QCOMPARE(failure->body(), QStringLiteral("<b>markup</b>"));
    }
};

TOLVANE_TEST_MAIN(UpdateManagerTest)
#include "UpdateManagerTest.moc"
