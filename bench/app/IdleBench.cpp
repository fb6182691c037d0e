// What an idle Tolvane costs: the real binary runs on the current display under a home of
// its own, with no window open and nothing activated, and is watched for 30 seconds
// (after 5 seconds to settle). Prints the voluntary context switches (wake-ups) of each of
// its threads and their sum per second, and the bytes written under its configuration and
// cache folders. Two runs: sharing usage statistics (uploads refused by a closed loopback
// port, as on a machine without network) and with DO_NOT_TRACK=1.
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
#include <QTemporaryDir>
#include <QThread>

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

bool measure(const char* title, const QString& extraVariable, int seconds)
{
    QTemporaryDir home;
    QProcessEnvironment environment = tolvane::test::environmentUnder(home.path());
    if (!extraVariable.isEmpty())
        environment.insert(extraVariable, QStringLiteral("1"));
    QProcess tolvane;
    tolvane.setProcessEnvironment(environment);
    tolvane.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    tolvane.start(QStringLiteral(TOLVANE_BINARY), QStringList());
    if (!tolvane.waitForStarted(10000)) {
        std::printf("%s: the binary did not start\n", title);
        return false;
    }
    QThread::sleep(5); // start-up, the first session and the first upload attempt
    const QStringList folders{home.filePath(QStringLiteral("config")), home.filePath(QStringLiteral("cache"))};
    const auto filesBefore = filesUnder(folders);
    const auto before = threadSwitches(tolvane.processId());
    QThread::sleep(static_cast<unsigned long>(seconds));
    const auto after = threadSwitches(tolvane.processId());
    const auto filesAfter = filesUnder(folders);
    tolvane.terminate();
    tolvane.waitForFinished(5000);

    std::printf("%s, idle for %d s:\n", title, seconds);
    std::printf("  %-40s %10s %10s\n", "thread", "wake-ups", "per second");
    qint64 total = 0;
    for (auto it = after.cbegin(); it != after.cend(); ++it) {
        const qint64 woken = it->switches - before.value(it.key()).switches;
        total += woken;
        std::printf("  %-40s %10lld %10.2f\n", qPrintable(it->name + QStringLiteral(" (") + it.key() + QLatin1Char(')')),
                    static_cast<long long>(woken), double(woken) / seconds);
    }
    std::printf("  %-40s %10lld %10.2f   (target: at most 1 per second)\n", "all threads", static_cast<long long>(total),
                double(total) / seconds);
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
    std::printf("  bytes written under config and cache: %lld in %d files   (target: 0)\n\n",
                static_cast<long long>(bytes), files);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? qMax(1, QByteArray(argv[1]).toInt()) : 30;
    bool ok = measure("Sharing usage statistics (uploads refused)", QString(), seconds);
    ok = measure("DO_NOT_TRACK=1", QStringLiteral("DO_NOT_TRACK"), seconds) && ok;
    return ok ? 0 : 1;
}
