// The log on standard error never stops the thread that logs (the main
// loop, which switches) when standard error is a pipe that nobody reads.
#include "base/StderrLogSink.h"
#include "support/TestMain.h"

#include <QtTest>

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <future>
#include <thread>
#include <unistd.h>

namespace {

// A pipe whose writing end blocks, as standard error does.
struct Pipe {
    int read = -1;
    int write = -1;
    Pipe()
    {
        int fds[2];
        if (::pipe(fds) == 0) {
            read = fds[0];
            write = fds[1];
            ::fcntl(read, F_SETFL, O_NONBLOCK);
        }
    }
    ~Pipe()
    {
        ::close(read);
        ::close(write);
    }
    // Filled to the last byte, without blocking while filling.
    void fill()
    {
        ::fcntl(write, F_SETFL, O_NONBLOCK);
        const QByteArray chunk(1024, 'x');
        while (::write(write, chunk.constData(), size_t(chunk.size())) > 0 || errno == EINTR) { }
        while (::write(write, "x", 1) > 0) { }
        ::fcntl(write, F_SETFL, 0);
    }
    QByteArray drain()
    {
        QByteArray all;
        char buffer[4096];
        for (ssize_t got; (got = ::read(read, buffer, sizeof buffer)) > 0;)
            all.append(buffer, got);
        return all;
    }
};

} // namespace

class StderrLogSinkTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void writesWholeLines_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("plain") << "[Match] org.example.App -> xkb:de"
                               << QByteArray("sub [Core] info: [Match] org.example.App -> xkb:de\n");
        QTest::newRow("percent and non-ASCII kept") << "100% Ä" << QByteArray("sub [Core] info: 100% \xc3\x84\n");
        QTest::newRow("longer than a pipe takes at once")
            << QString(10000, QLatin1Char('a'))
            << QByteArray("sub [Core] info: ") + QByteArray(PIPE_BUF - 4 - 17, 'a') + "...\n";
    }

    void writesWholeLines()
    {
        QFETCH(QString, message);
        Pipe pipe;
        StderrLogSink sink(pipe.write);
        sink.write(LogSink::Level::Info, QStringLiteral("sub"), QStringLiteral("Core"), message);
        QTEST(pipe.drain(), "expected");
    }

    void fullPipeCostsLinesNotTime()
    {
        Pipe pipe;
        pipe.fill();
        StderrLogSink sink(pipe.write);
        // A blocked write would never come back; the pipe is drained after the
        // verdict so that the thread ends either way.
        auto logging = std::async(std::launch::async, [&] {
            for (int i = 0; i < 1000; ++i)
                sink.write(LogSink::Level::Info, QStringLiteral("sub"), QStringLiteral("Core"),
                           QStringLiteral("[Match] a -> b"));
        });
        const bool returned = logging.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
        pipe.drain();
        logging.wait();
        QVERIFY2(returned, "logging waited for a pipe that nobody reads");

        // Once there is room again, the next line says what was lost, then goes out itself.
        sink.write(LogSink::Level::Info, QStringLiteral("sub"), QStringLiteral("Core"), QStringLiteral("after"));
        QCOMPARE(pipe.drain(),
                 QByteArray("sub [Core] error: 1000 log lines dropped: standard error was not being read\n"
                            "sub [Core] info: after\n"));
    }
};

TOLVANE_TEST_GUILESS_MAIN(StderrLogSinkTest)
#include "StderrLogSinkTest.moc"
