#pragma once

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>

#include <optional>

namespace tolvane::test {

// An environment in which the binary has a home, configuration, cache and
// runtime directory of its own under `root`, and sends nothing off the machine.
// Its session counts as one that has already started Tolvane without a tray.
inline QProcessEnvironment environmentUnder(const QString& root)
{
    QDir(root).mkpath(QStringLiteral("runtime"));
    QFile::setPermissions(root + QStringLiteral("/runtime"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // This session has been told once that there is no tray: no settings window at start.
    QFile seen(root + QStringLiteral("/runtime/com.kelvora.Tolvane.no-tray-shown"));
    seen.open(QIODevice::WriteOnly);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), root);
    for (const QString& part :
         {QStringLiteral("config"), QStringLiteral("data"), QStringLiteral("cache"), QStringLiteral("state")})
        environment.insert(QStringLiteral("XDG_%1_HOME").arg(part.toUpper()), root + QLatin1Char('/') + part);
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), root + QStringLiteral("/runtime"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    // Nothing leaves the machine: uploads go to a closed port on loopback.
    environment.insert(QStringLiteral("https_proxy"), QStringLiteral("http://127.0.0.1:9"));
    environment.insert(QStringLiteral("http_proxy"), QStringLiteral("http://127.0.0.1:9"));
    environment.remove(QStringLiteral("no_proxy"));
    return environment;
}

// The standard output of `program`, when it ends well within `timeoutMs`.
inline std::optional<QByteArray> runProgram(const QString& program, const QStringList& arguments, int timeoutMs = 10000)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(timeoutMs) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return std::nullopt;
    return process.readAllStandardOutput();
}

// Ends a process the test started, killing it should it linger.
inline void stopProcess(QProcess& process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished(2000);
    }
}

// The visible windows of a process, as the window manager's clients list them.
inline int windowsOf(qint64 pid)
{
    return int(runProgram(QStringLiteral("xdotool"),
                          {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
                           QString::number(pid)})
                   .value_or(QByteArray())
                   .count('\n'));
}

} // namespace tolvane::test
