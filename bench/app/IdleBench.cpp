// What an idle Tolvane costs: the real binary runs on the current display under a home of
// its own, with no window open and nothing activated, and is watched for 30 seconds
// (after 12 seconds to settle: start-up and the first upload, which the send timer makes 10 s after start). Prints the
// voluntary context switches (wake-ups) of each of its threads and their sum per second, and the bytes written under
// its configuration and cache folders. Three runs: sharing usage statistics with uploads refused by a closed loopback
// port (as on a machine without network), sharing with uploads taken by an ingestion stand-in on loopback, and with
// DO_NOT_TRACK=1.
//
//   idle_bench [seconds]       (needs DISPLAY)
#include "support/ProcessEnvironment.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>

#include <atomic>

#include <cstdio>

namespace {

struct ThreadCount {
    QString name;
    qint64 switches = 0;
};

// Voluntary context switches of every thread of `pid`, by thread id.
QMap<QString, ThreadCount> threadSwitches(qint64 pid)
{
    QMap<QString, ThreadCount> counts;
    const QString tasks = QStringLiteral("/proc/%1/task").arg(pid);
    for (const QString& tid : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile status(tasks + QLatin1Char('/') + tid + QStringLiteral("/status"));
        QFile comm(tasks + QLatin1Char('/') + tid + QStringLiteral("/comm"));
        if (!status.open(QIODevice::ReadOnly) || !comm.open(QIODevice::ReadOnly))
            continue; // ended meanwhile
        ThreadCount count;
        count.name = QString::fromUtf8(comm.readAll().trimmed());
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("voluntary_ctxt_switches:"))
                count.switches = line.mid(line.indexOf(':') + 1).trimmed().toLongLong();
        }
        counts.insert(tid, count);
    }
    return counts;
}

// Size and modification time of every file under the folders.
QMap<QString, QPair<qint64, qint64>> filesUnder(const QStringList& folders)
{
    QMap<QString, QPair<qint64, qint64>> files;
    for (const QString& folder : folders) {
        QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QFileInfo info(it.next());
            files.insert(info.filePath(), {info.size(), info.lastModified().toMSecsSinceEpoch()});
        }
    }
    return files;
}

// An ingestion stand-in on loopback, in a thread of its own (the measurement sleeps): takes
// every upload with 200 and keeps the connection open, as a real server does.
class IngestionStandIn : public QThread {
public:
    ~IngestionStandIn() override
    {
        quit();
        wait();
    }
    // Starts listening; the port, or 0 when it could not listen.
    quint16 open()
    {
        start();
        while (m_port == 0 && !m_failed)
            QThread::msleep(10);
        return m_port;
    }
    int uploads() const { return m_uploads; }

protected:
    void run() override
    {
        QTcpServer server;
        if (!server.listen(QHostAddress::LocalHost, 0)) {
            m_failed = true;
            return;
        }
        QObject::connect(&server, &QTcpServer::newConnection, &server, [this, &server] {
            while (QTcpSocket* socket = server.nextPendingConnection()) {
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { answer(socket); });
                QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
        m_port = server.serverPort();
        exec();
    }

private:
    void answer(QTcpSocket* socket)
    {
        QByteArray buffer = socket->property("buffer").toByteArray() + socket->readAll();
        const qsizetype headEnd = buffer.indexOf("\r\n\r\n");
        if (headEnd < 0) {
            socket->setProperty("buffer", buffer);
            return;
        }
        qsizetype length = 0;
        for (const QByteArray& line : buffer.left(headEnd).split('\n')) {
            if (line.toLower().startsWith("content-length:"))
                length = line.mid(line.indexOf(':') + 1).trimmed().toLongLong();
        }
        if (buffer.size() < headEnd + 4 + length) {
            socket->setProperty("buffer", buffer);
            return;
        }
        socket->setProperty("buffer", buffer.mid(headEnd + 4 + length));
        ++m_uploads;
        socket->write("HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: 2\r\n\r\n{}");
    }

    std::atomic<quint16> m_port = 0;
    std::atomic<bool> m_failed = false;
    std::atomic<int> m_uploads = 0;
};

enum class Sharing { refused, accepted, doNotTrack };

bool measure(const char* title, Sharing sharing, int seconds)
{
    QTemporaryDir home;
    QProcessEnvironment environment = tolvane::test::environmentUnder(home.path());
    IngestionStandIn standIn;
    if (sharing == Sharing::doNotTrack)
        environment.insert(QStringLiteral("DO_NOT_TRACK"), QStringLiteral("1"));
    if (sharing == Sharing::accepted) {
        const quint16 port = standIn.open();
        if (port == 0) {
            std::printf("%s: the ingestion stand-in could not listen\n", title);
            return false;
        }
        environment.insert(QStringLiteral("TOLVANE_ANALYTICS_URL"), QStringLiteral("http://127.0.0.1:%1/").arg(port));
        environment.insert(QStringLiteral("no_proxy"), QStringLiteral("127.0.0.1"));
    }
    QProcess tolvane;
    tolvane.setProcessEnvironment(environment);
    tolvane.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    tolvane.start(QStringLiteral(TOLVANE_BINARY), QStringList());
    if (!tolvane.waitForStarted(10000)) {
        std::printf("%s: the binary did not start\n", title);
        return false;
    }
    QThread::sleep(12); // start-up, the first session and the first upload attempt (at 10 s)
    const QStringList folders{home.filePath(QStringLiteral("config")), home.filePath(QStringLiteral("cache"))};
    const auto filesBefore = filesUnder(folders);
    const auto before = threadSwitches(tolvane.processId());
    const int uploadsBefore = standIn.uploads();
    QThread::sleep(static_cast<unsigned long>(seconds));
    const auto after = threadSwitches(tolvane.processId());
    const auto filesAfter = filesUnder(folders);
    const int uploadsDuring = standIn.uploads() - uploadsBefore;
    tolvane.terminate();
    tolvane.waitForFinished(5000);

    std::printf("%s, idle for %d s:\n", title, seconds);
    std::printf("  %-40s %10s %10s\n", "thread", "wake-ups", "per second");
    qint64 total = 0;
    for (auto it = after.cbegin(); it != after.cend(); ++it) {
        const qint64 woken = it->switches - before.value(it.key()).switches;
        total += woken;
        std::printf("  %-40s %10lld %10.2f\n",
                    qPrintable(it->name + QStringLiteral(" (") + it.key() + QLatin1Char(')')),
                    static_cast<long long>(woken), double(woken) / seconds);
    }
    std::printf("  %-40s %10lld %10.2f   (target: at most 1 per second)\n", "all threads",
                static_cast<long long>(total), double(total) / seconds);
    qint64 bytes = 0;
    int files = 0;
    for (auto it = filesAfter.cbegin(); it != filesAfter.cend(); ++it) {
        if (filesBefore.value(it.key(), {-1, -1}) != it.value()) {
            bytes += it->first;
            ++files;
            std::printf("  written: %s (%lld bytes)\n", qPrintable(QDir(home.path()).relativeFilePath(it.key())),
                        static_cast<long long>(it->first));
        }
    }
    std::printf("  bytes written under config and cache: %lld in %d files   (target: 0)\n",
                static_cast<long long>(bytes), files);
    if (sharing == Sharing::accepted)
        std::printf("  uploads taken by the stand-in: %d before the measurement, %d during it\n", uploadsBefore,
                    uploadsDuring);
    std::printf("\n");
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? qMax(1, QByteArray(argv[1]).toInt()) : 30;
    bool ok = measure("Sharing usage statistics (uploads refused)", Sharing::refused, seconds);
    ok = measure("Sharing usage statistics (uploads accepted on loopback)", Sharing::accepted, seconds) && ok;
    ok = measure("DO_NOT_TRACK=1", Sharing::doNotTrack, seconds) && ok;
    return ok ? 0 : 1;
}
